// Drawing the layer table: position, shown piece, order, visibility,
// opacity and blending over the base colour, scale about a centre, rotation
// direction, rotation about x, shared textures, scripts that change the table
// while it is drawn.
#include <SDL_opengl.h>

#include <functional>
#include <memory>

#include "graphics/GraphicsTest.h"
#include "graphics/Layer.h"
#include "graphics/LayerTable.h"
#include "graphics/Renderer.h"
#include "graphics/TexImage.h"
#include "graphics/TextureManager.h"
#include "script/ScriptHost.h"

namespace tessel {
namespace {

using test::EncodePng;
using test::GlobalObject;
using test::Near;
using test::Picture;
using test::Rgba;

constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kYellow{255, 255, 0, 255};

class LayerDrawingTest : public test::GraphicsWindowTest {
 protected:
  void SetUp() override {
    GraphicsWindowTest::SetUp();
    if (HasFatalFailure()) return;
    // 4 x 4 in quarters: red, green / white, yellow.
    Picture quarters(4, 4);
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 4; ++x) {
        quarters.At(x, y) = y < 2 ? (x < 2 ? kRed : kGreen) : (x < 2 ? kWhite : kYellow);
      }
    }
    WriteResource("quarters.png", EncodePng(quarters, false));
    WriteResource("red8.png", EncodePng(Picture(8, 8, kRed), false));
    WriteResource("white32.png", EncodePng(Picture(32, 32, kWhite), false));
    WriteResource("bar.png", EncodePng(Picture(8, 2, kRed), false));
    Run("quarters = LoadTexImage('quarters.png') red = LoadTexImage('red8.png')"
        " white = LoadTexImage('white32.png') bar = LoadTexImage('bar.png')");
  }
};

TEST_F(LayerDrawingTest, OffsetAndShownPiece) {
  Run("q = CreateLayer(quarters) OffsetLayer(q, 10, 20) LayerAddFront(q)");
  RenderFrame();
  EXPECT_EQ(Pixel(10, 20), kRed);
  EXPECT_EQ(Pixel(13, 20), kGreen);
  EXPECT_EQ(Pixel(10, 23), kWhite);
  EXPECT_EQ(Pixel(13, 23), kYellow);
  EXPECT_EQ(Pixel(9, 20), kBlue);
  EXPECT_EQ(Pixel(14, 23), kBlue);

  // The lower-right quarter, drawn at its natural size at the layer's position.
  Run("SetLayerISize(q, 2, 2, 2, 2) w, h = GetLayerSize(q)");
  RenderFrame();
  EXPECT_EQ(Pixel(10, 20), kYellow);
  EXPECT_EQ(Pixel(11, 21), kYellow);
  EXPECT_EQ(Pixel(12, 20), kBlue);
  EXPECT_EQ(Number("w"), 4);  // the whole picture, not the piece
  EXPECT_EQ(Number("h"), 4);
}

TEST_F(LayerDrawingTest, PieceCoordinatesAreFractionsOfTheTexture) {
  WriteResource("wide.png", EncodePng(Picture(64, 32, kRed), false));
  Run("wide = LoadTexImage('wide.png') l = CreateLayer(wide) SetLayerISize(l, 32, 0, 32, 32)");
  Layer& layer = *GlobalObject<Layer>("l");
  EXPECT_FLOAT_EQ(layer.U0(), 0.5f);
  EXPECT_FLOAT_EQ(layer.V0(), 0.0f);
  EXPECT_FLOAT_EQ(layer.Du(), 0.5f);
  EXPECT_FLOAT_EQ(layer.Dv(), 1.0f);
  EXPECT_EQ(layer.SourceWidth(), 32);
}

TEST_F(LayerDrawingTest, LaterSlotsDrawOverEarlierOnesWhenVisible) {
  Run("r = CreateLayer(red) w = CreateLayer(white) OffsetLayer(w, 4, 4)"
      " LayerAddFront(r) LayerAddFront(w) hidden = CreateLayer(quarters)");
  RenderFrame();
  EXPECT_EQ(Pixel(5, 5), kWhite);
  EXPECT_EQ(Pixel(2, 2), kRed);
  EXPECT_EQ(Pixel(40, 40), kBlue);  // white ends at 36

  Run("ChgLayerNum(0, 1)");
  RenderFrame();
  EXPECT_EQ(Pixel(5, 5), kRed);

  Run("VisibleLayer(r, false)");
  RenderFrame();
  EXPECT_EQ(Pixel(5, 5), kWhite);
  EXPECT_EQ(Pixel(2, 2), kBlue);
  EXPECT_EQ(Pixel(0, 0), kBlue);  // `hidden` was never placed
}

TEST_F(LayerDrawingTest, AlphaAndBlendFactorsMixWithTheBaseColour) {
  Run("w = CreateLayer(white) LayerAddFront(w) ChgLayerAlpha(w, 0.5)");
  RenderFrame();
  EXPECT_TRUE(Near(Pixel(1, 1), Rgba{128, 128, 255, 255}));

  Run("ChgLayerAlpha(w, 0)");
  RenderFrame();
  EXPECT_EQ(Pixel(1, 1), kBlue);

  Run("ChgLayerAlpha(w, 7)");  // clamped by GL
  RenderFrame();
  EXPECT_EQ(Pixel(1, 1), kWhite);

  // Additive: red + blue.
  Run("r = CreateLayer(red) LayerSet(r, 0) SetLayerBlendParam(r, 770, 1)");
  RenderFrame();
  EXPECT_EQ(Pixel(1, 1), (Rgba{255, 0, 255, 255}));
}

TEST_F(LayerDrawingTest, ScaleActsAboutTheTransformCentre) {
  // 8 x 8 at (20, 20), doubled about its middle: (16, 16) to (32, 32).
  Run("r = CreateLayer(red) OffsetLayer(r, 20, 20) ScaleLayer(r, 2, 2, 1)"
      " SetTransformCenter(r, 4, 4, 0) LayerAddFront(r)");
  RenderFrame();
  EXPECT_EQ(Pixel(16, 16), kRed);
  EXPECT_EQ(Pixel(31, 31), kRed);
  EXPECT_EQ(Pixel(15, 16), kBlue);
  EXPECT_EQ(Pixel(32, 31), kBlue);
  EXPECT_EQ(Pixel(16, 32), kBlue);

  // With the default centre it grows from its top-left corner.
  Run("SetTransformCenter(r, 0, 0, 0)");
  RenderFrame();
  EXPECT_EQ(Pixel(20, 20), kRed);
  EXPECT_EQ(Pixel(35, 35), kRed);
  EXPECT_EQ(Pixel(19, 19), kBlue);
  EXPECT_EQ(Pixel(36, 36), kBlue);
}

TEST_F(LayerDrawingTest, PositiveZRotationTurnsClockwiseOnScreen) {
  // An 8 x 2 bar at (20, 20) turned 90 degrees about its top-left corner
  // points down, lying left of x = 20.
  Run("b = CreateLayer(bar) OffsetLayer(b, 20, 20) RotateLayer(b, 0, 0, 90) LayerAddFront(b)");
  RenderFrame();
  EXPECT_EQ(Pixel(19, 21), kRed);
  EXPECT_EQ(Pixel(18, 27), kRed);
  EXPECT_EQ(Pixel(21, 21), kBlue);
  EXPECT_EQ(Pixel(24, 20), kBlue);
  EXPECT_EQ(Pixel(19, 29), kBlue);
}

TEST_F(LayerDrawingTest, RotationAboutXIsNotClipped) {
  // 32 x 32 at (16, 16) tilted 60 degrees about its horizontal middle line:
  // it shows half as tall, from y = 24 to 40, and reaches 14 pixels in depth.
  Run("w = CreateLayer(white) OffsetLayer(w, 16, 16) SetTransformCenter(w, 16, 16, 0)"
      " RotateLayer(w, 60, 0, 0) LayerAddFront(w)");
  RenderFrame();
  EXPECT_EQ(Pixel(32, 25), kWhite);
  EXPECT_EQ(Pixel(20, 38), kWhite);
  EXPECT_EQ(Pixel(32, 22), kBlue);
  EXPECT_EQ(Pixel(32, 42), kBlue);
}

TEST_F(LayerDrawingTest, ALayerKeepsDrawingAReleasedTextureImage) {
  const std::size_t textures = TextureManager::Count();
  Run("r = CreateLayer(red) LayerAddFront(r) ReleaseTexImage(red)");
  EXPECT_EQ(test::GlobalObject<TexImage>("red"), nullptr);  // the script's handle is dead
  RenderFrame();
  EXPECT_EQ(Pixel(2, 2), kRed);
  const unsigned int name = GlobalObject<Layer>("r")->GetTexture()->Name();
  EXPECT_EQ(TextureManager::Count(), textures);

  Run("ReleaseLayer(r)");  // the last owner: the GL texture goes
  EXPECT_EQ(TextureManager::Count(), textures - 1);
  EXPECT_EQ(glIsTexture(name), GL_FALSE);
}

TEST_F(LayerDrawingTest, DrawTextureShowsTheWholePicture) {
  RenderFrame();
  Begin2D();
  DrawTexture(GlobalObject<TexImage>("quarters")->GetTexture(), 30, 40, 1.0);
  DrawTexture(GlobalObject<TexImage>("white")->GetTexture(), 0, 0, 0.5);
  End2D();
  EXPECT_EQ(Pixel(30, 40), kRed);
  EXPECT_EQ(Pixel(33, 43), kYellow);
  EXPECT_EQ(Pixel(34, 43), kBlue);
  EXPECT_TRUE(Near(Pixel(5, 5), Rgba{128, 128, 255, 255}));
  Texture empty;
  Begin2D();
  DrawTexture(empty, 0, 0, 1.0);  // nothing, not a white box
  End2D();
}

// A drawable whose Draw runs a script, as the scenario layer's tick does.
class ScriptedLayer final : public Layer {
 public:
  ScriptedLayer(std::string code, bool* destroyed)
      : code_(std::move(code)), destroyed_(destroyed) {}
  ~ScriptedLayer() override { *destroyed_ = true; }
  void Draw() override {
    ++draws;
    Host().RunBuffer(code_);
  }
  int draws = 0;

 private:
  std::string code_;
  bool* destroyed_;
};

struct Probe final : Drawable {
  std::function<void()> on_draw;
  void Draw() override { on_draw(); }
};

TEST_F(LayerDrawingTest, ScriptsRunWhileDrawingMayChangeTheTable) {
  bool first_destroyed = false;
  bool other_destroyed = false;
  // The drawable in slot 0 releases itself and the one in slot 2, and adds a
  // new layer in front; then it uses its own dead handle.
  auto* first = Registry().Add(std::make_unique<ScriptedLayer>(
      "ReleaseLayer(first) ReleaseLayer(other) added = CreateLayer(red)"
      " OffsetLayer(added, 40, 40) LayerAddFront(added) RotateLayer(first, 0, 0, 90)",
      &first_destroyed));
  auto* other = Registry().Add(std::make_unique<ScriptedLayer>("", &other_destroyed));
  test::SetGlobalHandle("first", first->Handle());
  test::SetGlobalHandle("other", other->Handle());
  Run("q = CreateLayer(quarters) OffsetLayer(q, 10, 10)");
  bool destroyed_during_pass = true;
  Probe probe;
  probe.on_draw = [&] { destroyed_during_pass = first_destroyed || other_destroyed; };
  LayerTable::AddFront(first);
  LayerTable::AddFront(GlobalObject<Layer>("q"));
  LayerTable::AddFront(other);
  LayerTable::AddFront(&probe);

  std::string errors = test::ErrorsOf([&] { RenderFrame(); });
  EXPECT_EQ(errors, "This texture layer data has already released.\n");
  EXPECT_FALSE(destroyed_during_pass);  // both stayed in memory until the pass ended
  EXPECT_TRUE(first_destroyed);
  EXPECT_TRUE(other_destroyed);
  EXPECT_EQ(Pixel(10, 10), kRed);  // q, after the released drawable
  EXPECT_EQ(Pixel(40, 40), kRed);  // the layer added during the pass, drawn in it
  ASSERT_EQ(LayerTable::Size(), 5);
  EXPECT_EQ(LayerTable::At(0), nullptr);
  EXPECT_EQ(LayerTable::At(2), nullptr);
  EXPECT_EQ(LayerTable::At(4), GlobalObject<Layer>("added"));
}

}  // namespace
}  // namespace tessel
