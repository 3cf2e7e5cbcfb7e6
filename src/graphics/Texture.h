#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/Surface.h"

namespace tessel {

// True while an OpenGL window exists; GL calls are made only then.
bool HasGlContext();

// The power of two at or above n (1 for n <= 1), or 0 when it would not fit in
// an int.
int NextPowerOfTwo(int n);

// The main-memory copy a picture is uploaded from, `width` x `height` with
// the picture in its top-left corner: RGB for a 24-bit picture without a
// colour key, RGBA for every other (palettes resolved, keyed pixels clear).
// Null, with the reason in the log, when it cannot be made.
SurfacePtr StagePicture(SDL_Surface* source, int width, int height);

// One OpenGL texture made from a picture of any size: the picture sits in the
// top-left corner of a power-of-two texture and right/bottom say how much of it
// the picture covers. Not copyable or movable: the TextureManager lists it by
// address from construction to Release.
//
// An empty texture (no picture, a failed decode, a failed upload, or one made
// before the window exists) has every field zero and draws nothing.
class Texture {
 public:
  Texture();
  // Uploads a copy of the picture; the caller keeps and frees its surface.
  explicit Texture(SDL_Surface* source);
  // A transparent-black picture of that size.
  Texture(int width, int height);
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;
  ~Texture();

  // False, after a log line, when nothing was uploaded (null source, already
  // uploaded, too large, out of memory, a GL error, no window).
  bool Upload(SDL_Surface* source);
  // Replaces the picture by a transparent-black one of that size.
  bool Recreate(int width, int height);
  // Copies a 32-bit surface's bytes, unchanged, into the texture with its
  // top-left corner at (x, y), clipped to the texture. Ignores a null or
  // non-32-bit surface and a texture never uploaded.
  void UpdateRegion(SDL_Surface* surface, double x, double y);
  // Frees the GL texture and the staging copy; the record leaves the manager.
  void Release();

  // The main-memory copy of the picture (bytes R, G, B(, A) per pixel),
  // for drawing into and then UploadStagingRect; null while nothing is
  // uploaded. Read back from the texture on first use and kept from then on:
  // a picture nobody draws into costs no copy.
  SDL_Surface* Staging();
  bool HasStagingCopy() const { return staging_ != nullptr; }
  // Sends that rectangle of the memory copy to the texture, clipped to it.
  void UploadStagingRect(int x, int y, int width, int height);
  // The largest texture side OpenGL takes; 0 without a window.
  static int MaxSize();

  // Around a change of video mode (see TextureManager).
  void SaveImage();
  void DeleteName();
  void RestoreImage();

  // How a loaded game makes this picture again: a kind with a reader
  // registered in TextureSaves.h and that reader's parameters. Pictures
  // without one come back empty.
  void SetSource(std::string kind, std::vector<std::uint8_t> parameters) {
    source_kind_ = std::move(kind);
    source_parameters_ = std::move(parameters);
  }
  const std::string& SourceKind() const { return source_kind_; }
  const std::vector<std::uint8_t>& SourceParameters() const { return source_parameters_; }

  unsigned int Name() const { return name_; }
  bool Uploaded() const { return uploaded_; }
  float ImageWidth() const { return image_width_; }
  float ImageHeight() const { return image_height_; }
  float TextureWidth() const { return texture_width_; }
  float TextureHeight() const { return texture_height_; }
  float Left() const { return left_; }
  float Right() const { return right_; }
  float Top() const { return top_; }
  float Bottom() const { return bottom_; }
  int SourceDepth() const { return source_depth_; }
  // GL_RGB or GL_RGBA once uploaded, else 0.
  int Format() const { return format_; }
  bool HasSavedImage() const { return saved_image_ != nullptr; }
  const SDL_Surface* SavedImage() const { return saved_image_.get(); }
  int SavedInternalFormat() const { return saved_internal_format_; }

 private:
  bool CheckSize(int width, int height) const;
  void Clear();

  std::int32_t saved_width_ = 0;
  std::int32_t saved_height_ = 0;
  std::int32_t saved_internal_format_ = 0;
  std::int32_t saved_border_ = 0;
  std::int32_t saved_pack_alignment_ = 0;
  unsigned int name_ = 0;
  SurfacePtr staging_;
  SurfacePtr saved_image_;
  float left_ = 0;
  float right_ = 0;
  float top_ = 0;
  float bottom_ = 0;
  float texture_width_ = 0;
  float texture_height_ = 0;
  float image_width_ = 0;
  float image_height_ = 0;
  std::int32_t source_depth_ = 0;
  std::int32_t format_ = 0;
  bool uploaded_ = false;
  bool listed_ = false;
  std::string source_kind_;
  std::vector<std::uint8_t> source_parameters_;
};

}  // namespace tessel
