#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>

namespace tessel {

struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const noexcept { SDL_FreeSurface(surface); }
};
// The one owner of a main-memory picture.
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Decodes a named image resource (archives first, then the base directory),
// keeping the file's depth and format. Null, after a log line that names the
// resource and the reason, when it is missing or cannot be decoded.
SurfacePtr LoadImage(const std::string& name);

// Software surfaces whose bytes are R, G, B (, A) per pixel on a little-endian
// machine, as GL_RGB / GL_RGBA with GL_UNSIGNED_BYTE read them; all bytes zero.
// Null when the sizes are negative or the memory cannot be had.
SurfacePtr CreateRgbaSurface(int width, int height);
SurfacePtr CreateRgbSurface(int width, int height);

// The media layer's rectangle: x, y signed 16-bit, w, h unsigned 16-bit.
struct Rect : SDL_Rect {
  Rect() : SDL_Rect{0, 0, 0, 0} {}
  Rect(int x, int y, int w, int h)
      : SDL_Rect{static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
                 static_cast<Uint16>(h)} {}
  Rect(int w, int h) : Rect(0, 0, w, h) {}
};

// Read-only view of a surface's pixel format.
class PixelFormat {
 public:
  explicit PixelFormat(const SDL_PixelFormat* format) : format_(format) {}
  int BitsPerPixel() const { return format_ != nullptr ? format_->BitsPerPixel : 0; }
  int BytesPerPixel() const { return format_ != nullptr ? format_->BytesPerPixel : 0; }
  int RedShift() const { return format_ != nullptr ? format_->Rshift : 0; }
  int GreenShift() const { return format_ != nullptr ? format_->Gshift : 0; }
  int BlueShift() const { return format_ != nullptr ? format_->Bshift : 0; }
  std::uint32_t MapRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) const;
  std::uint32_t MapRgba(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) const;

 private:
  const SDL_PixelFormat* format_;
};

// An owned surface with the per-pixel and blit helpers drawing code needs.
// Every operation tolerates an empty wrapper.
class Surface {
 public:
  Surface() = default;
  explicit Surface(SurfacePtr surface) : surface_(std::move(surface)) {}

  SDL_Surface* Get() const { return surface_.get(); }
  SurfacePtr Take() { return std::move(surface_); }
  void Replace(SurfacePtr surface) { surface_ = std::move(surface); }

  bool Lock();
  void Unlock();
  // Out-of-range coordinates read 0 and write nothing.
  void PutPixel(int x, int y, std::uint32_t value);
  std::uint32_t GetPixel(int x, int y) const;
  // The media layer's result (0 is success).
  int Blit(const Surface& source, const SDL_Rect* source_rect, int x, int y);
  bool Fill(const SDL_Rect* rect, std::uint32_t colour);
  bool SetColorKey(std::uint32_t flags, std::uint32_t key);
  bool SetAlpha(std::uint32_t flags, std::uint8_t alpha);
  void SetClip(const SDL_Rect& rect);
  void ClearClip();
  Rect Clip() const;
  bool SaveBmp(const std::string& path) const;
  bool ToDisplayFormat();
  bool ToDisplayFormatAlpha();

  int Width() const { return surface_ ? surface_->w : 0; }
  int Height() const { return surface_ ? surface_->h : 0; }
  int Pitch() const { return surface_ ? surface_->pitch : 0; }
  void* Pixels() const { return surface_ ? surface_->pixels : nullptr; }
  PixelFormat Format() const { return PixelFormat(surface_ ? surface_->format : nullptr); }

 private:
  std::uint8_t* PixelAddress(int x, int y) const;

  SurfacePtr surface_;
};

}  // namespace tessel
