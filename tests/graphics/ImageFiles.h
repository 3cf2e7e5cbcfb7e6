#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Tiny image files made in code for the graphics tests: each encoder writes
// the smallest valid file of its format, so no fixture is committed.
namespace tessel::test {

struct Rgba {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  std::uint8_t a = 255;
  bool operator==(const Rgba&) const = default;
};

// Row-major pixels, top row first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;
  Picture(int w, int h, Rgba fill = {}) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
  Rgba& At(int x, int y) { return pixels[std::size_t(y) * width + x]; }
  const Rgba& At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// Colour types 2 (RGB) and 6 (RGBA), 8 bits per sample.
std::string EncodePng(const Picture& picture, bool with_alpha);
// Colour type 0, 8 bits: the red channel is the grey level.
std::string EncodeGreyPng(const Picture& picture);
// Colour type 3: indices into a palette; `transparent` (if >= 0) gets a tRNS entry of 0.
std::string EncodePalettePng(int width, int height, const std::vector<std::uint8_t>& indices,
                             const std::vector<Rgba>& palette, int transparent = -1);
// GIF89a with at most four colours; `transparent` (if >= 0) marks that index.
std::string EncodeGif(int width, int height, const std::vector<std::uint8_t>& indices,
                      const std::vector<Rgba>& palette, int transparent = -1);
// Uncompressed true-colour TGA, 24 or 32 bits, top row first.
std::string EncodeTga(const Picture& picture, bool with_alpha);
// 24-bit BMP written by SDL_SaveBMP.
std::string EncodeBmp(const Picture& picture);

}  // namespace tessel::test
