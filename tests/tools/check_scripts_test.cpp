// Script blocks and the Lua modules they require: compiled as the engine
// compiles them, errors on the scenario's own lines, and names called like
// commands that nothing defines.
#include "CheckTestSupport.h"

namespace tessel::test {
namespace {

using ::testing::ElementsAre;

TEST_F(CheckTest, CompileErrorsPointAtTheScenarioLine) {
  TestGame game;
  game.Scenario("main.tsl",
                u"% The blocks below do not compile.\n"  // 1
                u"Some text.\n"                          // 2
                u"{\n"                                   // 3
                u"  local a = 1  # a { in a comment\n"   // 4
                u"  if a then\n"                         // 5
                u"    a = = 2\n"                         // 6
                u"  end\n"                               // 7
                u"}\n"                                   // 8
                u"$Go {Oops(}$next.tsl$\n"               // 9
                u"{ local t = { 1, 2 } x = }\n"          // 10
                u"@next.tsl\n");                         // 11
  game.Scenario("next.tsl", u"Fine.\n\n{\n  local ok = 1\n}\n{ while true do }\n@last.tsl\n");
  game.Scenario("last.tsl", u"{\n  x = 1\n\nText that was meant to follow the block.\n");
  ProcessResult result = Check(game);
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(Findings(result.out),
              ElementsAre(Finding("game/main.tsl:6: error:",
                                  "script block does not compile: unexpected symbol near '='"),
                          Finding("game/main.tsl:9: error:", "script block does not compile"),
                          Finding("game/main.tsl:10: error:", "script block does not compile"),
                          Finding("game/next.tsl:6: error:", "'end' expected near '<eof>'"),
                          Finding("game/last.tsl:4: error:",
                                  "(the block opened on line 1 runs to the end of the file: is its "
                                  "closing brace missing?)")));
}

// '#' and '}' cut script blocks even where Lua would not: a block that no
// longer compiles says why, in the check and in the engine's own message.
TEST_F(CheckTest, BlocksCutByHashOrBraceExplainThemselves) {
  TestGame game;
  game.Scenario("main.tsl",
                u"{steps = {1, 2}\n"    // 1
                u"count = #steps\n"     // 2
                u"}\n"                  // 3
                u"{print('a}b')}\n"     // 4
                u"{ok = 1  # a comment\n"
                u"}\n");
  ProcessResult result = Check(game);
  EXPECT_EQ(result.status, 1);
  const std::string length_hint =
      "the length operator cannot be written there; use table.getn(t) or string.len(s)";
  const std::string brace_hint =
      "a '}' ends a script block even inside a string, as on line 4; write \\125 for it";
  EXPECT_THAT(Findings(result.out),
              ElementsAre(Finding("game/main.tsl:3: error:", length_hint),
                          Finding("game/main.tsl:4: error:", brace_hint)));

  ProcessResult run = RunTessel({"--autoplay", "game"}, Dir());
  EXPECT_NE(run.out.find("main.tsl:3: script error: main.tsl:3: unexpected symbol near '<eof>' (hint: '#'"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find(length_hint), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(brace_hint), std::string::npos) << run.out;
}

TEST_F(CheckTest, ModulesAreCompiledAndTheirDefinitionsCount) {
  TestGame game;
  game.Scenario("main.tsl",
                u"{ require \"lib\" }\n"           // 1
                u"{ require(\"broken\") }\n"       // 2
                u"{ require \"missing\" }\n"       // 3
                u"{ LibFunction() Nested() }\n");  // 4
  game.File("lib.lua", "require \"nested\"\nfunction LibFunction() end\n");
  game.File("nested.lua", "function Nested()\n  Undefined()\nend\n");
  game.File("broken.lua", "local x = 1\nlocal = 2\n");
  ProcessResult result = Check(game);
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(
      Findings(result.out),
      ElementsAre(Finding("game/main.tsl:3: error:",
                          "module 'missing' is not found (no file missing, missing.lua"),
                  Finding("game/nested.lua:2: warning:", "'Undefined' is called like a command"),
                  Finding("game/broken.lua:2: error:", "module does not compile")));
}

TEST_F(CheckTest, NamesCalledLikeCommandsMustBeDefinedSomewhere) {
  TestGame game;
  std::string functions = IdentityFunctionList();
  functions.replace(functions.find("CreateLayer CreateLayer"), 23, "CreateLayer MakeLayer");
  game.File("funcdef.tsl", functions);
  game.Scenario("main.tsl",
                u"{\n"                                                          // 1
                u"  function Defined() end\n"                                   // 2
                u"  Assigned = function() end\n"                                // 3
                u"  First, Second = function() end, function() end\n"           // 4
                u"  _G.ViaG = function() end\n"                                 // 5
                u"  local function LocalFn() end\n"                             // 6
                u"  local t = { f = function() end }\n"                         // 7
                u"  LocalFn() Defined() Assigned() First() Second() ViaG()\n"   // 8
                u"  t.f() t:f() print(string.format('%d', table.getn(t)))\n"    // 9
                u"  local alias = Unknown1 if Unknown2 then OtherFile() end\n"  // 10
                u"  Unknown3(1)\n"                                              // 11
                u"  Unknown4 \"text\"\n"                                        // 12
                u"  Unknown5 { 1 }\n"                                           // 13
                u"  function Later(x) return Unknown6(x) end\n"                 // 14
                u"  InitWindow(640, 480) MakeLayer()\n"                         // 15
                u"  CreateLayer()\n"                                            // 16
                u"}\n"                                                          // 17
                u"@other.tsl\n"                                                 // 18
                u"$Pick {Unknown7()}$other.tsl$\n");                            // 19
  game.Scenario("other.tsl", u"{\n  function OtherFile() end\n}\n");
  ProcessResult result = Check(game);
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_THAT(
      Findings(result.out),
      ElementsAre(
          Finding("game/main.tsl:11: warning:",
                  "'Unknown3' is called like a command, but it is neither a command name of "
                  "funcdef.tsl nor defined by the game's scripts"),
          Finding("game/main.tsl:12: warning:", "'Unknown4'"),
          Finding("game/main.tsl:13: warning:", "'Unknown5'"),
          Finding("game/main.tsl:14: warning:", "'Unknown6'"),
          Finding("game/main.tsl:16: warning:",
                  "'CreateLayer' is not defined: funcdef.tsl gives this command the script "
                  "name 'MakeLayer'"),
          Finding("game/main.tsl:19: warning:", "'Unknown7'")));
}

// A save resumes after the block it was made in: code after SaveGame in the
// same block would not run again after a load. Code inside a function the
// block defines, or a save at the block's end, is fine.
TEST_F(CheckTest, StatementsAfterSaveGameInABlockAreAWarning) {
  TestGame game;
  game.Scenario("main.tsl",
                u"{SaveGame('auto')}\n"                                   // 1
                u"{if ready then SaveGame(1, 'x') end}\n"                 // 2
                u"{function Quick() SaveGame('quick') print('saved') end}\n"  // 3
                u"{ready = true\n"                                        // 4
                u"SaveGame('auto')\n"                                     // 5
                u"chapter = 2}\n");                                       // 6
  ProcessResult result = Check(game);
  EXPECT_THAT(Findings(result.out),
              ElementsAre(Finding("game/main.tsl:5: warning:", "statements follow SaveGame")));
}

}  // namespace
}  // namespace tessel::test
