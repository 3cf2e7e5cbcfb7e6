// What the page shows on a real window: text colour, compositing, clipping,
// clearing, ruby, resizing and the choice lines' opacity.
#include <gtest/gtest.h>

#include <cstring>

#include "app/Window.h"
#include "graphics/LayerTable.h"
#include "graphics/Texture.h"
#include "text/ChoiceButton.h"
#include "text/ScenarioController.h"
#include "text/StoryTest.h"

namespace tessel {
namespace {

struct Ink {
  int x = -1;  // inside the glyph image
  int y = -1;
  bool Found() const { return x >= 0; }
};

// A fully opaque pixel of a rendered glyph (metrics and pixels are the
// installed font's; nothing is stored).
Ink OpaquePixel(FontData& font, char16_t ch) {
  SurfacePtr image = font.RenderText(std::u16string_view(&ch, 1));
  if (!image) return {};
  for (int y = 0; y < image->h; ++y) {
    for (int x = 0; x < image->w; ++x) {
      std::uint32_t word;
      std::memcpy(&word, static_cast<std::uint8_t*>(image->pixels) + y * image->pitch + x * 4, 4);
      if ((word >> 24) == 255) return Ink{x, y};
    }
  }
  return {};
}

class PagePixels : public test::StoryWindowTest {
 protected:
  ScenarioLayer* Layer(int width, int height, const std::u16string& text) {
    Load(text);
    ScenarioLayer* layer = MakeLayer(width, height);
    Lua("OffsetLayer(layer, 16, 8)");
    return layer;
  }
  // Alpha summed over a rectangle of the page's memory copy.
  int InkIn(ScenarioLayer& layer, int x0, int y0, int x1, int y1) {
    int sum = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) sum += PagePixel(layer, x, y).a;
    }
    return sum;
  }
  int RubySkip() { return ruby_font_->LineSkip(); }
};

// ChgFontColor(font, c1, c2, c3) shows red c1, green c2, blue c3 on the page
// (string images show them the other way round).
TEST_F(PagePixels, ThePageShowsTheFontColourInArgumentOrder) {
  ScenarioLayer* layer = Layer(200, 100, u"M");
  Lua("ChgFontColor(main_font, 230, 120, 10)");
  Step();
  const Ink ink = OpaquePixel(*main_font_, u'M');
  ASSERT_TRUE(ink.Found());
  const auto page = PagePixel(*layer, ink.x, RubySkip() + ink.y);
  EXPECT_EQ(page.r, 230);
  EXPECT_EQ(page.g, 120);
  EXPECT_EQ(page.b, 10);
  EXPECT_EQ(page.a, 255);
  RenderFrame();
  const auto screen = Pixel(16 + ink.x, 8 + RubySkip() + ink.y);
  EXPECT_EQ(screen.r, 230);
  EXPECT_EQ(screen.g, 120);
  EXPECT_EQ(screen.b, 10);
  EXPECT_EQ(Pixel(2, 2).r + Pixel(2, 2).g + Pixel(2, 2).b, 0);  // transparent page around
}

TEST_F(PagePixels, AGlyphsTransparentMarginKeepsItsNeighboursInk) {
  ScenarioLayer* layer = Layer(200, 100, u"");
  layer->DrawCharacter(u'W', nullptr);
  SDL_Surface* staging = layer->Page()->Staging();
  ASSERT_NE(staging, nullptr);
  SurfacePtr before(SDL_ConvertSurface(staging, staging->format, SDL_SWSURFACE));
  // The next glyph drawn over the right part of the W.
  const GlyphMetrics w = test::MetricsOf(*main_font_, u'W');
  layer->SetPen(Pen{w.advance / 2, RubySkip()});
  layer->DrawCharacter(u'i', nullptr);
  SurfacePtr i_image = main_font_->RenderText(u"i");
  ASSERT_TRUE(i_image);
  int kept = 0;
  for (int y = 0; y < i_image->h; ++y) {
    for (int x = 0; x < i_image->w; ++x) {
      std::uint32_t word;
      std::memcpy(&word, static_cast<std::uint8_t*>(i_image->pixels) + y * i_image->pitch + x * 4,
                  4);
      if ((word >> 24) != 0) continue;
      const int px = w.advance / 2 + x;
      const int py = RubySkip() + y;
      const auto* old_pixel =
          static_cast<std::uint8_t*>(before->pixels) + py * before->pitch + px * 4;
      const auto now = PagePixel(*layer, px, py);
      ASSERT_EQ(now.a, old_pixel[3]) << px << "," << py;
      kept += old_pixel[3] > 0;
    }
  }
  EXPECT_GT(kept, 0);  // the test did cover W's ink under i's margin
}

TEST_F(PagePixels, AGlyphWithoutInkUploadsNothingButThePenMoves) {
  ScenarioLayer* layer = Layer(200, 100, u"");
  for (char16_t blank : {u' ', u'\uFEFF'}) {
    const std::optional<GlyphMetrics> metrics = main_font_->Metrics(blank);
    const Pen before = layer->GetPen();
    layer->DrawCharacter(blank, nullptr);
    EXPECT_TRUE(layer->Canvas().Inked().Empty()) << int(blank);
    EXPECT_EQ(layer->GetPen().x, before.x + (metrics ? metrics->advance : 0)) << int(blank);
  }
  EXPECT_GT(layer->GetPen().x, 0);
}

TEST_F(PagePixels, NothingIsDrawnOutsideThePage) {
  // No-break full stops run past the right edge; a wide ruby overhangs it.
  ScenarioLayer* layer = Layer(30, 60, u"AB..........\\W<wwwwwwwwwwwwwwwwwwww>");
  Step(14);
  ASSERT_EQ(layer->Page()->TextureWidth(), 32.0f);
  EXPECT_GT(InkIn(*layer, 0, 0, 30, 60), 0);
  EXPECT_EQ(InkIn(*layer, 30, 0, 32, 64), 0);
  EXPECT_EQ(InkIn(*layer, 0, 60, 32, 64), 0);
}

TEST_F(PagePixels, AGlyphImageTallerThanTheRoomLeftIsCutAtTheBottom) {
  const GlyphMetrics a = test::MetricsOf(*main_font_, u'A');
  SurfacePtr image = main_font_->RenderText(u"A");
  ASSERT_TRUE(image);
  // Room for the glyph's own height but not for its whole rendered image.
  const int height = RubySkip() + (a.max_y - a.min_y);
  ASSERT_LT(height, RubySkip() + image->h);
  ScenarioLayer* layer = Layer(100, height, u"A");
  Step();
  EXPECT_GT(layer->GetPen().x, 0);
  EXPECT_EQ(InkIn(*layer, 0, height, 100, static_cast<int>(layer->Page()->TextureHeight())), 0);
}

TEST_F(PagePixels, APageMadeSmallerCutsWhatFollows) {
  ScenarioLayer* layer = Layer(200, 100, u"AAAAAA....");
  Step(6);
  Lua("ResizeMesWnd(layer, 40, 64)");
  EXPECT_EQ(InkIn(*layer, 0, 0, 64, 64), 0);  // a blank page
  Step(4);
  EXPECT_EQ(InkIn(*layer, 0, 0, 64, 64), 0);  // the stops lie beyond its right edge
}

TEST_F(PagePixels, APageEndClearsThePageOnReturn) {
  ScenarioLayer* layer = Layer(200, 100, u"ABC\n\n\nD");
  StepUntilStopped();
  RenderFrame();
  const Ink ink = OpaquePixel(*main_font_, u'A');
  EXPECT_GT(InkIn(*layer, 0, 0, 256, 128), 0);
  EXPECT_GT(Pixel(16 + ink.x, 8 + RubySkip() + ink.y).r, 0);
  PressKey(SDLK_RETURN);
  EXPECT_EQ(InkIn(*layer, 0, 0, 256, 128), 0);
  RenderFrame();
  EXPECT_EQ(Pixel(16 + ink.x, 8 + RubySkip() + ink.y).r, 0);
}

TEST_F(PagePixels, RubyInkLiesInTheBandAboveItsGlyph) {
  ScenarioLayer* layer = Layer(200, 100, u"\u6F22<\u304B\u3093>");
  Step();
  EXPECT_GT(InkIn(*layer, 0, 0, 200, RubySkip()), 0);
  // The empty ruby of "A<>" draws the plain character.
  Load(u"A<>");
  Lua("EnableScenarioLayer(layer)");
  const Pen before = layer->GetPen();
  Step();
  EXPECT_EQ(layer->GetPen().x, before.x + test::MetricsOf(*main_font_, u'A').advance);
}

TEST_F(PagePixels, ResizingKeepsTheShownRectangleAndItsTextureCoordinatesFollow) {
  ScenarioLayer* layer = Layer(200, 100, u"");
  EXPECT_FLOAT_EQ(layer->Du(), 200.0f / 256.0f);
  Lua("w, h = GetLayerSize(layer) ResizeMesWnd(layer, 100, 50) w2, h2 = GetLayerSize(layer)");
  EXPECT_EQ(Number("w"), 200);
  EXPECT_EQ(Number("h2"), 50);
  EXPECT_FLOAT_EQ(layer->SourceWidth(), 200.0f);
  EXPECT_FLOAT_EQ(layer->SourceHeight(), 100.0f);
  EXPECT_FLOAT_EQ(layer->Du(), 200.0f / 128.0f);
  EXPECT_FLOAT_EQ(layer->Dv(), 100.0f / 64.0f);
  const std::string big = std::to_string(Texture::MaxSize() + 1);
  Lua("ResizeMesWnd(layer, " + big + ", 10) x = CreateScenarioLayer(" + big +
      ", 10, main_font, ruby_font)");
  EXPECT_EQ(layer->Width(), 100);
  EXPECT_TRUE(IsNil("x"));
}

TEST_F(PagePixels, ChoiceLinesAreHalfTransparentUntilThePointerIsOverThem) {
  Lua("ChgFontColor(main_font, 255, 255, 255)");
  WriteScenario("a.tsl", u"");
  ScenarioLayer* layer = Layer(200, 100, u"$M$a.tsl$");
  StepUntilStopped();
  ASSERT_EQ(layer->Choices().size(), 1u);
  ChoiceButton& button = *layer->Choices()[0];
  const Ink ink = OpaquePixel(*main_font_, u'M');
  const int x = button.Left() + ink.x;
  const int y = button.Top() + RubySkip() + ink.y;
  RenderFrame();
  EXPECT_NEAR(Pixel(x, y).r, 128, 2);
  MoveTo(button.Left() + 1, button.Top() + 1);
  RenderFrame();
  EXPECT_EQ(Pixel(x, y).r, 255);
}

// Made before the window exists, the page appears once there is one.
class EarlyLayer : public test::WindowTest, public test::StoryFixture {
 protected:
  void SetUp() override {
    test::WindowTest::SetUp();
    if (HasFatalFailure()) return;
    SetUpStory();
  }
  void TearDown() override {
    TearDownStory();
    test::WindowTest::TearDown();
    LayerTable::Reset();
  }
};

TEST_F(EarlyLayer, ThePageIsMadeWhenTheWindowExists) {
  Load(u"AB");
  ::testing::internal::CaptureStdout();
  ScenarioLayer* layer = MakeLayer(100, 50);
  EXPECT_FALSE(layer->Page()->Uploaded());
  InitWindow(160, 120);
  ::testing::internal::GetCapturedStdout();
  Step();
  EXPECT_TRUE(layer->Page()->Uploaded());
  EXPECT_FLOAT_EQ(layer->SourceWidth(), 100.0f);
  EXPECT_FLOAT_EQ(layer->Du(), 100.0f / 128.0f);
  EXPECT_GT(layer->Canvas().Inked().width, 0);
}

}  // namespace
}  // namespace tessel
