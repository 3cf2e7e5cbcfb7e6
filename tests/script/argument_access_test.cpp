#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "script/ScriptFunction.h"
#include "script/ScriptHost.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

// Records what the accessors read from its arguments.
class Probe final : public ScriptFunction {
 public:
  int Invoke() override {
    count = ArgCount();
    i1 = ArgInt(1);
    d1 = ArgNumber(1);
    const char* s = ArgString(2);
    s2 = s != nullptr ? s : "<null>";
    b3 = ArgBool(3);
    handle4 = ArgHandle(4);
    is_number1 = IsNumberArg(1);
    is_string2 = IsStringArg(2);
    is_object4 = IsObjectArg(4);
    PushInt(i1);
    PushNil();
    return PushNumber(d1 * 2);
  }
  int count = 0, i1 = 0;
  double d1 = 0;
  std::string s2;
  bool b3 = false, is_number1 = false, is_string2 = false, is_object4 = false;
  const void* handle4 = nullptr;
};

class ArgumentAccess : public test::ScriptTest {
 protected:
  void SetUp() override {
    test::ScriptTest::SetUp();
    Host().Register("Probe", &probe);
  }
  Probe probe;
};

TEST_F(ArgumentAccess, MissingArgumentsReadAsNeutralValues) {
  Run("a, b, c = Probe()");
  EXPECT_EQ(probe.count, 0);
  EXPECT_EQ(probe.i1, 0);
  EXPECT_EQ(probe.d1, 0.0);
  EXPECT_EQ(probe.s2, "<null>");
  EXPECT_FALSE(probe.b3);
  EXPECT_EQ(probe.handle4, nullptr);
  EXPECT_EQ(Number("a"), 0);
  EXPECT_TRUE(IsNil("b"));
}

TEST_F(ArgumentAccess, NumbersTruncateTowardZeroAndStringsConvert) {
  Run("Probe(-2.9, 15, 0)");
  EXPECT_EQ(probe.i1, -2);
  EXPECT_EQ(probe.s2, "15");
  EXPECT_TRUE(probe.b3);  // the number 0 is true
  Run("Probe('7.5', 'text', false)");
  EXPECT_EQ(probe.i1, 7);
  EXPECT_TRUE(probe.is_number1);
  EXPECT_FALSE(probe.b3);
  Run("Probe({}, {}, nil)");
  EXPECT_EQ(probe.i1, 0);
  EXPECT_FALSE(probe.is_number1);
  EXPECT_FALSE(probe.is_string2);
}

TEST_F(ArgumentAccess, OutOfRangeAndNaNNeverConvertWithUndefinedBehaviour) {
  Run("Probe(1e300)");
  EXPECT_EQ(probe.i1, INT_MAX);
  Run("Probe(-1e300)");
  EXPECT_EQ(probe.i1, INT_MIN);
  Run("Probe(0/0)");
  EXPECT_EQ(probe.i1, 0);
  Run("Probe(1/0)");
  EXPECT_EQ(probe.i1, INT_MAX);
}

TEST_F(ArgumentAccess, OnlyLightUserdataIsAHandle) {
  Run("Probe(1, 'x', true, 'not a handle')");
  EXPECT_EQ(probe.handle4, nullptr);
  EXPECT_FALSE(probe.is_object4);
  Run("h = CreateEventHandler() Probe(1, 'x', true, h)");
  EXPECT_NE(probe.handle4, nullptr);
  EXPECT_TRUE(probe.is_object4);
}

TEST_F(ArgumentAccess, UnbuiltCommandsAnswerAsDummies) {
  ScriptFunction dummy;
  Host().Register("Dummy", &dummy);
  testing::internal::CaptureStdout();
  Run("r = Dummy(1, 2, 3)");
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "dummy function\n 引数の数=3\n");
  EXPECT_TRUE(IsNil("r"));
}

}  // namespace
}  // namespace tessel
