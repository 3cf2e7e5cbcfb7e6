#include <gtest/gtest.h>

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
