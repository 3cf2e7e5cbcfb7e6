// PNG and JPEG through libpng and libjpeg. Both report errors by longjmp, so
// the functions that set the jump point hold no C++ object with a destructor:
// every resource lives in a plain state struct that the caller cleans up.
// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "graphics/ImageCodecs.h"

namespace tessel::codecs {
namespace {

bool FitsLimits(std::uint64_t width, std::uint64_t height) {
  return CheckImageSize(static_cast<std::int64_t>(width), static_cast<std::int64_t>(height))
      .empty();
}

SDL_Surface* MakeSurface(int width, int height, int depth, Uint32 r, Uint32 g, Uint32 b,
                         Uint32 a) {
  return SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, depth, r, g, b, a);
}

// ---- PNG ----

struct PngState {
  Bytes data;
  std::size_t read = 0;
  png_structp png = nullptr;
  png_infop info = nullptr;
  SDL_Surface* surface = nullptr;
  png_bytep* rows = nullptr;
  char message[160] = {};
};

[[noreturn]] void PngFail(png_structp png, png_const_charp message) {
  auto* state = static_cast<PngState*>(png_get_error_ptr(png));
  std::snprintf(state->message, sizeof state->message, "PNG: %s", message);
  png_longjmp(png, 1);
}

void PngIgnore(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep out, png_size_t size) {
  auto* state = static_cast<PngState*>(png_get_io_ptr(png));
  if (size > state->data.size() - state->read) png_error(png, "the file is cut short");
  std::memcpy(out, state->data.data() + state->read, size);
  state->read += size;
}

// The tRNS chunk as a colour key: the palette index of the single fully
// transparent entry (a palette with partial alpha is expanded instead, -1),
// or 0 for a key colour (left in `key_colour`, mapped once the surface
// exists); -1 without one.
int ColourKey(PngState& s, int type, png_color_16p& key_colour) {
  if (!png_get_valid(s.png, s.info, PNG_INFO_tRNS)) return -1;
  png_bytep alphas = nullptr;
  int count = 0;
  png_get_tRNS(s.png, s.info, &alphas, &count, &key_colour);
  if (type != PNG_COLOR_TYPE_PALETTE) return 0;
  int j = 0, clear = -1;
  for (; j < count; ++j) {
    if (alphas[j] == 0 && clear < 0) {
      clear = j;
    } else if (alphas[j] != 255) {
      break;
    }
  }
  if (j == count) return clear;
  png_set_expand(s.png);
  return -1;
}

// The colours of a paletted surface: a grey ramp for grey pictures, else the
// file's palette.
void CopyPalette(PngState& s, int type) {
  SDL_Palette* colours = s.surface->format->palette;
  if (colours == nullptr) return;
  if (type == PNG_COLOR_TYPE_GRAY) {
    colours->ncolors = 256;
    for (int i = 0; i < 256; ++i) {
      colours->colors[i].r = colours->colors[i].g = colours->colors[i].b = Uint8(i);
    }
    return;
  }
  png_colorp entries = nullptr;
  int count = 0;
  png_get_PLTE(s.png, s.info, &entries, &count);
  if (count <= 0) return;
  colours->ncolors = count;
  for (int i = 0; i < count; ++i) {
    colours->colors[i].r = entries[i].red;
    colours->colors[i].g = entries[i].green;
    colours->colors[i].b = entries[i].blue;
  }
}

// Keeps the transformations the engine has always asked of libpng: 8 bits a
// sample, interlacing undone, one byte a pixel for small depths, a single
// fully transparent palette entry or tRNS colour as a colour key.
void ReadPng(PngState& s) {
  if (setjmp(png_jmpbuf(s.png))) return;
  png_set_user_limits(s.png, kMaxImageSide, kMaxImageSide);
  png_set_read_fn(s.png, &s, PngRead);
  png_read_info(s.png, s.info);
  png_uint_32 width, height;
  int depth, type;
  png_get_IHDR(s.png, s.info, &width, &height, &depth, &type, nullptr, nullptr, nullptr);
  if (!FitsLimits(width, height)) png_error(s.png, "the picture is too large");
  png_set_strip_16(s.png);
  png_set_interlace_handling(s.png);
  png_set_packing(s.png);
  if (type == PNG_COLOR_TYPE_GRAY) png_set_expand(s.png);
  png_color_16p key_colour = nullptr;
  int key = ColourKey(s, type, key_colour);
  if (type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(s.png);
  png_read_update_info(s.png, s.info);
  png_get_IHDR(s.png, s.info, &width, &height, &depth, &type, nullptr, nullptr, nullptr);
  const int channels = png_get_channels(s.png, s.info);
  const bool palette = type == PNG_COLOR_TYPE_PALETTE;
  s.surface = MakeSurface(static_cast<int>(width), static_cast<int>(height), depth * channels,
                          palette ? 0 : 0x000000FF, palette ? 0 : 0x0000FF00,
                          palette ? 0 : 0x00FF0000, channels == 4 ? 0xFF000000 : 0);
  if (s.surface == nullptr) png_error(s.png, "no memory for the picture");
  if (key != -1) {
    if (!palette) {
      key = static_cast<int>(SDL_MapRGB(s.surface->format, static_cast<Uint8>(key_colour->red),
                                        static_cast<Uint8>(key_colour->green),
                                        static_cast<Uint8>(key_colour->blue)));
    }
    SDL_SetColorKey(s.surface, SDL_SRCCOLORKEY, static_cast<Uint32>(key));
  }
  s.rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
  if (s.rows == nullptr) png_error(s.png, "no memory for the picture");
  for (png_uint_32 y = 0; y < height; ++y) {
    s.rows[y] = static_cast<png_bytep>(s.surface->pixels) + y * s.surface->pitch;
  }
  png_read_image(s.png, s.rows);
  CopyPalette(s, type);
}

// ---- JPEG ----

// Progressive files redo the whole picture once per scan; real ones have
// about ten, so more than this is a file made to stall the decoder.
constexpr int kMaxJpegScans = 100;
constexpr long kMaxJpegMemory = 512L << 20;

struct JpegState {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  jpeg_progress_mgr progress{};
  std::jmp_buf escape{};
  bool created = false;
  SDL_Surface* surface = nullptr;
  char message[JMSG_LENGTH_MAX + 8] = {};
};

JpegState& StateOf(j_common_ptr info) { return *static_cast<JpegState*>(info->client_data); }

[[noreturn]] void JpegEscape(JpegState& state, const char* message) {
  std::snprintf(state.message, sizeof state.message, "JPEG: %s", message);
  std::longjmp(state.escape, 1);
}

[[noreturn]] void JpegFail(j_common_ptr info) {
  char message[JMSG_LENGTH_MAX];
  (*info->err->format_message)(info, message);
  JpegEscape(StateOf(info), message);
}

void JpegQuiet(j_common_ptr) {}

void JpegProgress(j_common_ptr info) {
  auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
  if (decompress->input_scan_number > kMaxJpegScans) {
    JpegEscape(StateOf(info), "too many progressive scans");
  }
}

void ReadJpeg(JpegState& s, Bytes data) {
  s.info.err = jpeg_std_error(&s.errors);
  s.errors.error_exit = JpegFail;
  s.errors.output_message = JpegQuiet;
  s.info.client_data = &s;  // kept by jpeg_create_decompress
  if (setjmp(s.escape)) return;
  jpeg_create_decompress(&s.info);
  s.created = true;
  s.info.mem->max_memory_to_use = kMaxJpegMemory;
  s.progress.progress_monitor = JpegProgress;
  s.info.progress = &s.progress;
  // At the end of the data the source reads an end-of-image marker, so a
  // file cut short shows what it holds, as it always has.
  jpeg_mem_src(&s.info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&s.info, TRUE);
  if (!FitsLimits(s.info.image_width, s.info.image_height)) {
    JpegEscape(s, "the picture is too large");
  }
  const bool four = s.info.num_components == 4;
  s.info.out_color_space = four ? JCS_CMYK : JCS_RGB;
  s.info.quantize_colors = FALSE;
  jpeg_calc_output_dimensions(&s.info);
  const int width = static_cast<int>(s.info.output_width);
  const int height = static_cast<int>(s.info.output_height);
  s.surface = four ? MakeSurface(width, height, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
                   : MakeSurface(width, height, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
  if (s.surface == nullptr) JpegEscape(s, "no memory for the picture");
  jpeg_start_decompress(&s.info);
  while (s.info.output_scanline < s.info.output_height) {
    JSAMPROW row =
        static_cast<JSAMPROW>(s.surface->pixels) + s.info.output_scanline * s.surface->pitch;
    jpeg_read_scanlines(&s.info, &row, 1);
  }
  jpeg_finish_decompress(&s.info);
}

}  // namespace

SurfacePtr DecodePng(Bytes data, std::string& error) {
  PngState state;
  state.data = data;
  state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, PngFail, PngIgnore);
  if (state.png != nullptr) state.info = png_create_info_struct(state.png);
  const bool ready = state.info != nullptr;
  if (ready) ReadPng(state);
  if (state.png != nullptr) {
    png_destroy_read_struct(&state.png, state.info != nullptr ? &state.info : nullptr, nullptr);
  }
  std::free(state.rows);
  SurfacePtr surface(state.surface);
  if (state.message[0] != '\0' || !ready) {
    error = state.message[0] != '\0' ? state.message : "PNG: no memory for the decoder";
    return nullptr;
  }
  return surface;
}

SurfacePtr DecodeJpeg(Bytes data, std::string& error) {
  auto state = std::make_unique<JpegState>();
  ReadJpeg(*state, data);
  if (state->created) jpeg_destroy_decompress(&state->info);
  SurfacePtr surface(state->surface);
  if (state->message[0] != '\0') {
    error = state->message;
    return nullptr;
  }
  return surface;
}

}  // namespace tessel::codecs
