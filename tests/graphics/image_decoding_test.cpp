// Decoding image resources into surfaces: each format keeps its depth, TGA
// is told by its header, failures say which resource and why; the surface helpers.
#include <SDL.h>

#include "graphics/GraphicsTest.h"
#include "graphics/Surface.h"

namespace tessel {
namespace {

using test::EncodeBmp;
using test::EncodeGif;
using test::EncodeGreyPng;
using test::EncodePalettePng;
using test::EncodePng;
using test::EncodeTga;
using test::LogOf;
using test::Picture;
using test::Rgba;

class ImageDecodingTest : public test::GraphicsScriptTest {
 protected:
  static Picture TwoByTwo() {
    Picture picture(2, 2);
    picture.At(0, 0) = {255, 0, 0, 255};
    picture.At(1, 0) = {0, 255, 0, 128};
    picture.At(0, 1) = {0, 0, 255, 0};
    picture.At(1, 1) = {10, 20, 30, 255};
    return picture;
  }

  static Rgba ColourAt(SDL_Surface* surface, int x, int y) {
    Surface view(SurfacePtr(SDL_ConvertSurface(surface, surface->format, 0)));
    Uint8 r, g, b, a;
    SDL_GetRGBA(view.GetPixel(x, y), view.Get()->format, &r, &g, &b, &a);
    return {r, g, b, a};
  }
};

TEST_F(ImageDecodingTest, EachFormatKeepsTheDepthOfItsFile) {
  const std::vector<Rgba> palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  const std::vector<std::uint8_t> indices = {0, 1, 2, 3};
  WriteResource("rgb.png", EncodePng(TwoByTwo(), false));
  WriteResource("rgba.png", EncodePng(TwoByTwo(), true));
  WriteResource("palette.png", EncodePalettePng(2, 2, indices, palette));
  WriteResource("grey.png", EncodeGreyPng(TwoByTwo()));
  WriteResource("image.gif", EncodeGif(2, 2, indices, palette));
  WriteResource("image.bmp", EncodeBmp(TwoByTwo()));
  WriteResource("rgb.tga", EncodeTga(TwoByTwo(), false));
  WriteResource("rgba.tga", EncodeTga(TwoByTwo(), true));

  const std::pair<const char*, int> kExpected[] = {
      {"rgb.png", 24},  {"rgba.png", 32},  {"palette.png", 8}, {"grey.png", 8},
      {"image.gif", 8}, {"image.bmp", 24}, {"rgb.tga", 24},    {"rgba.tga", 32},
  };
  for (const auto& [name, depth] : kExpected) {
    SurfacePtr surface = LoadImage(name);
    ASSERT_NE(surface, nullptr) << name;
    EXPECT_EQ(surface->format->BitsPerPixel, depth) << name;
    EXPECT_EQ(surface->w, 2) << name;
    EXPECT_EQ(surface->h, 2) << name;
  }

  // Colours come through as written, alpha included.
  SurfacePtr rgba = LoadImage("rgba.png");
  EXPECT_EQ(ColourAt(rgba.get(), 1, 0), (Rgba{0, 255, 0, 128}));
  SurfacePtr tga = LoadImage("rgba.tga");
  EXPECT_EQ(ColourAt(tga.get(), 1, 1), (Rgba{10, 20, 30, 255}));
  SurfacePtr gif = LoadImage("image.gif");
  EXPECT_EQ(ColourAt(gif.get(), 0, 1), (Rgba{0, 0, 255, 255}));
}

TEST_F(ImageDecodingTest, TgaIsToldByItsHeaderWhateverItsName) {
  const std::string bytes = EncodeTga(TwoByTwo(), false);
  WriteResource("upper.TGA", bytes);
  WriteResource("no-suffix.img", bytes);
  EXPECT_NE(LoadImage("upper.TGA"), nullptr);
  EXPECT_NE(LoadImage("no-suffix.img"), nullptr);
}

TEST_F(ImageDecodingTest, FailuresNameTheResource) {
  WriteResource("broken.png", "\x89PNG\r\n\x1a\n garbage");
  SurfacePtr surface;
  std::string log = LogOf([&] { surface = LoadImage("missing.png"); });
  EXPECT_EQ(surface, nullptr);
  EXPECT_EQ(log, "Can't Load image.\nmissing.png: no such resource\n");

  log = LogOf([&] { surface = LoadImage("broken.png"); });
  EXPECT_EQ(surface, nullptr);
  EXPECT_EQ(log.rfind("Can't Load image.\nbroken.png: ", 0), 0u) << log;
}

TEST_F(ImageDecodingTest, MadeSurfacesAreZeroedWithRgbaByteOrder) {
  SurfacePtr rgba = CreateRgbaSurface(3, 2);
  ASSERT_NE(rgba, nullptr);
  EXPECT_EQ(rgba->w, 3);
  EXPECT_EQ(rgba->h, 2);
  EXPECT_EQ(rgba->format->BitsPerPixel, 32);
  const auto* bytes = static_cast<const std::uint8_t*>(rgba->pixels);
  for (int i = 0; i < rgba->pitch * rgba->h; ++i) ASSERT_EQ(bytes[i], 0) << i;

  // R, G, B, A in memory, as GL_RGBA with GL_UNSIGNED_BYTE reads them.
  SDL_FillRect(rgba.get(), nullptr, SDL_MapRGBA(rgba->format, 1, 2, 3, 4));
  EXPECT_EQ(bytes[0], 1);
  EXPECT_EQ(bytes[1], 2);
  EXPECT_EQ(bytes[2], 3);
  EXPECT_EQ(bytes[3], 4);

  SurfacePtr rgb = CreateRgbSurface(1, 1);
  ASSERT_NE(rgb, nullptr);
  EXPECT_EQ(rgb->format->BitsPerPixel, 24);
  EXPECT_EQ(rgb->format->Amask, 0u);

  EXPECT_EQ(CreateRgbaSurface(-1, 2), nullptr);
}

TEST_F(ImageDecodingTest, PixelsReadBackAsWrittenAtEveryDepth) {
  struct Case {
    int depth;
    std::uint32_t r, g, b, value;
  };
  const Case kCases[] = {
      {8, 0, 0, 0, 0x5A},
      {16, 0xF800, 0x07E0, 0x001F, 0xA5C3},
      {24, 0x0000FF, 0x00FF00, 0xFF0000, 0x123456},
      {32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0x89ABCDEF},
  };
  for (const Case& c : kCases) {
    Surface surface(SurfacePtr(SDL_CreateRGBSurface(0, 4, 3, c.depth, c.r, c.g, c.b, 0)));
    ASSERT_NE(surface.Get(), nullptr) << c.depth;
    ASSERT_TRUE(surface.Lock());
    surface.PutPixel(2, 1, c.value);
    surface.PutPixel(9, 9, 0xFFFFFFFF);  // outside: ignored
    EXPECT_EQ(surface.GetPixel(2, 1), c.value) << c.depth;
    EXPECT_EQ(surface.GetPixel(1, 1), 0u) << c.depth;
    EXPECT_EQ(surface.GetPixel(9, 9), 0u) << c.depth;
    surface.Unlock();
    EXPECT_EQ(surface.Format().BitsPerPixel(), c.depth);
  }
  Surface empty;
  EXPECT_EQ(empty.GetPixel(0, 0), 0u);
  EXPECT_FALSE(empty.SaveBmp("/nonexistent/x.bmp"));
}

TEST_F(ImageDecodingTest, BlitAndSaveBmpRoundTrip) {
  Surface target(CreateRgbSurface(4, 4));
  Surface source(CreateRgbSurface(2, 2));
  ASSERT_TRUE(source.Fill(nullptr, source.Format().MapRgb(9, 8, 7)));
  EXPECT_EQ(target.Blit(source, nullptr, 1, 1), 0);
  const std::string path = (dir_.Path() / "saved.bmp").string();
  ASSERT_TRUE(target.SaveBmp(path));
  SurfacePtr loaded = LoadImage("saved.bmp");
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(ColourAt(loaded.get(), 1, 1), (Rgba{9, 8, 7, 255}));
  EXPECT_EQ(ColourAt(loaded.get(), 0, 0), (Rgba{0, 0, 0, 255}));
  EXPECT_EQ(ColourAt(loaded.get(), 3, 3), (Rgba{0, 0, 0, 255}));
}

}  // namespace
}  // namespace tessel
