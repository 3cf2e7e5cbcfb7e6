// Compositing rendered text into a page's memory copy: the byte exchange of
// the colour, "over" blending that keeps neighbouring ink, and clipping.
#include <gtest/gtest.h>

#include <cstring>

#include "graphics/Surface.h"
#include "text/TextCanvas.h"

namespace tessel {
namespace {

// A text image as the font renderer makes it: 32-bit words, alpha on top.
SurfacePtr TextImage(int w, int h, std::uint32_t word) {
  SurfacePtr s(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x00FF0000, 0x0000FF00, 0x000000FF,
                                    0xFF000000));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      std::memcpy(static_cast<std::uint8_t*>(s->pixels) + y * s->pitch + x * 4, &word, 4);
    }
  }
  return s;
}

struct Bytes {
  int r, g, b, a;
  bool operator==(const Bytes&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Bytes& p) {
  return out << "(" << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ")";
}

Bytes At(SDL_Surface* s, int x, int y) {
  const auto* p = static_cast<const std::uint8_t*>(s->pixels) + y * s->pitch + x * 4;
  return Bytes{p[0], p[1], p[2], p[3]};
}

void Put(SDL_Surface* s, int x, int y, Bytes b) {
  auto* p = static_cast<std::uint8_t*>(s->pixels) + y * s->pitch + x * 4;
  p[0] = b.r, p[1] = b.g, p[2] = b.b, p[3] = b.a;
}

const PixelRect kWhole{0, 0, 1000, 1000};

TEST(CompositeText, TheWordsLowByteBecomesThePagesRedAndItsRedThePagesBlue) {
  SurfacePtr page = CreateRgbaSurface(8, 8);
  SurfacePtr text = TextImage(2, 2, 0xFF0A141E);  // alpha 255, red 10, green 20, blue 30
  const PixelRect touched = CompositeText(page.get(), text.get(), 3, 4, kWhole);
  EXPECT_EQ(touched, (PixelRect{3, 4, 2, 2}));
  EXPECT_EQ(At(page.get(), 3, 4), (Bytes{30, 20, 10, 255}));
  EXPECT_EQ(At(page.get(), 2, 4), (Bytes{0, 0, 0, 0}));
}

TEST(CompositeText, TransparentPartsKeepTheInkBelowAndPartialAlphaBlendsOver) {
  SurfacePtr page = CreateRgbaSurface(4, 1);
  Put(page.get(), 0, 0, Bytes{200, 100, 50, 255});
  Put(page.get(), 1, 0, Bytes{200, 100, 50, 255});
  Put(page.get(), 2, 0, Bytes{200, 0, 0, 128});
  SurfacePtr clear = TextImage(4, 1, 0x00FFFFFF);  // fully transparent white
  EXPECT_TRUE(CompositeText(page.get(), clear.get(), 0, 0, kWhole).Empty());
  EXPECT_EQ(At(page.get(), 0, 0), (Bytes{200, 100, 50, 255}));

  SurfacePtr half = TextImage(4, 1, 0x800000FF);  // alpha 128, page red 255
  CompositeText(page.get(), half.get(), 0, 0, kWhole);
  // Over an opaque pixel: the average, still opaque.
  const Bytes over_opaque = At(page.get(), 1, 0);
  EXPECT_NEAR(over_opaque.r, 228, 1);
  EXPECT_NEAR(over_opaque.g, 50, 1);
  EXPECT_NEAR(over_opaque.b, 25, 1);
  EXPECT_EQ(over_opaque.a, 255);
  // Over a half-covered pixel: alpha 128 + 128·127/255 ≈ 192.
  const Bytes over_half = At(page.get(), 2, 0);
  EXPECT_NEAR(over_half.a, 192, 1);
  EXPECT_NEAR(over_half.r, 238, 2);
  // Over nothing: the image as it is.
  EXPECT_EQ(At(page.get(), 3, 0), (Bytes{255, 0, 0, 128}));
}

TEST(CompositeText, EverythingIsClippedToTheClipAndThePage) {
  SurfacePtr page = CreateRgbaSurface(16, 16);
  SurfacePtr text = TextImage(10, 10, 0xFFFFFFFF);
  const PixelRect clip{0, 0, 12, 9};
  EXPECT_EQ(CompositeText(page.get(), text.get(), 8, -3, clip), (PixelRect{8, 0, 4, 7}));
  EXPECT_EQ(At(page.get(), 12, 0).a, 0);
  EXPECT_EQ(At(page.get(), 8, 7).a, 0);
  EXPECT_EQ(At(page.get(), 11, 6).a, 255);
  EXPECT_TRUE(CompositeText(page.get(), text.get(), 20, 0, kWhole).Empty());
  EXPECT_TRUE(CompositeText(page.get(), text.get(), -10, 0, kWhole).Empty());
  EXPECT_TRUE(CompositeText(page.get(), text.get(), -2000000000, 2000000000, kWhole).Empty());
  EXPECT_TRUE(CompositeText(page.get(), nullptr, 0, 0, kWhole).Empty());
}

TEST(PixelRectUnion, EmptyRectanglesAddNothing) {
  const PixelRect a{2, 3, 4, 5};
  EXPECT_EQ(a.Union({}), a);
  EXPECT_EQ(PixelRect{}.Union(a), a);
  EXPECT_EQ(a.Union({10, 0, 1, 1}), (PixelRect{2, 0, 9, 8}));
}

}  // namespace
}  // namespace tessel
