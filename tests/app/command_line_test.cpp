#include <gtest/gtest.h>

#include <algorithm>

#include "app/CommandLine.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

TEST(CommandLine, GamePathAndOptions) {
  auto line = ParseCommandLine({"game/main.tsl"});
  EXPECT_TRUE(line.error.empty());
  EXPECT_EQ(line.game_path, "game/main.tsl");
  line = ParseCommandLine({"--help"});
  EXPECT_TRUE(line.show_help);
  EXPECT_FALSE(line.game_path);
  line = ParseCommandLine({"--", "--odd-name.tsl"});
  EXPECT_EQ(line.game_path, "--odd-name.tsl");
}

TEST(CommandLine, UnknownOptionsAndSecondPathsAreErrorsWithAHint) {
  EXPECT_NE(ParseCommandLine({"--frobnicate"}).error.find("see tessel --help"), std::string::npos);
  EXPECT_NE(ParseCommandLine({"a.tsl", "b.tsl"}).error.find("more than one"), std::string::npos);
}

TEST(CommandLine, FolderIsItsOwnDirectoryAndFilesAreCut) {
  test::TempDir dir;
  std::string folder = dir.Path().string();
  EXPECT_EQ(GameDirectory(folder), folder + "/");
  EXPECT_EQ(GameDirectory(folder + "/"), folder + "/");
  EXPECT_EQ(GameDirectory("somewhere/main.tsl"), "somewhere/main.tsl");  // cut later, as ever
}

TEST(CommandLine, RealBinaryAnswersHelpAndRefusesUnknownOptions) {
  test::TempDir dir;
  auto help = test::RunProcess({TESSEL_BINARY, "--help"}, dir.Path());
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: tessel"), std::string::npos);
  auto bad = test::RunProcess({TESSEL_BINARY, "--frobnicate"}, dir.Path());
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("unknown option '--frobnicate'"), std::string::npos) << bad.err;
  auto version = test::RunProcess({TESSEL_BINARY, "--version"}, dir.Path());
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("tessel ", 0), 0u) << version.out;
}

}  // namespace
}  // namespace tessel

namespace tessel {
namespace {

TEST(AutoplayOptions, AreReadWithTheirValues) {
  auto line = ParseCommandLine({"--autoplay", "--choose=all", "--screenshots=shots",
                                "--max-seconds=2.5", "game"});
  ASSERT_TRUE(line.error.empty()) << line.error;
  EXPECT_TRUE(line.autoplay);
  EXPECT_EQ(line.choose, ChoosePolicy::kAll);
  EXPECT_EQ(line.screenshots, "shots");
  EXPECT_EQ(line.max_seconds, 2.5);
  EXPECT_EQ(line.game_path, "game");
  EXPECT_FALSE(line.power_save);

  line = ParseCommandLine({"--autoplay", "--choose=random:42"});
  EXPECT_EQ(line.choose, ChoosePolicy::kRandom);
  EXPECT_EQ(line.seed, 42u);
  line = ParseCommandLine({"--autoplay", "--choose=random"});
  EXPECT_EQ(line.choose, ChoosePolicy::kRandom);
  EXPECT_FALSE(line.seed);
  line = ParseCommandLine({"--autoplay-path-result=/tmp/r", "--autoplay-path-prefix=1,0,12"});
  EXPECT_EQ(line.path_prefix, (std::vector<int>{1, 0, 12}));
}

TEST(AutoplayOptions, BadValuesAreErrorsWithTheHint) {
  for (const char* bad : {"--choose=best", "--choose=random:x", "--choose=random:99999999999",
                          "--max-seconds=0", "--max-seconds=-1", "--max-seconds=ten",
                          "--max-seconds=", "--screenshots=", "--autoplay=yes"}) {
    const auto line = ParseCommandLine({"--autoplay", bad});
    EXPECT_NE(line.error.find("see tessel --help"), std::string::npos) << bad;
  }
  // Play-test options without --autoplay would silently do nothing.
  EXPECT_FALSE(ParseCommandLine({"--screenshots=x"}).error.empty());
  EXPECT_FALSE(ParseCommandLine({"--max-seconds=5"}).error.empty());
}

TEST(PowerSaveOption, ComesFromTheLineOrTheEnvironment) {
  EXPECT_TRUE(ParseCommandLine({"--power-save"}).power_save);
  EXPECT_TRUE(ParseCommandLine({}, true).power_save);
  EXPECT_FALSE(ParseCommandLine({}).power_save);
}

TEST(AutoplayOptions, HelpDocumentsEveryOption) {
  const std::string usage = UsageText();
  for (const char* option : {"--autoplay", "--choose=", "first", "all", "random:SEED",
                             "--screenshots=", "--max-seconds=", "--power-save",
                             "TESSEL_POWER_SAVE", "3 when"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(usage.find("--autoplay-path"), std::string::npos);
}

TEST(AutoplayOptions, TheRealBinaryRefusesABadPolicyWithStatusTwo) {
  test::TempDir dir;
  auto bad = test::RunProcess({TESSEL_BINARY, "--autoplay", "--choose=most"}, dir.Path());
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("--choose takes first, all, random"), std::string::npos) << bad.err;
  EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
}

}  // namespace
}  // namespace tessel
