// A scenario layer released by scripts that its own operations run: the
// handle dies at once, the layer leaves the table, the handler list and the
// reader, and it is destroyed when the operation returns (the sanitizers
// watch the rest).
#include <gtest/gtest.h>

#include <algorithm>

#include "event/EventHandler.h"
#include "graphics/LayerTable.h"
#include "text/ScenarioController.h"
#include "text/ScenarioReader.h"
#include "text/StoryTest.h"

namespace tessel {
namespace {

class ReleaseFromOwnCallbacks : public test::StoryTest {
 protected:
  // Remembers what the layer is known by, for checks after it is gone.
  void Watch(ScenarioLayer* layer) {
    handle_ = layer->Handle();
    handler_ = layer;
    drawable_ = layer;
    text_ = layer->TextListener();
    muted_ = layer->MutedListener();
    ASSERT_EQ(main_font_.use_count(), 3);  // the test, the Font object, the layer
  }

  void ExpectGone() {
    EXPECT_EQ(Registry().Find(handle_), nullptr);
    EXPECT_FALSE(EventHandlerList::Contains(handler_));
    const auto& slots = LayerTable::Slots();
    EXPECT_EQ(std::find(slots.begin(), slots.end(), drawable_), slots.end());
    ScenarioReader* reader = ScenarioController::Instance()->Reader();
    EXPECT_FALSE(reader->HasListener(text_));
    EXPECT_FALSE(reader->HasListener(muted_));
    EXPECT_EQ(main_font_.use_count(), 2);  // destroyed
  }

  const void* handle_ = nullptr;
  EventHandler* handler_ = nullptr;
  Drawable* drawable_ = nullptr;
  ScenarioListener* text_ = nullptr;
  ScenarioListener* muted_ = nullptr;
};

TEST_F(ReleaseFromOwnCallbacks, TheBeginCallback) {
  Load(u"A\n\nBC\n\nD");
  Watch(MakeLayer(300, 200));
  Lua("function kb() ReleaseLayer(layer) note('released') EnableScenarioLayer(layer) end "
      "SetMesKeywaitFunc(layer, 'kb', 'kt', 'ke', 8)");
  ::testing::internal::CaptureStderr();
  StepUntilStopped();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "This texture layer data has already released.\n");
  EXPECT_EQ(Output(), "released\n");
  ExpectGone();
  PressKey(SDLK_RETURN);
  Step(20);
}

TEST_F(ReleaseFromOwnCallbacks, TheTickCallback) {
  Load(u"A\n\nB");
  ScenarioLayer* layer = MakeLayer(300, 200);
  Watch(layer);
  Lua("function kt() ReleaseLayer(layer) note('released') end "
      "SetMesKeywaitFunc(layer, '', 'kt', '', 0)");
  StepUntilStopped();
  layer->Draw();
  EXPECT_EQ(Output(), "released\n");
  ExpectGone();
  PressKey(SDLK_RETURN);
}

TEST_F(ReleaseFromOwnCallbacks, TheEndCallback) {
  Load(u"A\n\n\nB");
  Watch(MakeLayer(300, 200));
  Lua("function ke() ReleaseLayer(layer) note('released') end "
      "SetMesKeywaitFunc(layer, '', '', 'ke', 0)");
  StepUntilStopped();
  PressKey(SDLK_RETURN);
  EXPECT_EQ(Output(), "released\n");
  ExpectGone();
  EXPECT_TRUE(ScenarioController::Instance()->Running());
  Step(10);  // the story goes on without it
}

TEST_F(ReleaseFromOwnCallbacks, AScriptBlockInAChoiceText) {
  Load(u"Q$A{ReleaseLayer(layer) note('released')}$a.tsl$$B$b.tsl$\nZ");
  Watch(MakeLayer(300, 200));
  Step(3);
  EXPECT_EQ(Output(), "released\n");
  ExpectGone();
  // The list is not shown, so the story is not stopped at it.
  EXPECT_TRUE(ScenarioController::Instance()->Running());
  Step(5);
}

TEST_F(ReleaseFromOwnCallbacks, AScriptBlockOfTheStoryReleasesAtOnce) {
  Load(u"A{ReleaseLayer(layer)}B\n\nC");
  Watch(MakeLayer(300, 200));
  Step(3);
  ExpectGone();
  EXPECT_TRUE(ScenarioController::Instance()->Running());  // no key wait without a window
}

TEST_F(ReleaseFromOwnCallbacks, ReleasingTwiceOrAfterwardsIsOnlyTheMessage) {
  Load(u"A\n\nB");
  Watch(MakeLayer(300, 200));
  Lua("function kb() ReleaseLayer(layer) ReleaseLayer(layer) ResizeMesWnd(layer, 10, 10) end "
      "SetMesKeywaitFunc(layer, 'kb', '', '', 0)");
  ::testing::internal::CaptureStderr();
  StepUntilStopped();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "This texture layer data has already released.\n"
            "This texture layer data has already released.\n");
  ExpectGone();
}

}  // namespace
}  // namespace tessel
