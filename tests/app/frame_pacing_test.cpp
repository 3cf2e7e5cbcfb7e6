#include <gtest/gtest.h>

#include <vector>

#include "app/Application.h"
#include "app/FrameRate.h"
#include "event/EventHandler.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

// Each dispatch pass takes one millisecond of the manual clock.
class TickingHandler : public EventHandler {
 public:
  explicit TickingHandler(test::ManualClock& clock) : clock_(clock) {}
  bool OnIdle() override {
    ++passes;
    clock_.Advance(1);
    if (on_pass) on_pass(passes);
    return false;
  }
  int passes = 0;
  std::function<void(int)> on_pass;

 private:
  test::ManualClock& clock_;
};

class FramePacing : public ::testing::Test {
 protected:
  void SetUp() override { EventHandlerList::Add(&ticker); }
  void TearDown() override {
    EventHandlerList::Clear();
    SetFrameRate(60);
  }
  // Length of one WaitFrame in manual milliseconds.
  std::uint32_t OneFrame() {
    std::uint32_t start = clock.Now();
    FrameClock().Restart();
    WaitFrame();
    return clock.Now() - start;
  }
  test::ManualClock clock;
  TickingHandler ticker{clock};
};

TEST_F(FramePacing, WaitEndsWithTheFirstPassStartedPastTheThreshold) {
  SetFrameRate(60);
  EXPECT_EQ(OneFrame(), 17u);  // passes start at 0..16 ms; the one at 16 ends it
  EXPECT_EQ(ticker.passes, 17);
  SetFrameRate(30);
  EXPECT_EQ(OneFrame(), 34u);
  SetFrameRate(1000);
  EXPECT_EQ(OneFrame(), 2u);
}

TEST_F(FramePacing, AtLeastOnePassEvenWhenTheFrameIsAlreadyLate) {
  SetFrameRate(60);
  FrameClock().Restart();
  clock.Advance(100);
  WaitFrame();
  EXPECT_EQ(ticker.passes, 1);
}

class FrameLoop : public test::WindowTest {};

TEST_F(FrameLoop, QuitDuringAFrameFinishesThatFrameAndDrawsNoOther) {
  Run("InitWindow(64, 48)");
  test::ManualClock clock;
  TickingHandler ticker(clock);
  EventHandlerList::Add(&ticker);
  SetFrameRate(60);
  bool running = true;
  int frames_started = 0;
  // Quit in the middle of the third frame's wait.
  ticker.on_pass = [&](int pass) {
    if (pass == 17 * 2 + 5) running = false;
  };
  FrameProfile profile;
  RunFrameLoop(
      [&] {
        if (running) ++frames_started;
        return running;
      },
      profile);
  EXPECT_EQ(frames_started, 3);
  EXPECT_EQ(profile.process.Count(), 3u);
  EXPECT_EQ(ticker.passes, 17 * 3);  // the third frame's wait ran out in full
  EventHandlerList::Clear();
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
