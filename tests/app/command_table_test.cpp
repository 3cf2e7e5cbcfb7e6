#include <gtest/gtest.h>

#include "app/ScriptApi.h"
#include "script/EngineObject.h"
#include "script/ScriptHost.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

class CommandRegistry : public test::ScriptTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Host().Open());
  }
  void Register(const std::string& list) {
    testing::internal::CaptureStdout();
    api_ = std::make_unique<ScriptApi>(list);
    log_ = testing::internal::GetCapturedStdout();
  }
  void TearDown() override {
    Host().Close();
    api_.reset();
    Registry().ReleaseAll();
  }
  std::unique_ptr<ScriptApi> api_;
  std::string log_;
};

TEST_F(CommandRegistry, ListedNamesWinOverInternalNamesOfMissingCommands) {
  // LayerSet is registered as CreateLayer; CreateLayer itself is left out.
  Register("LayerSet CreateLayer\nSystemExit Quit\n");
  Run("ok = tostring(CreateLayer ~= nil and Quit ~= nil and GetWindowSize ~= nil)");
  EXPECT_EQ(String("ok"), "true");
  EXPECT_NE(log_.find("Begin Loading Function Name List.\n"), std::string::npos);
  EXPECT_NE(log_.find("End Loading Function Name List.\n"), std::string::npos);
}

TEST_F(CommandRegistry, ListedNameReachesItsCommandEvenOverAnotherInternalName) {
  Register("GetWindowSize CreateLayer\n");
  Run("w, h = CreateLayer()");  // GetWindowSize before any window: 0, 0
  EXPECT_EQ(Number("w"), 0);
  EXPECT_FALSE(IsNil("h"));
}

TEST_F(CommandRegistry, UnknownKeyGetsOneLogLine) {
  Register("CreateLayr MakeLayer\n");
  EXPECT_NE(log_.find("'CreateLayr' names no command"), std::string::npos) << log_;
}

TEST_F(CommandRegistry, EmptyListRegistersEveryCommandUnderItsInternalName) {
  Register("");
  for (const char* name : ScriptApi::CommandNames()) {
    Run(std::string("present = type(") + name + ")");
    EXPECT_EQ(String("present"), "function") << name;
  }
}

TEST_F(CommandRegistry, ExtensionCommandsAreRenamedLikeTheSixtyWithoutTakingTheirPlace) {
  ASSERT_FALSE(ScriptApi::ExtensionNames().empty());
  Register("SetWindowIcon Icon\nSystemExit SetWindowIcon\n");
  EXPECT_EQ(log_.find("names no command"), std::string::npos) << log_;
  EXPECT_NE(api_->Find("SetWindowIcon"), nullptr);
  // The renamed extension answers to its new name; its internal name now
  // belongs to the command the list gave it to.
  Run("icon = type(Icon)  same = tostring(SetWindowIcon == Icon)");
  EXPECT_EQ(String("icon"), "function");
  EXPECT_EQ(String("same"), "false");
  Run("unlisted = type(GetWindowSize)");
  EXPECT_EQ(String("unlisted"), "function");
}

}  // namespace
}  // namespace tessel
