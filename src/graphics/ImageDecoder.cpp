#include "graphics/ImageDecoder.h"

#include <SDL_image.h>

#include <memory>

#include "graphics/ImageCodecs.h"
#include "graphics/ImageHeader.h"

namespace tessel {
namespace {

struct RwCloser {
  void operator()(SDL_RWops* stream) const noexcept { SDL_RWclose(stream); }
};

// Formats no better packaged decoder covers go to the media layer's own BMP
// reader or to the image library's reader for that one format, never to its
// guessing loader, and only once their header has passed the checks.
SurfacePtr DecodeWithLibrary(ImageFormat format, std::span<const std::uint8_t> data,
                             std::string& error) {
  std::unique_ptr<SDL_RWops, RwCloser> stream(
      SDL_RWFromConstMem(data.data(), static_cast<int>(data.size())));
  if (!stream) {
    error = SDL_GetError();
    return nullptr;
  }
  SDL_Surface* surface = nullptr;
  switch (format) {
    case ImageFormat::kBmp:
      surface = SDL_LoadBMP_RW(stream.get(), 0);
      break;
    case ImageFormat::kLbm:
      surface = IMG_LoadLBM_RW(stream.get());
      break;
    case ImageFormat::kPnm:
      surface = IMG_LoadPNM_RW(stream.get());
      break;
    case ImageFormat::kXpm:
      surface = IMG_LoadXPM_RW(stream.get());
      break;
    default:
      break;
  }
  if (surface == nullptr) {
    error = std::string(ImageFormatName(format)) + ": " + SDL_GetError();
  }
  return SurfacePtr(surface);
}

}  // namespace

SurfacePtr DecodeImage(std::span<const std::uint8_t> data, std::string& error) {
  const ImageHeader header = ReadImageHeader(data);
  switch (header.format) {
    case ImageFormat::kNone:
      error = header.refusal;
      return nullptr;
    case ImageFormat::kPng:
      return codecs::DecodePng(data, error);
    case ImageFormat::kJpeg:
      return codecs::DecodeJpeg(data, error);
    case ImageFormat::kGif:
      return codecs::DecodeGif(data, error);
    case ImageFormat::kTga:
      return codecs::DecodeTga(data, error);
    case ImageFormat::kPcx:
      return codecs::DecodePcx(data, error);
    default:
      return DecodeWithLibrary(header.format, data, error);
  }
}

}  // namespace tessel
