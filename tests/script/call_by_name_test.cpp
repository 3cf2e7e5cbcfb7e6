#include <gtest/gtest.h>
#include <unistd.h>

extern "C" {
#include <lua.h>
}

#include "script/ScriptFunction.h"
#include "script/ScriptHost.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

using CallByName = test::ScriptTest;

TEST_F(CallByName, ThreeFormsAndTheStackHeightAfterwards) {
  Run(R"(
    function Plain(a, b) got = 'plain ' .. a .. ' ' .. b end
    Menu = {}
    function Menu.Open(a) got = 'field ' .. a end
    function Menu:Close(a) got = 'method ' .. tostring(self == Menu) .. ' ' .. a end
    a = {}
    a['b:c'] = function(x) got = 'odd ' .. x end
  )");
  lua_State* state = Host().State();
  int height = lua_gettop(state);

  Host().PrepareCall("Plain", 2);
  Host().PushNumber(1);
  Host().PushNumber(2);
  EXPECT_TRUE(Host().Call());
  EXPECT_EQ(String("got"), "plain 1 2");

  Host().PrepareCall("Menu.Open", 1);
  Host().PushNumber(7);
  EXPECT_TRUE(Host().Call());
  EXPECT_EQ(String("got"), "field 7");
  EXPECT_EQ(lua_gettop(state), height);

  Host().PrepareCall("Menu:Close", 1);
  Host().PushNumber(8);
  EXPECT_TRUE(Host().Call());
  EXPECT_EQ(String("got"), "method true 8");
  EXPECT_EQ(lua_gettop(state), height);

  EXPECT_TRUE(Host().CallFunction("a.b:c", {9}));
  EXPECT_EQ(String("got"), "odd 9");
  EXPECT_EQ(lua_gettop(state), height);
}

TEST_F(CallByName, PointerArgumentsReachTheScriptAsHandles) {
  Run("function Take(p) kind = type(p) end");
  int marker = 0;
  Host().PrepareCall("Take", 1);
  Host().PushPointer(&marker);
  Host().Call();
  EXPECT_EQ(String("kind"), "userdata");
}

// A command that calls a script function by name, as effects and handlers do.
class CallBack final : public ScriptFunction {
 public:
  int Invoke() override {
    const char* name = ArgString(1);
    Host().CallFunction(name != nullptr ? name : "", {double(ArgInt(2))});
    return 0;
  }
};

TEST_F(CallByName, CallbackInsideCommandInsideCallbackKeepsEachCallsState) {
  CallBack command;
  Host().Register("CallBack", &command);
  Run(R"(
    trace = ''
    function Inner(n) trace = trace .. 'inner' .. n .. ' ' end
    function Outer(n) trace = trace .. 'outer' .. n .. ' ' CallBack('Inner', n + 1) trace = trace .. 'back ' end
    Menu = {}
    function Menu:Go(n) CallBack('Outer', n) trace = trace .. 'done' end
  )");
  EXPECT_TRUE(Host().CallFunction("Menu:Go", {1}));
  EXPECT_EQ(String("trace"), "outer1 inner2 back done");
}

TEST_F(CallByName, ErrorInACommandsCallbackIsRaisedByThatCommand) {
  CallBack command;
  Host().Register("CallBack", &command);
  Run(R"(
    function Broken() error('callback failed') end
    function Fine() fine = true end
  )");
  std::string error = RunExpectingError("CallBack('Broken', 0) after = true");
  EXPECT_NE(error.find("callback failed"), std::string::npos) << error;
  EXPECT_TRUE(IsNil("after"));
  // The same command works again afterwards; no error is left pending.
  Run("CallBack('Fine', 0)");
  EXPECT_FALSE(IsNil("fine"));
  // A missing callback is an error of the block, not a crash.
  error = RunExpectingError("CallBack('NoSuchFunction', 0)");
  EXPECT_NE(error.find("NoSuchFunction"), std::string::npos) << error;
}

TEST_F(CallByName, ErrorOfAnEarlierCallbackDoesNotLeakIntoALaterCommand) {
  CallBack command;
  Host().Register("CallBack", &command);
  Run(R"(
    function Broken() error('only once') end
    function Later() CallBack('Fine', 0) end
    function Fine() fine = (fine or 0) + 1 end
  )");
  RunExpectingError("CallBack('Broken', 0)");
  Run("CallBack('Later', 0)");
  EXPECT_EQ(Number("fine"), 1);
}

using CallByNameDeathTest = test::ScriptTest;

TEST_F(CallByNameDeathTest, TopLevelCallbackErrorIsThePanicReport) {
  Host().SetPositionProvider([] { return ScriptPosition{"main.tsl", 12}; });
  Run("function Broken() error('handler failed') end");
  EXPECT_EXIT(
      {
        dup2(2, 1);  // the report goes to standard output
        Host().CallFunction("Broken");
      },
      testing::ExitedWithCode(1), "!! Panic !!\nIn script : main.tsl, line : 12\ntest:1: handler failed");
  Host().SetPositionProvider(nullptr);
}

TEST_F(CallByNameDeathTest, CallingThroughANonTableIsThePanicReportToo) {
  Run("T = 5");
  EXPECT_EXIT(
      {
        dup2(2, 1);
        Host().CallFunction("T.field");
      },
      testing::ExitedWithCode(1), "!! Panic !!.*its table is a number value");
}

}  // namespace
}  // namespace tessel
