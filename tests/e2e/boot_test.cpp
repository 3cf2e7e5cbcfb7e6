#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace tessel {
namespace {

test::TestGame TwoFileGame() {
  test::TestGame game;
  game.Scenario("main.tsl",
                u"{InitWindow(160, 120) print('size', GetWindowSize())}\n"
                u"Hello.\n"
                u"@second.tsl\n"
                u"{print('back in main') SystemExit()}\n");
  game.Scenario("second.tsl", u"{print('in second')}\n");
  return game;
}

const std::vector<std::string> kBootLog = {
    "Reading Script funcdef.tsl\n",
    "Reading Script funcdef.tsl OK.\n",
    "Begin Loading Function Name List.\n",
    "End Loading Function Name List.\n",
    "Reading Script main.tsl\n",
    "Reading Script main.tsl OK.\n",
    "-> Push main.tsl\n",
    "LineNumber : 0\n",
    "Renderer   : ",
    "size\t160\t120\n",
    "Reading Script second.tsl\n",
    "\t-> Push second.tsl\n",
    "\tLineNumber : 0\n",
    "in second\n",
    "\t<- Pop second.tsl\n",
    "Leave point main.tsl\n",
    "back in main\n",
    "Profile Result Output Begin.\n",
};

struct Variant {
  bool packed;
  bool from_game_folder;
};

class BootVariants : public ::testing::TestWithParam<Variant> {};

TEST_P(BootVariants, GameBootsRunsBlocksFollowsCallsAndExits) {
  test::TempDir dir;
  std::filesystem::path game_dir = dir.Path() / "game";
  std::filesystem::create_directories(game_dir);
  if (GetParam().packed) {
    TwoFileGame().WritePacked(game_dir);
  } else {
    TwoFileGame().WriteLoose(game_dir);
  }
  auto result = GetParam().from_game_folder
                    ? test::RunTessel({"main.tsl"}, game_dir)
                    : test::RunTessel({(game_dir / "main.tsl").string()}, dir.Path());
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_EQ(test::FirstMissingInOrder(result.out, kBootLog), "") << result.out;
  EXPECT_EQ(result.err.find("released"), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(LooseAndPacked, BootVariants,
                         ::testing::Values(Variant{false, true}, Variant{false, false},
                                           Variant{true, true}, Variant{true, false}),
                         [](const auto& info) {
                           return std::string(info.param.packed ? "Packed" : "Loose") +
                                  (info.param.from_game_folder ? "FromGameFolder" : "FromElsewhere");
                         });

TEST(Boot, AGameFolderMayBeGivenInsteadOfItsMainScenario) {
  test::TempDir dir;
  TwoFileGame().WriteLoose(dir.Path() / "game");
  auto result = test::RunTessel({"game"}, dir.Path());
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("back in main\n"), std::string::npos) << result.out;
}

// A main.dat where tessel is started wins over the game named on the command
// line; the log says which archive it mounted and that the named game lost.
TEST(Boot, TheWorkingFoldersArchiveWinsAndTheLogSaysSo) {
  test::TempDir dir;
  test::TestGame here;
  here.Scenario("main.tsl", u"{print('the working folder game') SystemExit()}\n");
  here.WritePacked(dir.Path());
  test::TestGame other;
  other.Scenario("main.tsl", u"{print('the named game') SystemExit()}\n");
  other.WriteLoose(dir.Path() / "other");
  auto result = test::RunTessel({"other"}, dir.Path());
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  const std::string mounted = "Mounted " + (dir.Path() / "main.dat").string() + "\n";
  EXPECT_EQ(test::FirstMissingInOrder(
                result.out, {mounted, "Warning: other/ holds a game of its own, but the main.dat "
                                      "of the working folder is mounted first and wins.",
                             "the working folder game"}),
            "")
      << result.out;
}

TEST(Boot, QuitBeforeAnyWindowReportsAndExitsNormally) {
  test::TempDir dir;
  test::TestGame game;
  game.Scenario("main.tsl", u"{print('leaving early') SystemExit()}\nNever shown.\n");
  game.WriteLoose(dir.Path());
  auto result = test::RunTessel({"main.tsl"}, dir.Path(), {}, 30);
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_EQ(test::FirstMissingInOrder(result.out, {"leaving early\n", "Profile Result Output Begin.\n",
                                                   " Number of Profiling times   : 0\n"}),
            "")
      << result.out;
  EXPECT_EQ(result.out.find("Renderer"), std::string::npos);  // no window was opened
}

TEST(Boot, MissingMainScenarioEndsWithStatusOne) {
  test::TempDir dir;
  test::TestGame game;
  game.WriteLoose(dir.Path());
  auto result = test::RunTessel({"main.tsl"}, dir.Path());
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(test::FirstMissingInOrder(result.out, {"Reading Script main.tsl\n",
                                                   "Error : main.tsl doesn't exist.\n"}),
            "")
      << result.out;
}

TEST(Boot, MissingCalledFileIsReportedAndTheStoryGoesOn) {
  test::TempDir dir;
  test::TestGame game;
  game.Scenario("main.tsl", u"{InitWindow(32, 32)}\n@nowhere.tsl\n{print('went on') SystemExit()}\n");
  game.WriteLoose(dir.Path());
  auto result = test::RunTessel({"main.tsl"}, dir.Path());
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_EQ(test::FirstMissingInOrder(result.out, {"Error : nowhere.tsl doesn't exist.\n", "went on\n"}),
            "")
      << result.out;
}

TEST(Boot, StoryThatNeverOpensAWindowEndsInsteadOfSpinning) {
  test::TempDir dir;
  test::TestGame game;
  game.Scenario("main.tsl", u"{InitWindw(32, 32)}\nNo window here.\n");
  game.WriteLoose(dir.Path());
  auto result = test::RunTessel({"main.tsl"}, dir.Path(), {}, 30);
  EXPECT_EQ(result.status, 1) << result.out << result.err;
  EXPECT_NE(result.out.find("without opening a window"), std::string::npos) << result.out;
  EXPECT_NE(result.err.find("main.tsl:1:"), std::string::npos) << result.err;  // the typo, with its line
}

TEST(Boot, ScriptErrorsNameTheScenarioLineAndTheStoryGoesOn) {
  test::TempDir dir;
  test::TestGame game;
  game.Scenario("main.tsl", u"{InitWindow(32, 32)}\nText.\n\n{\n# a comment line\nlocal x = nil\nprint(x.field)\n}\n"
                            u"{print('after error') SystemExit()}\n");
  game.WriteLoose(dir.Path());
  auto result = test::RunTessel({"main.tsl"}, dir.Path());
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_NE(result.err.find("main.tsl:7:"), std::string::npos) << result.err;
  EXPECT_NE(result.out.find("after error\n"), std::string::npos);
}

TEST(Boot, UnicodeCallNamesOpenTheirFiles) {
  test::TempDir dir;
  test::TestGame game;
  game.Scenario("main.tsl", u"{InitWindow(32, 32)}\n@第二章.tsl\n{SystemExit()}\n");
  game.Scenario("第二章.tsl", u"{print('chapter two')}\n");
  game.WriteLoose(dir.Path());
  auto result = test::RunTessel({"main.tsl"}, dir.Path());
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("chapter two\n"), std::string::npos) << result.out;
}

TEST(Boot, ModulesAreRequiredFromTheGameArchive) {
  test::TempDir dir;
  test::TestGame game;
  game.File("lib/util.lua", "return {greet = function() print('hello from module') end}\n");
  game.Scenario("main.tsl", u"{InitWindow(32, 32) require('lib/util').greet() SystemExit()}\n");
  std::filesystem::path game_dir = dir.Path() / "g";
  game.WritePacked(game_dir);
  auto result = test::RunTessel({(game_dir / "main.tsl").string()}, dir.Path());
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("hello from module\n"), std::string::npos) << result.out << result.err;
}

}  // namespace
}  // namespace tessel
