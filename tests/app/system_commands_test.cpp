#include <gtest/gtest.h>

#include <SDL.h>

#include "app/FrameRate.h"
#include "graphics/ScreenSurface.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

class SystemCommands : public test::SdlScriptTest {
 protected:
  std::vector<SDL_Event> Pending() {
    std::vector<SDL_Event> events;
    SDL_Event event;
    while (SDL_PollEvent(&event) == 1) events.push_back(event);
    return events;
  }
};

TEST_F(SystemCommands, ExitPostsOneQuitPerCall) {
  Pending();
  Run("SystemExit() SystemExit()");
  auto events = Pending();
  int quits = 0;
  for (const auto& e : events) quits += e.type == SDL_QUIT;
  EXPECT_EQ(quits, 2);
}

TEST_F(SystemCommands, ResetPostsAZeroFilledUserEvent) {
  Pending();
  Run("SystemReset()");
  auto events = Pending();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].type, SDL_USEREVENT);
  EXPECT_EQ(events[0].user.code, 0);
  EXPECT_EQ(events[0].user.data1, nullptr);
  EXPECT_EQ(events[0].user.data2, nullptr);
}

TEST_F(SystemCommands, FrameRateControlIgnoresRatesBelowOne) {
  Run("FrameRateControl(30)");
  EXPECT_EQ(FrameThreshold(), 32u);
  Run("FrameRateControl(0) FrameRateControl(-1) FrameRateControl('x') FrameRateControl()");
  EXPECT_EQ(FrameThreshold(), 32u);
  Run("FrameRateControl(1e12)");
  EXPECT_EQ(FrameThreshold(), 0u);
  Run("FrameRateControl(60) DebugProfile()");
  EXPECT_EQ(FrameThreshold(), 15u);
}

TEST_F(SystemCommands, BaseColorArgumentsAreAlphaBlueGreenRed) {
  Run("SetBaseColor(0.25, 0.5, 0.75, 1)");
  EXPECT_DOUBLE_EQ(BaseColor().red, 1.0);
  EXPECT_DOUBLE_EQ(BaseColor().green, 0.75);
  EXPECT_DOUBLE_EQ(BaseColor().blue, 0.5);
  EXPECT_DOUBLE_EQ(BaseColor().alpha, 0.25);
  BaseColor() = Color{};
}

}  // namespace
}  // namespace tessel
