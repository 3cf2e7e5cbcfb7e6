#include "graphics/Texture.h"

#include <SDL_opengl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/DebugLog.h"
#include "graphics/TextureManager.h"

namespace tessel {
namespace {

void DrainGlErrors() {
  // Bounded: a driver without a context may answer the same error forever.
  for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
  }
}

// Pixel-store state for whole rows of a surface whose pitch SDL pads to four bytes.
void SetPackedRows() {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
}

// Defines level 0 of a new texture name; 0 (after a log line) when GL refuses.
GLuint MakeGlTexture(GLenum format, int width, int height, const void* pixels) {
  DrainGlErrors();
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  SetPackedRows();
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format,
               GL_UNSIGNED_BYTE, pixels);
  glPopClientAttrib();
  GLenum error = glGetError();
  if (error != GL_NO_ERROR) {
    DebugLog::Print("Texture Binding Error. %d\n", static_cast<int>(error));
    glDeleteTextures(1, &name);
    return 0;
  }
  if (glIsTexture(name) != GL_TRUE) {
    DebugLog::Print("%d is not Texture.\n", static_cast<int>(name));
    return 0;
  }
  GLclampf priority = 1.0f;
  glPrioritizeTextures(1, &name, &priority);
  return name;
}

// Reads level 0 of the bound texture into a surface laid out as it was
// uploaded (rows padded to four bytes, as SDL pads them).
void ReadBoundTexture(GLenum format, void* pixels) {
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_PACK_SKIP_ROWS, 0);
  glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, pixels);
  glPopClientAttrib();
}

int ToPixel(double value) {
  // Far outside any texture either way; keeps the clipping arithmetic in range.
  constexpr double kLimit = 1 << 30;
  if (std::isnan(value)) return 0;
  return static_cast<int>(std::clamp(value, -kLimit, kLimit));
}

}  // namespace

SurfacePtr StagePicture(SDL_Surface* source, int width, int height) {
  // A 24-bit picture without a colour key has no transparency and stays RGB;
  // every other source (palette, grey, 16 bit, colour-keyed) goes through the
  // RGBA blit, so palettes are resolved and keyed pixels come out transparent.
  const bool rgb = source->format->BitsPerPixel == 24 && (source->flags & SDL_SRCCOLORKEY) == 0;
  SurfacePtr staging = rgb ? CreateRgbSurface(width, height) : CreateRgbaSurface(width, height);
  if (!staging) {
    DebugLog::Print("Texture: no memory for a %dx%d staging copy: %s\n", width, height,
                    SDL_GetError());
    return nullptr;
  }
  // With SDL_SRCALPHA on, the blit would blend the picture into the zeroed
  // staging surface and lose its alpha; off, the alpha channel is copied.
  const Uint32 blend_flags = source->flags & (SDL_SRCALPHA | SDL_RLEACCELOK);
  const Uint8 surface_alpha = source->format->alpha;
  if ((blend_flags & SDL_SRCALPHA) != 0) SDL_SetAlpha(source, 0, 0);
  SDL_Rect whole{0, 0, static_cast<Uint16>(source->w), static_cast<Uint16>(source->h)};
  const int blitted =
      source->w > 0 && source->h > 0 ? SDL_UpperBlit(source, &whole, staging.get(), nullptr) : 0;
  if ((blend_flags & SDL_SRCALPHA) != 0) SDL_SetAlpha(source, blend_flags, surface_alpha);
  if (blitted < 0) {
    DebugLog::Print("Texture: the picture could not be copied: %s\n", SDL_GetError());
    return nullptr;
  }
  return staging;
}

bool HasGlContext() {
  SDL_Surface* screen = SDL_GetVideoSurface();
  return screen != nullptr && (screen->flags & SDL_OPENGL) != 0;
}

int NextPowerOfTwo(int n) {
  int value = 1;
  while (value < n) {
    if (value > std::numeric_limits<int>::max() / 2) return 0;
    value *= 2;
  }
  return value;
}

Texture::Texture() {
  TextureManager::Add(this);
  listed_ = true;
}

Texture::Texture(SDL_Surface* source) : Texture() { Upload(source); }

Texture::Texture(int width, int height) : Texture() { Recreate(width, height); }

Texture::~Texture() { Release(); }

void Texture::Clear() {
  staging_.reset();
  left_ = right_ = top_ = bottom_ = 0;
  texture_width_ = texture_height_ = image_width_ = image_height_ = 0;
  source_depth_ = 0;
  format_ = 0;
  uploaded_ = false;
}

bool Texture::CheckSize(int width, int height) const {
  const int texture_width = NextPowerOfTwo(width);
  const int texture_height = NextPowerOfTwo(height);
  GLint max_size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
  if (texture_width == 0 || texture_height == 0 || texture_width > max_size ||
      texture_height > max_size) {
    DebugLog::Print(
        "Texture: a %dx%d picture needs a texture wider than the %d pixels OpenGL "
        "allows; it is not shown.\n",
        width, height, static_cast<int>(max_size));
    return false;
  }
  return true;
}

bool Texture::Upload(SDL_Surface* source) {
  if (source == nullptr) {
    DebugLog::Write("バインドしようとしているサーフェースが無効です\n");
    return false;
  }
  if (uploaded_) {
    DebugLog::Write("すでにテクスチャ化されています\n");
    return false;
  }
  if (!listed_) {  // uploaded again after Release: carried across mode changes again
    TextureManager::Add(this);
    listed_ = true;
  }
  if (!HasGlContext()) {
    DebugLog::Print(
        "Texture: a %dx%d picture was given before InitWindow opened the window; it "
        "is not shown.\n",
        source->w, source->h);
    Clear();
    return false;
  }
  if (!CheckSize(source->w, source->h)) {
    Clear();
    return false;
  }
  const int texture_width = NextPowerOfTwo(source->w);
  const int texture_height = NextPowerOfTwo(source->h);
  const int depth = source->format->BitsPerPixel;

  SurfacePtr staging = StagePicture(source, texture_width, texture_height);
  if (!staging) {
    Clear();
    return false;
  }
  const bool rgb = staging->format->BytesPerPixel == 3;
  const GLenum format = rgb ? GL_RGB : GL_RGBA;
  const GLuint name = MakeGlTexture(format, texture_width, texture_height, staging->pixels);
  if (name == 0) {
    Clear();
    return false;
  }
  // The copy made here goes with this scope, and one kept from before a
  // Recreate is stale: the driver holds the picture, and most pictures are
  // never drawn into (Staging reads one back on demand).
  name_ = name;
  staging_.reset();
  texture_width_ = static_cast<float>(texture_width);
  texture_height_ = static_cast<float>(texture_height);
  image_width_ = static_cast<float>(source->w);
  image_height_ = static_cast<float>(source->h);
  source_depth_ = depth;
  format_ = static_cast<std::int32_t>(format);
  left_ = top_ = 0;
  right_ = image_width_ / texture_width_;
  bottom_ = image_height_ / texture_height_;
  uploaded_ = true;
  return true;
}

bool Texture::Recreate(int width, int height) {
  if (name_ != 0 && HasGlContext() && glIsTexture(name_) == GL_TRUE) glDeleteTextures(1, &name_);
  name_ = 0;
  uploaded_ = false;
  // Checked before the blank picture is allocated: a script may ask for any size.
  if (width < 0 || height < 0) {
    DebugLog::Print("Texture: %dx%d is not a size; the texture is empty.\n", width, height);
    Clear();
    return false;
  }
  if (!HasGlContext()) {
    DebugLog::Print(
        "Texture: a %dx%d texture was asked for before InitWindow opened the window; it "
        "is empty.\n",
        width, height);
    Clear();
    return false;
  }
  if (!CheckSize(width, height)) {
    Clear();
    return false;
  }
  SurfacePtr blank = CreateRgbaSurface(width, height);
  if (!blank) {
    DebugLog::Print("Texture: no memory for a %dx%d picture: %s\n", width, height, SDL_GetError());
    Clear();
    return false;
  }
  return Upload(blank.get());
}

void Texture::UpdateRegion(SDL_Surface* surface, double x, double y) {
  if (surface == nullptr || surface->pixels == nullptr || !uploaded_ || name_ == 0) return;
  if (surface->format->BytesPerPixel != 4 || surface->pitch % 4 != 0) return;
  if (!HasGlContext()) return;
  const long long left = ToPixel(x);
  const long long top = ToPixel(y);
  // GL drops an update that does not fit, so keep only the part inside the texture.
  const long long x0 = std::max(left, 0LL);
  const long long y0 = std::max(top, 0LL);
  const long long x1 = std::min(left + surface->w, static_cast<long long>(texture_width_));
  const long long y1 = std::min(top + surface->h, static_cast<long long>(texture_height_));
  if (x1 <= x0 || y1 <= y0) return;

  const bool locked = SDL_MUSTLOCK(surface);
  if (locked && SDL_LockSurface(surface) != 0) return;
  glBindTexture(GL_TEXTURE_2D, name_);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, surface->pitch / 4);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, static_cast<GLint>(x0 - left));
  glPixelStorei(GL_UNPACK_SKIP_ROWS, static_cast<GLint>(y0 - top));
  glTexSubImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(x0), static_cast<GLint>(y0),
                  static_cast<GLsizei>(x1 - x0), static_cast<GLsizei>(y1 - y0), GL_RGBA,
                  GL_UNSIGNED_BYTE, surface->pixels);
  glPopClientAttrib();
  if (locked) SDL_UnlockSurface(surface);
}

SDL_Surface* Texture::Staging() {
  if (staging_ || !uploaded_ || name_ == 0 || !HasGlContext()) return staging_.get();
  // The copy is kept for as long as the texture is drawn into, so it holds
  // the picture only, not the power-of-two padding nothing ever shows (a
  // message window's page is half its texture or less).
  const bool rgb = format_ == GL_RGB;
  auto make = [rgb](int width, int height) {
    return rgb ? CreateRgbSurface(width, height) : CreateRgbaSurface(width, height);
  };
  const int width = static_cast<int>(image_width_);
  const int height = static_cast<int>(image_height_);
  const bool whole = width == static_cast<int>(texture_width_) &&
                     height == static_cast<int>(texture_height_);
  SurfacePtr copy = make(width, height);
  SurfacePtr whole_texture =
      whole ? nullptr
            : make(static_cast<int>(texture_width_), static_cast<int>(texture_height_));
  if (!copy || (!whole && !whole_texture)) {
    DebugLog::Print("Texture: no memory for a %dx%d staging copy: %s\n", width, height,
                    SDL_GetError());
    return nullptr;
  }
  glBindTexture(GL_TEXTURE_2D, name_);
  if (whole) {
    ReadBoundTexture(static_cast<GLenum>(format_), copy->pixels);
  } else {
    // glGetTexImage reads the whole level; the picture is its top-left corner.
    ReadBoundTexture(static_cast<GLenum>(format_), whole_texture->pixels);
    const std::size_t row_bytes = static_cast<std::size_t>(width) * copy->format->BytesPerPixel;
    for (int y = 0; y < height; ++y) {
      std::memcpy(static_cast<std::uint8_t*>(copy->pixels) + static_cast<std::ptrdiff_t>(y) * copy->pitch,
                  static_cast<const std::uint8_t*>(whole_texture->pixels) +
                      static_cast<std::ptrdiff_t>(y) * whole_texture->pitch,
                  row_bytes);
    }
  }
  staging_ = std::move(copy);
  return staging_.get();
}

void Texture::UploadStagingRect(int x, int y, int width, int height) {
  if (!staging_ || !uploaded_ || name_ == 0 || !HasGlContext()) return;
  const int x0 = std::max(x, 0);
  const int y0 = std::max(y, 0);
  const int x1 = std::min(x + std::max(width, 0), staging_->w);
  const int y1 = std::min(y + std::max(height, 0), staging_->h);
  if (x1 <= x0 || y1 <= y0) return;
  const int bytes_per_pixel = staging_->format->BytesPerPixel;
  glBindTexture(GL_TEXTURE_2D, name_);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, staging_->pitch / bytes_per_pixel);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, x0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, y0);
  glTexSubImage2D(GL_TEXTURE_2D, 0, x0, y0, x1 - x0, y1 - y0, static_cast<GLenum>(format_),
                  GL_UNSIGNED_BYTE, staging_->pixels);
  glPopClientAttrib();
}

int Texture::MaxSize() {
  if (!HasGlContext()) return 0;
  GLint max_size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
  return static_cast<int>(max_size);
}

void Texture::Release() {
  uploaded_ = false;
  if (name_ != 0 && HasGlContext() && glIsTexture(name_) == GL_TRUE) glDeleteTextures(1, &name_);
  name_ = 0;
  staging_.reset();
  saved_image_.reset();
  if (listed_) {
    TextureManager::Remove(this);
    listed_ = false;
  }
}

void Texture::SaveImage() {
  saved_image_.reset();
  if (!uploaded_ || name_ == 0 || !HasGlContext()) return;
  glBindTexture(GL_TEXTURE_2D, name_);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &saved_width_);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &saved_height_);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &saved_internal_format_);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_BORDER, &saved_border_);
  glGetIntegerv(GL_PACK_ALIGNMENT, &saved_pack_alignment_);
  // The read-back goes in the layout it was uploaded in, whatever sized format
  // the driver reports for it.
  if (format_ == GL_RGB) {
    saved_image_ = CreateRgbSurface(saved_width_, saved_height_);
  } else if (format_ == GL_RGBA) {
    saved_image_ = CreateRgbaSurface(saved_width_, saved_height_ + 10);  // ten spare rows
  }
  if (!saved_image_) {
    DebugLog::Print("Texture %u: no memory to save its %dx%d image; it will be empty.\n", name_,
                    saved_width_, saved_height_);
    return;
  }
  ReadBoundTexture(static_cast<GLenum>(format_), saved_image_->pixels);
}

void Texture::DeleteName() {
  if (name_ != 0 && HasGlContext() && glIsTexture(name_) == GL_TRUE) glDeleteTextures(1, &name_);
  name_ = 0;
}

void Texture::RestoreImage() {
  if (!saved_image_) {
    if (uploaded_) {
      DebugLog::Write("Texture: an image was lost across the video-mode change.\n");
      Clear();
    }
    return;
  }
  SurfacePtr saved = std::move(saved_image_);
  if (!HasGlContext()) {
    Clear();
    return;
  }
  name_ = MakeGlTexture(static_cast<GLenum>(format_), saved_width_, saved_height_, saved->pixels);
  if (name_ == 0) Clear();
}

}  // namespace tessel
