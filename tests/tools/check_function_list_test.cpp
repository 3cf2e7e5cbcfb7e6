// funcdef.tsl read line by line as the engine reads it: keys that name no
// command, commands left out, names that hide one another.
#include <algorithm>
#include <string>
#include <vector>

#include "CheckTestSupport.h"
#include "app/ScriptApi.h"

namespace tessel::test {
namespace {

using ::testing::ElementsAre;

TEST_F(CheckTest, FunctionListMistakesAreReportedOnTheirLines) {
  // Every command under its own name but those the lines after them are
  // about; ChgCaption and DebugProfile are left out altogether.
  const std::vector<std::string> later = {"ChgCaption", "DebugProfile", "LayerSet", "SystemExit",
                                          "GetWindowSize"};
  std::string list;
  int line = 0;
  int init_window_line = 0;
  int create_layer_line = 0;
  for (const char* name : ScriptApi::CommandNames()) {
    if (std::find(later.begin(), later.end(), name) != later.end()) continue;
    list += std::string(name) + " " + name + "\n";
    ++line;
    if (std::string(name) == "InitWindow") init_window_line = line;
    if (std::string(name) == "CreateLayer") create_layer_line = line;
  }
  const auto add = [&](const std::string& text) {
    list += text;
    return ++line;
  };
  const int typo = add("ChgCaptoin ChgCaption\n");
  const int indented = add("  # not a comment\n");
  const int again = add("CreateLayer MakeLayer\n");
  const int not_lua = add("LayerSet 9bad\n");
  const int shadows = add("SystemExit print\n");
  add("GetWindowSize InitWindow\n");
  add("# a comment\n");
  add("\n");
  const int last = add("SystemReset SystemReset");  // without its line end: still read

  TestGame game;
  game.File("funcdef.tsl", list);
  game.Scenario("main.tsl", u"{ MakeLayer() InitWindow(1, 1) ChgCaption('x') }\n");
  ProcessResult result = Check(game);
  EXPECT_EQ(result.status, 1);
  const auto at = [](int n) { return "game/funcdef.tsl:" + std::to_string(n) + ":"; };
  EXPECT_THAT(
      Findings(result.out),
      ElementsAre(
          Finding("game/funcdef.tsl: warning:",
                  "ChgCaption is missing from the list: scripts reach it by its internal name"),
          Finding("game/funcdef.tsl: warning:", "DebugProfile is missing"),
          Finding(at(init_window_line) + " warning:",
                  "InitWindow cannot be called: its name 'InitWindow' is taken by GetWindowSize"),
          Finding(at(typo) + " error:",
                  "'ChgCaptoin' names no command (did you mean 'ChgCaption'?)"),
          Finding(at(indented) + " error:",
                  "'#' names no command (a comment's '#' must be the first character"),
          Finding(at(again) + " warning:", "CreateLayer is listed again (first at line " +
                                               std::to_string(create_layer_line) + ")"),
          Finding(at(not_lua) + " warning:", "script name '9bad' is not a Lua name"),
          Finding(at(shadows) + " warning:", "script name 'print' replaces Lua's own 'print'"),
          Finding(at(last) + " warning:", "SystemReset is listed again")));
}

TEST_F(CheckTest, FunctionListMustBeReadableAsBytes) {
  TestGame game;
  game.Scenario("main.tsl", u"Hello.\n");
  game.File("funcdef.tsl", Utf16File(u"InitWindow InitWindow\n"));
  ProcessResult utf16 = Check(game);
  EXPECT_EQ(utf16.status, 1);
  EXPECT_THAT(Findings(utf16.out),
              ElementsAre(Finding("game/funcdef.tsl:1: error:", "the list is UTF-16")));

  // A zero byte ends the list: what follows is lost, so those commands go missing.
  std::string list = IdentityFunctionList();
  list.insert(list.find("InitWindow InitWindow"), 1, '\0');
  game.File("funcdef.tsl", list);
  ProcessResult zero = Check(game);
  EXPECT_EQ(zero.status, 1);
  const auto findings = Findings(zero.out);
  ASSERT_FALSE(findings.empty());
  EXPECT_THAT(findings[0], Finding("game/funcdef.tsl: warning:", "InitWindow is missing"));
  EXPECT_THAT(findings.back(),
              Finding("game/funcdef.tsl:50: error:", "a zero byte ends the list here"));
}

TEST_F(CheckTest, EmptyFunctionListLeavesEveryCommandItsOwnName) {
  TestGame game;
  game.Scenario("main.tsl", u"{ InitWindow(640, 480) }\n");
  game.File("funcdef.tsl", "# nothing but a comment\n");
  ProcessResult result = Check(game);
  EXPECT_EQ(result.status, 0);
  EXPECT_THAT(Findings(result.out),
              ElementsAre(Finding("game/funcdef.tsl: warning:",
                                  "lists no command: scripts reach every command")));
}

}  // namespace
}  // namespace tessel::test
