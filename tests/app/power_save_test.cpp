// The power-save frame wait on the manual clock.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/Application.h"
#include "app/FrameRate.h"
#include "core/SceneChanges.h"
#include "event/EventHandler.h"
#include "graphics/Layer.h"
#include "graphics/LayerEffect.h"
#include "script/EngineObject.h"
#include "support/TestSupport.h"
#include "text/ScenarioController.h"

namespace tessel {
namespace {

// Counts dispatch passes; each takes `cost` milliseconds of the manual clock.
class CountingHandler : public EventHandler {
 public:
  explicit CountingHandler(test::ManualClock& clock) : clock_(clock) {}
  bool OnIdle() override {
    ++passes;
    clock_.Advance(cost);
    return false;
  }
  int passes = 0;
  std::uint32_t cost = 0;

 private:
  test::ManualClock& clock_;
};

class PowerSaveWait : public ::testing::Test {
 protected:
  void SetUp() override {
    EventHandlerList::Add(&counter);
    SetFrameRate(60);
    SetPowerSave(true);
    SetSleepFunction([this](std::uint32_t ms) {
      sleeps.push_back(ms);
      clock.Advance(ms);
    });
  }
  void TearDown() override {
    SetPowerSave(false);
    SetSleepFunction(nullptr);
    ScenarioController::Destroy();
    EventHandlerList::Clear();
  }
  std::uint32_t OneFrame() {
    const std::uint32_t start = clock.Now();
    FrameClock().Restart();
    WaitFrame();
    return clock.Now() - start;
  }
  test::ManualClock clock;
  CountingHandler counter{clock};
  std::vector<std::uint32_t> sleeps;
};

TEST_F(PowerSaveWait, SleepsInSlicesAndEndsTheFrameWhenTheBusyWaitWould) {
  // The busy wait ends with the first pass started past 15 ms: at 16.
  EXPECT_EQ(OneFrame(), 16u);
  EXPECT_EQ(sleeps, (std::vector<std::uint32_t>{8, 8}));
  EXPECT_EQ(counter.passes, 3);
}

TEST_F(PowerSaveWait, AStoryThatReadsOnOrAnEffectKeepsEveryPass) {
  ScenarioController& controller = ScenarioController::Create();
  EXPECT_EQ(QuietMilliseconds(16), 0u);  // running, not waiting: reading tokens
  controller.Wait(2);
  EXPECT_EQ(QuietMilliseconds(16), 3u);  // a timed pause is slept through, no further
  controller.Stop();
  EXPECT_EQ(QuietMilliseconds(16), 8u);  // a key wait rests, a slice at a time
  EXPECT_EQ(QuietMilliseconds(0), 0u);

  Layer layer(nullptr);
  FadeEffect fade(layer, 1000, true, true);
  EventHandlerList::Add(&fade);
  EXPECT_EQ(QuietMilliseconds(16), 0u);
  EventHandlerList::Remove(&fade);
  EXPECT_EQ(QuietMilliseconds(5), 5u);
}

TEST_F(PowerSaveWait, AFrameIsLeftOutOnlyWhenNothingCouldHaveChangedIt) {
  FrameMemory memory;
  EXPECT_FALSE(FrameRepeatsLast(memory));  // nothing drawn yet
  memory.drawn = true;
  memory.changes = SceneChangeCount();
  EXPECT_TRUE(FrameRepeatsLast(memory));
  NoteSceneChange();  // a command, an event, a story step
  EXPECT_FALSE(FrameRepeatsLast(memory));
  memory.changes = SceneChangeCount();

  // Never more than kLongestRepeat in a row.
  int repeated = 0;
  while (FrameRepeatsLast(memory) && repeated < 1000) ++repeated;
  EXPECT_EQ(repeated, kLongestRepeat);

  Layer* layer = Registry().Add(std::make_unique<Layer>(nullptr));
  auto* fade = Registry().Add(std::make_unique<FadeEffect>(*layer, 1000, true, true));
  fade->Start();
  EXPECT_FALSE(FrameRepeatsLast(memory));
  // Its last step ends it; the frame after must show that step.
  memory.changes = SceneChangeCount();
  memory.repeated = 0;
  fade->Stop();
  DispatchEvents();
  EXPECT_EQ(EventHandlerList::Size(), 1u);  // only the counter is left
  EXPECT_FALSE(FrameRepeatsLast(memory));
  Registry().ReleaseAll();

  SetPowerSave(false);
  EXPECT_FALSE(FrameRepeatsLast(memory));
}

TEST_F(PowerSaveWait, OffIsTheBusyWaitOfOldWithoutASleep) {
  SetPowerSave(false);
  counter.cost = 1;
  EXPECT_EQ(OneFrame(), 17u);
  EXPECT_EQ(counter.passes, 17);
  EXPECT_TRUE(sleeps.empty());
}

}  // namespace
}  // namespace tessel
