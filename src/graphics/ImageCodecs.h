#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "graphics/ImageHeader.h"
#include "graphics/Surface.h"

// The decoders behind DecodeImage, one a format family. Each is handed
// bytes whose header ReadImageHeader accepted, and builds the surface the
// engine has always had for that file: the same depth, masks, palette and
// colour key, so pictures look as they did.
namespace tessel::codecs {

using Bytes = std::span<const std::uint8_t>;

// libpng and libjpeg, with their own limits set as tight as ours.
SurfacePtr DecodePng(Bytes data, std::string& error);
SurfacePtr DecodeJpeg(Bytes data, std::string& error);
// giflib, first image only; a stream that ends early keeps what was decoded.
SurfacePtr DecodeGif(Bytes data, std::string& error);
// The engine's own readers; a file that ends early keeps what was read.
SurfacePtr DecodeTga(Bytes data, std::string& error);
SurfacePtr DecodePcx(Bytes data, std::string& error);

}  // namespace tessel::codecs
