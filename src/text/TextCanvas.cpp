#include "text/TextCanvas.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "graphics/Texture.h"

namespace tessel {
namespace {

// One channel of "over" with straight alpha: the source weighted by its alpha,
// the destination by what the source lets through; `total` is the resulting
// alpha times 255.
std::uint8_t Over(std::uint32_t source, std::uint32_t source_alpha, std::uint32_t destination,
                  std::uint32_t destination_weight, std::uint32_t total) {
  const std::uint32_t value =
      (source * source_alpha * 255 + destination * destination_weight + total / 2) / total;
  return static_cast<std::uint8_t>(std::min<std::uint32_t>(value, 255));
}

}  // namespace

PixelRect PixelRect::Union(const PixelRect& other) const {
  if (other.Empty()) return *this;
  if (Empty()) return other;
  const int left = std::min(x, other.x);
  const int top = std::min(y, other.y);
  const int right = std::max(x + width, other.x + other.width);
  const int bottom = std::max(y + height, other.y + other.height);
  return PixelRect{left, top, right - left, bottom - top};
}

PixelRect PixelRect::Intersect(const PixelRect& other) const {
  const long long left = std::max(x, other.x);
  const long long top = std::max(y, other.y);
  const long long right =
      std::min(static_cast<long long>(x) + width, static_cast<long long>(other.x) + other.width);
  const long long bottom =
      std::min(static_cast<long long>(y) + height, static_cast<long long>(other.y) + other.height);
  if (right <= left || bottom <= top) return {};
  return PixelRect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                   static_cast<int>(bottom - top)};
}

PixelRect CompositeText(SDL_Surface* destination, const SDL_Surface* text, int x, int y,
                        const PixelRect& clip) {
  if (destination == nullptr || text == nullptr || destination->pixels == nullptr ||
      text->pixels == nullptr || destination->format->BytesPerPixel != 4 ||
      text->format->BytesPerPixel != 4) {
    return {};
  }
  const PixelRect area = PixelRect{x, y, text->w, text->h}.Intersect(clip).Intersect(
      PixelRect{0, 0, destination->w, destination->h});
  if (area.Empty()) return {};

  // Only what the image inks is reported, so a blank glyph uploads nothing.
  int left = area.x + area.width;
  int top = area.y + area.height;
  int right = area.x;
  int bottom = area.y;
  for (int row = 0; row < area.height; ++row) {
    const auto* source_row = static_cast<const std::uint8_t*>(text->pixels) +
                             static_cast<std::ptrdiff_t>(area.y - y + row) * text->pitch;
    auto* destination_row = static_cast<std::uint8_t*>(destination->pixels) +
                            static_cast<std::ptrdiff_t>(area.y + row) * destination->pitch;
    for (int column = 0; column < area.width; ++column) {
      std::uint32_t word;
      std::memcpy(&word, source_row + static_cast<std::ptrdiff_t>(area.x - x + column) * 4, 4);
      const std::uint32_t alpha = word >> 24;
      if (alpha == 0) continue;
      left = std::min(left, area.x + column);
      right = std::max(right, area.x + column + 1);
      top = std::min(top, area.y + row);
      bottom = std::max(bottom, area.y + row + 1);
      // Page red from the word's blue, page blue from the word's red.
      const std::uint32_t first = word & 0xFF;
      const std::uint32_t second = (word >> 8) & 0xFF;
      const std::uint32_t third = (word >> 16) & 0xFF;
      std::uint8_t* pixel = destination_row + static_cast<std::ptrdiff_t>(area.x + column) * 4;
      const std::uint32_t below = pixel[3];
      if (alpha == 255 || below == 0) {
        pixel[0] = static_cast<std::uint8_t>(first);
        pixel[1] = static_cast<std::uint8_t>(second);
        pixel[2] = static_cast<std::uint8_t>(third);
        pixel[3] = static_cast<std::uint8_t>(alpha);
        continue;
      }
      const std::uint32_t weight = below * (255 - alpha);  // destination's share, times 255
      const std::uint32_t total = alpha * 255 + weight;    // resulting alpha, times 255
      pixel[0] = Over(first, alpha, pixel[0], weight, total);
      pixel[1] = Over(second, alpha, pixel[1], weight, total);
      pixel[2] = Over(third, alpha, pixel[2], weight, total);
      pixel[3] = static_cast<std::uint8_t>((total + 127) / 255);
    }
  }
  if (right <= left || bottom <= top) return {};
  return PixelRect{left, top, right - left, bottom - top};
}

void TextCanvas::Draw(const SDL_Surface* text, int x, int y) {
  SDL_Surface* staging = texture_->Staging();
  if (staging == nullptr || text == nullptr) return;
  const bool locked = SDL_MUSTLOCK(const_cast<SDL_Surface*>(text));
  if (locked && SDL_LockSurface(const_cast<SDL_Surface*>(text)) != 0) return;
  const PixelRect touched = CompositeText(staging, text, x, y, clip_);
  if (locked) SDL_UnlockSurface(const_cast<SDL_Surface*>(text));
  pending_ = pending_.Union(touched);
  inked_ = inked_.Union(touched);
}

void TextCanvas::Flush() {
  if (pending_.Empty()) return;
  texture_->UploadStagingRect(pending_.x, pending_.y, pending_.width, pending_.height);
  pending_ = {};
}

void TextCanvas::Clear() {
  SDL_Surface* staging = texture_->Staging();
  const PixelRect area =
      staging != nullptr ? inked_.Intersect(PixelRect{0, 0, staging->w, staging->h}) : PixelRect{};
  if (!area.Empty()) {
    for (int row = 0; row < area.height; ++row) {
      auto* bytes = static_cast<std::uint8_t*>(staging->pixels) +
                    static_cast<std::ptrdiff_t>(area.y + row) * staging->pitch +
                    static_cast<std::ptrdiff_t>(area.x) * 4;
      std::memset(bytes, 0, static_cast<std::size_t>(area.width) * 4);
    }
    texture_->UploadStagingRect(area.x, area.y, area.width, area.height);
  }
  inked_ = {};
  pending_ = {};
}

}  // namespace tessel
