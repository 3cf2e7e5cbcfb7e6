// GIF through giflib and TGA by the engine's own reader. Both give 8-bit
// palette surfaces where the file has a palette, with its transparent entry
// as the colour key.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "graphics/ImageCodecs.h"

namespace tessel::codecs {
namespace {

struct Reader {
  Bytes data;
  std::size_t at = 0;

  std::size_t Read(void* out, std::size_t size) {
    const std::size_t n = std::min(size, data.size() - at);
    if (n > 0) std::memcpy(out, data.data() + at, n);
    at += n;
    return n;
  }
};

SurfacePtr PaletteSurface(int width, int height) {
  return SurfacePtr(SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 8, 0, 0, 0, 0));
}

// ---- GIF ----

int ReadGifBytes(GifFileType* gif, GifByteType* out, int size) {
  return static_cast<int>(static_cast<Reader*>(gif->UserData)->Read(out, std::size_t(size)));
}

struct GifCloser {
  void operator()(GifFileType* gif) const noexcept {
    int ignored = 0;
    DGifCloseFile(gif, &ignored);
  }
};

std::string GifError(const GifFileType* gif, int code = 0) {
  const char* text = GifErrorString(gif != nullptr ? gif->Error : code);
  return std::string("GIF: ") + (text != nullptr ? text : "damaged file");
}

// Rows in the order the file stores them: four passes when interlaced.
void ReadGifRows(GifFileType* gif, SDL_Surface* surface, bool interlaced) {
  static constexpr int kStart[] = {0, 4, 2, 1};
  static constexpr int kStep[] = {8, 8, 4, 2};
  const int passes = interlaced ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    const int step = interlaced ? kStep[pass] : 1;
    for (int y = interlaced ? kStart[pass] : 0; y < surface->h; y += step) {
      auto* row = static_cast<GifPixelType*>(surface->pixels) + y * surface->pitch;
      // A stream that ends early keeps the rows decoded so far.
      if (DGifGetLine(gif, row, surface->w) == GIF_ERROR) return;
    }
  }
}

SurfacePtr ReadGifImage(GifFileType* gif, Bytes data, int transparent, std::string& error) {
  if (DGifGetImageDesc(gif) == GIF_ERROR) {
    error = GifError(gif);
    return nullptr;
  }
  const GifImageDesc& image = gif->Image;
  if (std::string problem = CheckImageSize(image.Width, image.Height); !problem.empty()) {
    error = "GIF: " + problem;
    return nullptr;
  }
  SurfacePtr surface = PaletteSurface(image.Width, image.Height);
  if (!surface) {
    error = "GIF: no memory for the picture";
    return nullptr;
  }
  // Without any colour table the screen's table size still counts, all black.
  const ColorMapObject* map = image.ColorMap != nullptr ? image.ColorMap : gif->SColorMap;
  const int count = map != nullptr ? map->ColorCount : 2 << (data[10] & 7);
  SDL_Color* colours = surface->format->palette->colors;
  for (int i = 0; i < count && i < 256; ++i) {
    const GifColorType c = map != nullptr ? map->Colors[i] : GifColorType{0, 0, 0};
    colours[i].r = c.Red;
    colours[i].g = c.Green;
    colours[i].b = c.Blue;
  }
  ReadGifRows(gif, surface.get(), image.Interlace);
  if (transparent >= 0) SDL_SetColorKey(surface.get(), SDL_SRCCOLORKEY, Uint32(transparent));
  return surface;
}

// ---- TGA ----

struct TgaLayout {
  int bytes = 0;  // per pixel
  Uint32 r = 0, g = 0, b = 0, a = 0;
};

bool TgaLayoutOf(int bits, TgaLayout& layout) {
  switch (bits) {
    case 8:
      layout = {1};
      return true;
    case 15:
    case 16:  // five bits a channel; the sixteenth bit is not alpha here
      layout = {2, 0x7C00, 0x03E0, 0x001F, 0};
      return true;
    case 24:
    case 32:
      layout = {bits / 8, 0x00FF0000, 0x0000FF00, 0x000000FF, bits == 32 ? 0xFF000000 : 0};
      return true;
    default:
      return false;
  }
}

void ReadTgaPalette(Reader& in, SDL_Surface* surface, int count, int bits) {
  SDL_Palette* palette = surface->format->palette;
  palette->ncolors = count;
  int key = -1;
  for (int i = 0; i < count; ++i) {
    std::uint8_t p[4] = {};
    if (bits == 15 || bits == 16) {
      in.Read(p, 2);
      const unsigned c = p[0] | p[1] << 8;
      palette->colors[i].r = static_cast<Uint8>((c >> 7) & 0xF8);
      palette->colors[i].g = static_cast<Uint8>((c >> 2) & 0xF8);
      palette->colors[i].b = static_cast<Uint8>(c << 3);
    } else {
      in.Read(p, static_cast<std::size_t>(bits / 8));
      palette->colors[i].r = p[2];
      palette->colors[i].g = p[1];
      palette->colors[i].b = p[0];
      if (bits == 32 && p[3] < 128) key = i;  // a mostly transparent entry
    }
  }
  if (key >= 0) SDL_SetColorKey(surface, SDL_SRCCOLORKEY, Uint32(key));
}

// Run-length packets may run on from one row into the next.
void ReadTgaRows(Reader& in, SDL_Surface* surface, int bytes, bool rle, bool top_first) {
  const int width = surface->w;
  int literal = 0, repeat = 0;
  std::uint8_t pixel[4] = {};
  for (int i = 0; i < surface->h; ++i) {
    const int y = top_first ? i : surface->h - 1 - i;
    auto* row = static_cast<std::uint8_t*>(surface->pixels) + std::size_t(y) * surface->pitch;
    if (!rle) {
      in.Read(row, std::size_t(width) * bytes);
      continue;
    }
    for (int x = 0; x < width;) {
      if (literal > 0 || repeat > 0) {
        const int n = std::min(literal > 0 ? literal : repeat, width - x);
        if (literal > 0) {
          in.Read(row + x * bytes, std::size_t(n) * bytes);
          literal -= n;
        } else {
          for (int k = 0; k < n; ++k) std::memcpy(row + (x + k) * bytes, pixel, bytes);
          repeat -= n;
        }
        x += n;
        continue;
      }
      std::uint8_t packet = 0;
      if (in.Read(&packet, 1) == 0) return;  // cut short: the rest stays clear
      if ((packet & 0x80) != 0) {
        in.Read(pixel, std::size_t(bytes));
        repeat = (packet & 0x7F) + 1;
      } else {
        literal = packet + 1;
      }
    }
  }
}

}  // namespace

SurfacePtr DecodeGif(Bytes data, std::string& error) {
  Reader reader{data};
  int code = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&reader, ReadGifBytes, &code));
  if (!gif) {
    error = GifError(nullptr, code);
    return nullptr;
  }
  int transparent = -1;
  for (;;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR) break;
    if (record == IMAGE_DESC_RECORD_TYPE) return ReadGifImage(gif.get(), data, transparent, error);
    if (record == TERMINATE_RECORD_TYPE) {
      error = "GIF: it holds no image";
      return nullptr;
    }
    if (record != EXTENSION_RECORD_TYPE) continue;
    int label = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif.get(), &label, &block) == GIF_ERROR) break;
    if (label == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4 && (block[1] & 1)) {
      transparent = block[4];
    }
    while (block != nullptr) {
      if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) {
        error = GifError(gif.get());
        return nullptr;
      }
    }
  }
  error = GifError(gif.get());
  return nullptr;
}

SurfacePtr DecodeTga(Bytes data, std::string& error) {
  Reader in{data};
  std::uint8_t h[18] = {};
  in.Read(h, sizeof h);
  const int type = h[2], map_length = h[5] | h[6] << 8, map_bits = h[7];
  const int width = h[12] | h[13] << 8, height = h[14] | h[15] << 8;
  const bool indexed = type == 1 || type == 9, grey = type == 3 || type == 11;
  TgaLayout layout;
  if (!TgaLayoutOf(h[16], layout) || (layout.bytes == 1 && !indexed && !grey)) {
    error = "TGA: unsupported pixel depth";
    return nullptr;
  }
  SurfacePtr surface(SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, layout.bytes * 8,
                                          layout.r, layout.g, layout.b, layout.a));
  if (!surface) {
    error = "TGA: no memory for the picture";
    return nullptr;
  }
  in.at = std::min(data.size(), in.at + h[0]);  // the image id
  if (h[1] != 0) {
    if (indexed) {
      ReadTgaPalette(in, surface.get(), map_length, map_bits);
    } else {
      in.at = std::min(data.size(), in.at + std::size_t(map_length) * ((map_bits + 7) / 8));
    }
  }
  if (grey) {
    SDL_Palette* palette = surface->format->palette;
    for (int i = 0; i < 256; ++i) {
      palette->colors[i].r = palette->colors[i].g = palette->colors[i].b = Uint8(i);
    }
    palette->ncolors = 256;
  }
  ReadTgaRows(in, surface.get(), layout.bytes, type >= 9, (h[17] & 0x20) != 0);
  return surface;
}

}  // namespace tessel::codecs
