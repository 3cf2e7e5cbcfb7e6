#pragma once

// One picture type for every test that looks at pixels: pictures encoded
// into test files, glyphs and textures read back, screenshots of the engine.
#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

namespace tessel::test {

struct Rgba {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  std::uint8_t a = 255;
  bool operator==(const Rgba&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rgba& pixel);

// Row-major pixels, top row first. Default-made, it is empty and not Valid().
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;

  Picture() = default;
  Picture(int w, int h, Rgba fill = {}) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}

  bool Valid() const { return width > 0 && pixels.size() == std::size_t(width) * height; }
  Rgba& At(int x, int y) { return pixels[std::size_t(y) * width + x]; }
  const Rgba& At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
  int Red(int x, int y) const { return At(x, y).r; }
  int Green(int x, int y) const { return At(x, y).g; }
  int Blue(int x, int y) const { return At(x, y).b; }

  // On screen: brighter than a dark background (text, mostly).
  bool Inked(int x, int y) const { return Red(x, y) + Green(x, y) + Blue(x, y) > 150; }
  int InkInRows(int top, int bottom) const { return Count(0, top, width, bottom, &Picture::Inked); }
  int LowestInkedRow() const;
  // The pixels of the rectangle [left, right) x [top, bottom) that `test` accepts.
  int Count(int left, int top, int right, int bottom,
            const std::function<bool(const Picture&, int, int)>& test) const;

  // Off screen (glyphs, textures): the sum of alpha over the picture.
  long Ink() const;
  // Mean x of the ink (alpha) in rows [top, bottom).
  double InkCentre(int top, int bottom) const;
  // The colours of the fully opaque pixels, each once.
  std::vector<Rgba> OpaqueColours() const;
};

}  // namespace tessel::test
