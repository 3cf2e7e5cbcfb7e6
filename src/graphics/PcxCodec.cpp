// PCX by the engine's own reader: 1-bit planes (up to 16 colours from the
// header's palette) and 8-bit paletted give 8-bit palette surfaces, three
// 8-bit planes give 24-bit RGB. Data the file lacks reads as zero.
#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/ImageCodecs.h"

namespace tessel::codecs {
namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kPaletteSize = 768;
constexpr std::uint8_t kPaletteMarker = 12;

struct PcxHeader {
  bool rle = false;
  int bits = 0, planes = 0, line = 0, width = 0, height = 0;
};

int Signed16(Bytes d, std::size_t at) {
  const int value = d[at] | d[at + 1] << 8;
  return value >= 0x8000 ? value - 0x10000 : value;
}

// The bytes of one scan line (every plane's line, one after another). A
// run never carries over into the next scan line.
void ReadScanLine(Bytes data, std::size_t& at, bool rle, std::vector<std::uint8_t>& out) {
  std::fill(out.begin(), out.end(), 0);
  if (!rle) {
    const std::size_t n = std::min(out.size(), data.size() - at);
    std::copy_n(data.begin() + at, n, out.begin());
    at += n;
    return;
  }
  for (std::size_t i = 0; i < out.size() && at < data.size();) {
    std::uint8_t value = data[at++];
    std::size_t count = 1;
    if ((value & 0xC0) == 0xC0) {
      count = value & 0x3F;
      value = at < data.size() ? data[at++] : 0;
    }
    for (; count > 0 && i < out.size(); --count) out[i++] = value;
  }
}

// Pixel x of a 1-bit layout takes bit `plane` of its index from each plane.
void PutBitPlanes(const PcxHeader& h, const std::vector<std::uint8_t>& line, std::uint8_t* row) {
  for (int plane = 0; plane < h.planes; ++plane) {
    const std::uint8_t* bits = line.data() + std::size_t(plane) * h.line;
    for (int x = 0; x < h.width; ++x) {
      row[x] |= static_cast<std::uint8_t>(((bits[x / 8] >> (7 - x % 8)) & 1) << plane);
    }
  }
}

void PutScanLine(const PcxHeader& h, const std::vector<std::uint8_t>& line, std::uint8_t* row) {
  if (h.bits == 1) {
    PutBitPlanes(h, line, row);
  } else if (h.planes == 1) {
    std::copy_n(line.begin(), h.width, row);
  } else {
    for (int plane = 0; plane < h.planes; ++plane) {
      for (int x = 0; x < h.width; ++x) row[x * h.planes + plane] = line[plane * h.line + x];
    }
  }
}

// Opacity stays as the surface was made.
void SetColour(SDL_Color& colour, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  colour.r = r;
  colour.g = g;
  colour.b = b;
}

// The 256-colour palette follows its marker at the end of the file; files
// with bytes after it have it wherever the marker follows the pixels.
void ReadTrailingPalette(Bytes data, std::size_t pixels_end, SDL_Palette* palette) {
  std::size_t at = data.size();
  if (data.size() >= kHeaderSize + kPaletteSize + 1 &&
      data[data.size() - kPaletteSize - 1] == kPaletteMarker) {
    at = data.size() - kPaletteSize;
  } else {
    const auto marker = std::find(data.begin() + pixels_end, data.end(), kPaletteMarker);
    if (marker != data.end()) at = std::size_t(marker - data.begin()) + 1;
  }
  const auto byte = [&](std::size_t k) { return k < data.size() ? data[k] : std::uint8_t{0}; };
  for (int i = 0; i < 256; ++i, at += 3) SetColour(palette->colors[i], byte(at), byte(at + 1), byte(at + 2));
  palette->ncolors = 256;
}

void ReadHeaderPalette(Bytes data, const PcxHeader& h, SDL_Palette* palette) {
  palette->ncolors = 1 << h.planes;
  for (int i = 0; i < palette->ncolors; ++i) {
    const std::uint8_t* c = data.data() + 16 + 3 * i;
    SetColour(palette->colors[i], c[0], c[1], c[2]);
  }
}

}  // namespace

SurfacePtr DecodePcx(Bytes data, std::string& error) {
  if (data.size() < kHeaderSize) {
    error = "PCX: the file is cut short";
    return nullptr;
  }
  PcxHeader h{data[2] == 1, data[3], data[65], Signed16(data, 66),
              Signed16(data, 8) - Signed16(data, 4) + 1, Signed16(data, 10) - Signed16(data, 6) + 1};
  const bool paletted = h.bits == 1 || h.planes == 1;
  if (!((h.bits == 1 && h.planes >= 1 && h.planes <= 4) ||
        (h.bits == 8 && (h.planes == 1 || h.planes == 3))) ||
      h.line < (h.width * h.bits + 7) / 8) {
    error = "PCX: unsupported pixel layout";
    return nullptr;
  }
  if (std::string problem = CheckImageSize(h.width, h.height); !problem.empty()) {
    error = "PCX: " + problem;
    return nullptr;
  }
  // Byte order R, G, B, whatever the machine.
  const bool little = SDL_BYTEORDER == SDL_LIL_ENDIAN;
  SurfacePtr surface(paletted ? SDL_CreateRGBSurface(SDL_SWSURFACE, h.width, h.height, 8, 0, 0, 0, 0)
                              : SDL_CreateRGBSurface(SDL_SWSURFACE, h.width, h.height, 24,
                                                     little ? 0x0000FF : 0xFF0000, 0x00FF00,
                                                     little ? 0xFF0000 : 0x0000FF, 0));
  if (!surface) {
    error = "PCX: no memory for the picture";
    return nullptr;
  }
  std::vector<std::uint8_t> line(std::size_t(h.line) * h.planes);
  std::size_t at = kHeaderSize;
  auto* pixels = static_cast<std::uint8_t*>(surface->pixels);
  for (int y = 0; y < h.height; ++y) {
    ReadScanLine(data, at, h.rle, line);
    PutScanLine(h, line, pixels + std::size_t(y) * surface->pitch);
  }
  if (h.bits == 1) ReadHeaderPalette(data, h, surface->format->palette);
  if (h.bits == 8 && h.planes == 1) ReadTrailingPalette(data, at, surface->format->palette);
  return surface;
}

}  // namespace tessel::codecs
