#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace tessel {
namespace {

// The real binary, started where there is no game.
TEST(Startup, WithoutAGameSaysSoTearsDownAndFails) {
  test::TempDir dir;
  auto result = test::RunProcess({TESSEL_BINARY, "main.tsl"}, dir.Path(),
                                 {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"});
  EXPECT_EQ(result.status, 1) << result.out << result.err;
  const std::string& out = result.out;
  auto banner = out.find("System Initialization.\n");
  auto ok = out.find("System Initialization OK.\n");
  auto reading = out.find("Reading Script funcdef.tsl\n");
  auto missing = out.find("Error : funcdef.tsl doesn't exist.\n");
  auto no_game = out.find("No game found");
  ASSERT_NE(banner, std::string::npos) << out;
  EXPECT_LT(banner, ok);
  EXPECT_LT(ok, reading);
  EXPECT_LT(reading, missing);
  EXPECT_LT(missing, no_game);
  EXPECT_NE(out.find("SDL 1.2."), std::string::npos);
}

}  // namespace
}  // namespace tessel
