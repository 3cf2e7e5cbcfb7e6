#include <gtest/gtest.h>

#include "app/Globals.h"

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

TEST(FrameRate, ThresholdIsOneLessThanThePeriod) {
  ASSERT_TRUE(SetFrameRate(60));
  EXPECT_EQ(FrameThreshold(), 15u);
  ASSERT_TRUE(SetFrameRate(30));
  EXPECT_EQ(FrameThreshold(), 32u);
  ASSERT_TRUE(SetFrameRate(1000));
  EXPECT_EQ(FrameThreshold(), 0u);
}

TEST(FrameRate, RatesThatWouldHangOrDivideByZeroAreRefusedOrClamped) {
  ASSERT_TRUE(SetFrameRate(60));
  EXPECT_FALSE(SetFrameRate(0));
  EXPECT_FALSE(SetFrameRate(-5));
  EXPECT_EQ(FrameThreshold(), 15u);
  EXPECT_TRUE(SetFrameRate(5000));
  EXPECT_EQ(FrameThreshold(), 0u);
  SetFrameRate(60);
}

}  // namespace
}  // namespace tessel
