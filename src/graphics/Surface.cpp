#include "graphics/Surface.h"

#include <cstring>
#include <vector>

#include "core/DebugLog.h"
#include "core/PlayMonitor.h"
#include "graphics/ImageDecoder.h"
#include "graphics/ImageHeader.h"
#include "resource/ResourceFile.h"

namespace tessel {
namespace {

struct RwCloser {
  void operator()(SDL_RWops* stream) const noexcept { SDL_RWclose(stream); }
};

// The whole resource, or false when it cannot be read or is larger than any
// picture the engine decodes.
bool ReadWhole(SDL_RWops* stream, std::vector<std::uint8_t>& bytes, std::string& error) {
  const int size = SDL_RWseek(stream, 0, RW_SEEK_END);
  if (size < 0 || SDL_RWseek(stream, 0, RW_SEEK_SET) != 0) {
    error = SDL_GetError();
    return false;
  }
  if (static_cast<std::size_t>(size) > kMaxImageFileBytes) {
    error = "the file is larger than the " + std::to_string(kMaxImageFileBytes >> 20) +
            " MiB a picture may have";
    return false;
  }
  bytes.resize(static_cast<std::size_t>(size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const int n = SDL_RWread(stream, bytes.data() + done, 1, static_cast<int>(bytes.size() - done));
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return true;
}

SurfacePtr CreateSurface(int width, int height, int depth, Uint32 alpha_mask) {
  if (width < 0 || height < 0) return nullptr;
  // Masks give the byte order R, G, B (, A) on a little-endian machine.
  SDL_Surface* surface =
      SDL_CreateRGBSurface(0, width, height, depth, 0x000000FF, 0x0000FF00, 0x00FF0000, alpha_mask);
  if (surface != nullptr && surface->pixels != nullptr) {
    std::memset(surface->pixels, 0, static_cast<size_t>(surface->pitch) * surface->h);
  }
  return SurfacePtr(surface);
}

}  // namespace

SurfacePtr LoadImage(const std::string& name) {
  std::unique_ptr<SDL_RWops, RwCloser> stream(OpenResource(name));
  if (!stream) {
    DebugLog::Write("Can't Load image.\n");
    DebugLog::Print("%s: no such resource\n", name.c_str());
    NoteProblem(ProblemKind::kMissingFile, "picture '" + name + "' does not exist");
    return nullptr;
  }
  std::vector<std::uint8_t> bytes;
  std::string error;
  SurfacePtr surface;
  if (ReadWhole(stream.get(), bytes, error)) surface = DecodeImage(bytes, error);
  if (!surface) {
    DebugLog::Write("Can't Load image.\n");
    DebugLog::Print("%s: %s\n", name.c_str(), error.c_str());
    NoteProblem(ProblemKind::kBadFile, "picture '" + name + "': " + error);
  }
  return surface;
}

SurfacePtr CreateRgbaSurface(int width, int height) {
  return CreateSurface(width, height, 32, 0xFF000000);
}

SurfacePtr CreateRgbSurface(int width, int height) { return CreateSurface(width, height, 24, 0); }

std::uint32_t PixelFormat::MapRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) const {
  return format_ != nullptr ? SDL_MapRGB(const_cast<SDL_PixelFormat*>(format_), r, g, b) : 0;
}

std::uint32_t PixelFormat::MapRgba(std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                   std::uint8_t a) const {
  return format_ != nullptr ? SDL_MapRGBA(const_cast<SDL_PixelFormat*>(format_), r, g, b, a) : 0;
}

bool Surface::Lock() {
  if (!surface_) return false;
  if (!SDL_MUSTLOCK(surface_.get())) return true;
  return SDL_LockSurface(surface_.get()) == 0;
}

void Surface::Unlock() {
  if (surface_ && SDL_MUSTLOCK(surface_.get())) SDL_UnlockSurface(surface_.get());
}

std::uint8_t* Surface::PixelAddress(int x, int y) const {
  if (!surface_ || surface_->pixels == nullptr) return nullptr;
  if (x < 0 || y < 0 || x >= surface_->w || y >= surface_->h) return nullptr;
  return static_cast<std::uint8_t*>(surface_->pixels) +
         static_cast<ptrdiff_t>(y) * surface_->pitch +
         static_cast<ptrdiff_t>(x) * surface_->format->BytesPerPixel;
}

void Surface::PutPixel(int x, int y, std::uint32_t value) {
  std::uint8_t* p = PixelAddress(x, y);
  if (p == nullptr) return;
  switch (surface_->format->BytesPerPixel) {
    case 1:
      *p = static_cast<std::uint8_t>(value);
      break;
    case 2: {
      auto word = static_cast<std::uint16_t>(value);
      std::memcpy(p, &word, 2);
      break;
    }
    case 3:
      p[0] = static_cast<std::uint8_t>(value);
      p[1] = static_cast<std::uint8_t>(value >> 8);
      p[2] = static_cast<std::uint8_t>(value >> 16);
      break;
    case 4:
      std::memcpy(p, &value, 4);
      break;
    default:
      break;
  }
}

std::uint32_t Surface::GetPixel(int x, int y) const {
  const std::uint8_t* p = PixelAddress(x, y);
  if (p == nullptr) return 0;
  const SDL_PixelFormat* format = surface_->format;
  switch (format->BytesPerPixel) {
    case 1:
      return *p;
    case 2: {
      std::uint16_t word = 0;
      std::memcpy(&word, p, 2);
      return word;
    }
    case 3: {
      std::uint32_t r = p[format->Rshift / 8];
      std::uint32_t g = p[format->Gshift / 8];
      std::uint32_t b = p[format->Bshift / 8];
      return (r << format->Rshift) | (g << format->Gshift) | (b << format->Bshift);
    }
    case 4: {
      std::uint32_t value = 0;
      std::memcpy(&value, p, 4);
      return value;
    }
    default:
      return 0;
  }
}

int Surface::Blit(const Surface& source, const SDL_Rect* source_rect, int x, int y) {
  if (!surface_ || !source.surface_) return -1;
  Rect destination(x, y, 0, 0);
  return SDL_UpperBlit(source.surface_.get(), const_cast<SDL_Rect*>(source_rect), surface_.get(),
                       &destination);
}

bool Surface::Fill(const SDL_Rect* rect, std::uint32_t colour) {
  return surface_ && SDL_FillRect(surface_.get(), const_cast<SDL_Rect*>(rect), colour) == 0;
}

bool Surface::SetColorKey(std::uint32_t flags, std::uint32_t key) {
  return surface_ && SDL_SetColorKey(surface_.get(), flags, key) == 0;
}

bool Surface::SetAlpha(std::uint32_t flags, std::uint8_t alpha) {
  return surface_ && SDL_SetAlpha(surface_.get(), flags, alpha) == 0;
}

void Surface::SetClip(const SDL_Rect& rect) {
  if (surface_) SDL_SetClipRect(surface_.get(), const_cast<SDL_Rect*>(&rect));
}

void Surface::ClearClip() {
  if (surface_) SDL_SetClipRect(surface_.get(), nullptr);
}

Rect Surface::Clip() const {
  Rect rect;
  if (surface_) SDL_GetClipRect(surface_.get(), &rect);
  return rect;
}

bool Surface::SaveBmp(const std::string& path) const {
  if (!surface_) return false;
  SDL_RWops* file = SDL_RWFromFile(path.c_str(), "wb");
  if (file == nullptr) return false;
  return SDL_SaveBMP_RW(surface_.get(), file, 1) == 0;
}

bool Surface::ToDisplayFormat() {
  if (!surface_) return false;
  SDL_Surface* converted = SDL_DisplayFormat(surface_.get());
  if (converted == nullptr) return false;
  Replace(SurfacePtr(converted));
  return true;
}

bool Surface::ToDisplayFormatAlpha() {
  if (!surface_) return false;
  SDL_Surface* converted = SDL_DisplayFormatAlpha(surface_.get());
  if (converted == nullptr) return false;
  Replace(SurfacePtr(converted));
  return true;
}

}  // namespace tessel
