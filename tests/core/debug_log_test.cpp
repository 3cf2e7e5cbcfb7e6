#include <gtest/gtest.h>

#include <string>

#include "core/DebugLog.h"

namespace tessel {
namespace {

TEST(DebugLog, BannerFramesTheMessageWithoutReinterpretingPercentSigns) {
  testing::internal::CaptureStdout();
  DebugLog::Banner("%s\n", "100% done");
  std::string out = testing::internal::GetCapturedStdout();
  std::string line(55, '=');
  EXPECT_EQ(out, line + "\n100% done\n" + line + "\n");
}

TEST(DebugLog, MessagesLongerThanTenThousandCharactersAreWrittenWhole) {
  std::string long_text(50000, 'x');
  testing::internal::CaptureStdout();
  DebugLog::Print("[%s]", long_text.c_str());
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.size(), long_text.size() + 2);
  EXPECT_EQ(out.back(), ']');
}

}  // namespace
}  // namespace tessel
