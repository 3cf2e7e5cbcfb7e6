#pragma once

#include <SDL.h>

#include <memory>

namespace tessel {

class Texture;

// A rectangle of pixels; empty when either side is 0 or less.
struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  bool Empty() const { return width <= 0 || height <= 0; }
  // The smallest rectangle holding both (an empty one adds nothing).
  PixelRect Union(const PixelRect& other) const;
  PixelRect Intersect(const PixelRect& other) const;
  bool operator==(const PixelRect&) const = default;
};

// Composites a rendered text image over `destination` at (x, y), clipped to
// `clip` and to the destination; returns the rectangle of the pixels it inked
// (empty for an image without ink).
//
// The text image holds 32-bit words with alpha, red, green, blue from the high
// byte down (the font renderer's layout); the destination holds the bytes R,
// G, B, A of a texture. The word's low byte (its blue) goes to the first byte
// (red) and its red to the third (blue): games chose their text colours with
// this exchange, so it is kept, here spelled out byte by byte. Transparent
// parts of the image leave the destination as it was, so a glyph's empty
// margin never erases the ink of its neighbours.
PixelRect CompositeText(SDL_Surface* destination, const SDL_Surface* text, int x, int y,
                        const PixelRect& clip);

// Draws text images into a texture's memory copy and sends only what changed:
// Draw composites, Flush uploads the rectangle drawn since the last Flush, and
// Clear blanks what ink there is. Everything is clipped to the picture area.
class TextCanvas {
 public:
  explicit TextCanvas(std::shared_ptr<Texture> texture) : texture_(std::move(texture)) {}

  // Text images outside this rectangle are cut off (the page's picture).
  void SetClip(int width, int height) { clip_ = PixelRect{0, 0, width, height}; }
  // After the texture was recreated blank.
  void ForgetInk() {
    inked_ = {};
    pending_ = {};
  }

  void Draw(const SDL_Surface* text, int x, int y);
  void Flush();
  void Clear();

  const PixelRect& Inked() const { return inked_; }
  Texture& GetTexture() const { return *texture_; }

 private:
  std::shared_ptr<Texture> texture_;
  PixelRect clip_;
  PixelRect inked_;    // everything drawn since the last Clear
  PixelRect pending_;  // drawn but not yet uploaded
};

}  // namespace tessel
