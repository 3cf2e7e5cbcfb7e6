#include <gtest/gtest.h>

#include "resource/BaseDirectory.h"

namespace tessel {
namespace {

TEST(BaseDirectory, KeepsTheSeparatorOfTheLastCut) {
  SetBaseDirectory("D:\\game\\data\\start.tsl");
  EXPECT_EQ(BaseDirectory(), "D:\\game\\data\\");
  SetBaseDirectory("/usr/games/vn/main.tsl");
  EXPECT_EQ(BaseDirectory(), "/usr/games/vn/");
}

TEST(BaseDirectory, MixedSeparatorsAreCutTwice) {
  SetBaseDirectory("X:\\a/b\\c.exe");
  EXPECT_EQ(BaseDirectory(), "X:\\");
}

TEST(BaseDirectory, PathWithoutSeparatorMeansTheWorkingDirectory) {
  SetBaseDirectory("tessel");
  EXPECT_EQ(BaseDirectory(), "");
  SetBaseDirectory("main.tsl");
  EXPECT_EQ(BaseDirectory(), "");
  SetBaseDirectory("");
  EXPECT_EQ(BaseDirectory(), "");
}

}  // namespace
}  // namespace tessel
