#include <gtest/gtest.h>

#include "script/ScriptHost.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

using RunBuffer = test::ScriptTest;

TEST_F(RunBuffer, ErrorGoesToStandardErrorWithALineEndAndTheStoryGoesOn) {
  testing::internal::CaptureStderr();
  int status = Host().RunBuffer("x = 1\nerror('broken block')", "=main.tsl");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(status, 0);
  EXPECT_EQ(err, "main.tsl:2: broken block\n");
  Run("y = x + 1");
  EXPECT_EQ(Number("y"), 2);
}

TEST_F(RunBuffer, CompileErrorsAreReportedToo) {
  testing::internal::CaptureStderr();
  Host().RunBuffer("if then", "=main.tsl");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("main.tsl:1:"), std::string::npos) << err;
}

TEST_F(RunBuffer, AlertReceivesTheMessageWhenDefined) {
  Run("function _ALERT(message) alerted = message end");
  testing::internal::CaptureStderr();
  Host().RunBuffer("error('to the alert')", "=blk");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "");
  EXPECT_EQ(String("alerted"), "blk:1: to the alert");
}

TEST_F(RunBuffer, FailingAlertWritesBothMessages) {
  Run("function _ALERT(message) error('alert broke') end");
  testing::internal::CaptureStderr();
  Host().RunBuffer("error('first')", "=blk");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("blk:1: first"), std::string::npos) << err;
  EXPECT_NE(err.find("alert broke"), std::string::npos) << err;
}

TEST_F(RunBuffer, NonStringErrorObjectsAreNamedByType) {
  testing::internal::CaptureStderr();
  Host().RunBuffer("error({})", "=blk");
  Host().RunBuffer("error(nil)", "=blk");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "(error object is a table value)\n(error object is a nil value)\n");
}

TEST(RunBufferClosed, NothingRunsWithoutAState) {
  ScriptHost host;
  EXPECT_NE(host.RunBuffer("x = 1"), 0);
  host.PrepareCall("f", 0);
  EXPECT_FALSE(host.Call());
}

}  // namespace
}  // namespace tessel
