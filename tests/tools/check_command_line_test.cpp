// tessel-check as a program: what it takes as a game, its options, its exit
// status and the summary line.
#include "CheckTestSupport.h"

namespace tessel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

TestGame CleanGame() {
  TestGame game;
  game.Scenario("main.tsl", u"{\n  InitWindow(640, 480)\n}\nHello.\n@next.tsl\n");
  game.Scenario("next.tsl", u"Bye.\n");
  return game;
}

TEST_F(CheckTest, CleanGameReportsNothingAndExitsZero) {
  ProcessResult result = Check(CleanGame());
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_EQ(result.out, "0 errors, 0 warnings\n");
  EXPECT_EQ(result.err, "");

  // The same game packed into main.dat, and given by a file in its folder.
  ProcessResult packed = CheckPacked(CleanGame());
  EXPECT_EQ(packed.status, 0) << packed.out;
  ProcessResult by_archive = RunCheck({"game/main.dat"});
  EXPECT_EQ(by_archive.status, 0) << by_archive.out;
  EXPECT_EQ(by_archive.out, "0 errors, 0 warnings\n");
}

TEST_F(CheckTest, GameThatCannotBeCheckedExitsTwo) {
  ProcessResult missing = RunCheck({"nowhere"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_THAT(missing.err, HasSubstr("nowhere: no such folder"));
  EXPECT_EQ(missing.out, "");

  dir_.Write("empty/funcdef.tsl", IdentityFunctionList());
  ProcessResult no_main = RunCheck({"empty"});
  EXPECT_EQ(no_main.status, 2);
  EXPECT_THAT(no_main.err, HasSubstr("empty: no main.tsl"));
}

TEST_F(CheckTest, UsageErrorsExitTwoAndHelpExitsZero) {
  Check(CleanGame());
  ProcessResult unknown = RunCheck({"--frobnicate", "game"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_THAT(unknown.err, HasSubstr("unknown option --frobnicate"));
  EXPECT_THAT(unknown.err, HasSubstr("tessel-check --help"));

  EXPECT_EQ(RunCheck({}).status, 2);
  EXPECT_EQ(RunCheck({"game", "game"}).status, 2);

  ProcessResult help = RunCheck({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out, HasSubstr("Usage: tessel-check [--werror] GAME"));
  EXPECT_THAT(help.out, HasSubstr("--werror"));
}

TEST_F(CheckTest, WarningsPassUnlessWerrorMakesThemErrors) {
  TestGame game = CleanGame();
  game.Scenario("extra.tsl", u"Never called.\n");

  ProcessResult plain = Check(game);
  EXPECT_EQ(plain.status, 0) << plain.out;
  EXPECT_THAT(Findings(plain.out),
              ElementsAre(Finding("game/extra.tsl: warning:", "never reached")));
  EXPECT_EQ(Summary(plain.out), "0 errors, 1 warning");

  ProcessResult strict = RunCheck({"--werror", "game"});
  EXPECT_EQ(strict.status, 1) << strict.out;
  EXPECT_THAT(Findings(strict.out),
              ElementsAre(Finding("game/extra.tsl: error:", "never reached")));
  EXPECT_EQ(Summary(strict.out), "1 error, 0 warnings");
}

TEST_F(CheckTest, ErrorsExitOneAndAreCounted) {
  TestGame game;
  game.Scenario("main.tsl", u"@gone.tsl\n@gone-too.tsl\n{ x = }\n");
  ProcessResult result = Check(game);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(Summary(result.out), "3 errors, 0 warnings");
  EXPECT_THAT(result.err, IsEmpty());
}

}  // namespace
}  // namespace tessel::test
