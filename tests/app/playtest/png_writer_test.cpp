// The screenshot encoder: its files decode with the image library the engine
// reads pictures with.
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/playtest/PngWriter.h"

namespace tessel {
namespace {

TEST(PngEncoder, WritesPicturesTheImageLibraryReadsBackExactly) {
  const int width = 37;  // rows not a multiple of 4 bytes... and odd sizes
  const int height = 5;
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
  for (std::size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<std::uint8_t>(i * 7 + 3);
  const std::string png = EncodePng(width, height, rgba);
  ASSERT_FALSE(png.empty());
  SDL_RWops* stream = SDL_RWFromConstMem(png.data(), static_cast<int>(png.size()));
  SDL_Surface* picture = IMG_Load_RW(stream, 1);
  ASSERT_NE(picture, nullptr) << IMG_GetError();
  ASSERT_EQ(picture->w, width);
  ASSERT_EQ(picture->h, height);
  ASSERT_EQ(picture->format->BytesPerPixel, 4);
  SDL_LockSurface(picture);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      Uint32 pixel = 0;
      std::memcpy(&pixel, static_cast<const Uint8*>(picture->pixels) + y * picture->pitch + x * 4, 4);
      Uint8 r, g, b, a;
      SDL_GetRGBA(pixel, picture->format, &r, &g, &b, &a);
      const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 4;
      ASSERT_EQ(r, rgba[at]);
      ASSERT_EQ(g, rgba[at + 1]);
      ASSERT_EQ(b, rgba[at + 2]);
      ASSERT_EQ(a, rgba[at + 3]);
    }
  }
  SDL_UnlockSurface(picture);
  SDL_FreeSurface(picture);
}

TEST(PngEncoder, RefusesSizesThatDoNotMatchThePixels) {
  EXPECT_TRUE(EncodePng(0, 4, {}).empty());
  EXPECT_TRUE(EncodePng(2, 2, std::vector<std::uint8_t>(15)).empty());
  EXPECT_TRUE(EncodePng(-1, 2, std::vector<std::uint8_t>(8)).empty());
}

}  // namespace
}  // namespace tessel
