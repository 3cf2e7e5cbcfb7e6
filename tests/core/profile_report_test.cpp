#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/ProfileTimer.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

double ValueAfter(const std::string& text, const std::string& label) {
  auto at = text.find(label);
  if (at == std::string::npos) return -1.0;
  return std::stod(text.substr(at + label.size()));
}

TEST(ProfileReport, AveragesAndPercentagesAddUp) {
  test::ManualClock clock;
  ProfileTimer process, gp, ep;
  for (int frame = 0; frame < 4; ++frame) {
    process.Begin();
    gp.Begin();
    clock.Advance(4);
    gp.End();
    ep.Begin();
    clock.Advance(16);
    ep.End();
    process.End();
  }
  testing::internal::CaptureStdout();
  WriteProfileReport(process, gp, ep);
  std::string out = testing::internal::GetCapturedStdout();

  EXPECT_NE(out.find("Profile Result Output Begin.\n"), std::string::npos);
  EXPECT_NE(out.find(" Process average time [ms]   : 20.000000000000000\n"), std::string::npos);
  EXPECT_NE(out.find(" Process average frate [fps] : 50.000000000000000\n"), std::string::npos);
  EXPECT_NE(out.find(" Number of Profiling times   : 4\n"), std::string::npos);
  double gp_percent = ValueAfter(out, " GP percentage [%]           : ");
  double ep_percent = ValueAfter(out, " EP percentage [%]           : ");
  double total = ValueAfter(out, " Total ");
  EXPECT_DOUBLE_EQ(gp_percent, 20.0);
  EXPECT_DOUBLE_EQ(ep_percent, 80.0);
  EXPECT_DOUBLE_EQ(total, gp_percent + ep_percent);
}

TEST(ProfileReport, NoFrameReportsZerosInsteadOfDividingByZero) {
  ProfileTimer process, gp, ep;
  testing::internal::CaptureStdout();
  WriteProfileReport(process, gp, ep);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.find("nan"), std::string::npos) << out;
  EXPECT_EQ(out.find("inf"), std::string::npos) << out;
  EXPECT_NE(out.find(" Number of Profiling times   : 0\n"), std::string::npos);
  EXPECT_NE(out.find(" Total 0.000000[%]\n"), std::string::npos) << out;
}

}  // namespace
}  // namespace tessel
