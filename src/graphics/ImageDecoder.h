#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "graphics/Surface.h"

namespace tessel {

// Decodes a picture held in memory. The format is told from the bytes and
// its header checked against the limits of ImageHeader.h before anything is
// allocated for it; only BMP, GIF, JPEG, LBM, PCX, PNG, PNM, TGA and XPM are
// decoded. The surface keeps the depth and format of the file. Null, with a
// one-line reason in `error`, for anything else.
SurfacePtr DecodeImage(std::span<const std::uint8_t> data, std::string& error);

}  // namespace tessel
