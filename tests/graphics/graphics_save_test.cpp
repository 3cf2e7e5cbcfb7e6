// A running game's graphics saved and loaded: texture images from a file and
// of a size, layers with every attribute and their slots, a texture kept by a
// layer after its image was released, a released handle, an effect midway,
// event handlers, the window's base colour and frame rate.
#include "app/FrameRate.h"
#include "event/EventHandler.h"
#include "event/ScriptEventHandler.h"
#include "graphics/GraphicsTest.h"
#include "graphics/Layer.h"
#include "graphics/LayerEffect.h"
#include "graphics/LayerTable.h"
#include "graphics/ScreenSurface.h"
#include "graphics/TexImage.h"
#include "support/SaveTestSupport.h"

namespace tessel {
namespace {

using test::GlobalObject;
using test::LogOf;

class GraphicsSaveTest : public test::GraphicsWindowTest {
 protected:
  void Frame(std::uint32_t advance) {
    clock_.Advance(advance);
    DispatchEvents();
    RenderFrame();
  }

  test::ManualClock clock_{5000};
};

TEST_F(GraphicsSaveTest, TheGameComesBackAsItWasAndGoesOnTheSame) {
  test::Picture picture(4, 4, {255, 0, 0, 255});
  picture.At(1, 2) = {0, 255, 0, 128};
  WriteResource("red.png", test::EncodePng(picture, true));
  LogOf([&] {
    Run(R"(
      gone = LoadTexImage(2, 2) ReleaseTexImage(gone)
      red = LoadTexImage('red.png')
      blank = LoadTexImage(8, 8)
      a = CreateLayer(red) LayerAddFront(a)
      OffsetLayer(a, 10, 12) ChgLayerAlpha(a, 0.75) ScaleLayer(a, 3, 2, 1)
      RotateLayer(a, 0, 0, 30) SetTransformCenter(a, 2, 2, 0) SetLayerISize(a, 1, 1, 3, 3)
      b = CreateLayer(red) LayerAddFront(b) OffsetLayer(b, 40, 40) ScaleLayer(b, 4, 4, 1)
      SetLayerBlendParam(b, 1, 1)
      hidden = CreateLayer(blank) LayerAddFront(hidden) VisibleLayer(hidden, false)
      LayerAddFront(a) ChgLayerNum(0, 3)
      released = CreateLayer(red) ReleaseLayer(released)
      ReleaseTexImage(red)
      keys = CreateEventHandler() SetEventHandlerFunc(keys, 0, 'OnKey') SetEventHandler(keys)
      fade = EffectCopy(b, 2, 1000, false)
      SetBaseColor(1, 0.25, 0, 0.5) FrameRateControl(30)
    )");
    Frame(0);
    Frame(400);
  });
  const std::vector<std::uint8_t> saved = test::SaveEngineState();
  const std::uint64_t next_id = Registry().NextId();
  const std::vector<std::uint8_t> frame = test::ReadFrame();
  std::vector<std::vector<std::uint8_t>> later;
  for (int i = 0; i < 3; ++i) {
    Frame(300);
    later.push_back(test::ReadFrame());
  }

  // Churn: another game's objects, table and colours.
  LogOf([&] {
    Run("ReleaseLayer(a) x = CreateLayer(LoadTexImage(3, 3)) LayerAddFront(x) LayerAddFront(x)"
        " SetBaseColor(1, 1, 1, 1) FrameRateControl(5) ResetEventHandler(keys)");
  });
  ASSERT_EQ(LogOf([&] { EXPECT_EQ(test::LoadEngineState(saved), ""); }), "");

  EXPECT_EQ(test::SaveEngineState(), saved);
  EXPECT_EQ(Registry().NextId(), next_id);
  EXPECT_EQ(GlobalObject<TexImage>("gone"), nullptr);
  EXPECT_EQ(GlobalObject<TexImage>("red"), nullptr);
  EXPECT_EQ(GlobalObject<Layer>("released"), nullptr);
  Layer* a = GlobalObject<Layer>("a");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(LayerTable::SlotOf(a), 0);
  EXPECT_EQ(LayerTable::Size(), 4);
  EXPECT_EQ(a->X(), 10);
  EXPECT_EQ(a->Alpha(), 0.75);
  EXPECT_EQ(a->Rotation().z, 30);
  EXPECT_EQ(a->SourceWidth(), 3);
  EXPECT_FALSE(GlobalObject<Layer>("hidden")->Visible());
  EXPECT_EQ(GlobalObject<Layer>("b")->BlendSource(), 1);
  EXPECT_TRUE(EventHandlerList::Contains(GlobalObject<ScriptEventHandler>("keys")));
  EXPECT_EQ(GlobalObject<ScriptEventHandler>("keys")->Callback(0), "OnKey");
  EXPECT_EQ(BaseColor().blue, 0.25);
  EXPECT_EQ(FrameThreshold(), 1000u / 30 - 1);

  // The same picture, and the effect resumes where it was: the next frames match.
  RenderFrame();
  EXPECT_EQ(test::ReadFrame(), frame);
  for (const auto& expected : later) {
    Frame(300);
    EXPECT_EQ(test::ReadFrame(), expected);
  }
  EXPECT_EQ(GlobalObject<LayerEffect>("fade"), nullptr);  // it ended as it would have
}

}  // namespace
}  // namespace tessel
