#include "graphics/PictureVariants.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include <algorithm>
#include <cstdint>
#include <utility>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

namespace tessel::test {

// Pairs of equal neighbours give run-length coders work.
std::uint8_t Sample(int x, int y, int c) {
  return static_cast<std::uint8_t>((x / 2) * 37 + y * 91 + c * 53 + 17);
}

namespace {

constexpr int kW = 13;  // odd, so rows need padding in every format
constexpr int kH = 7;

std::uint8_t S(int x, int y, int c) { return Sample(x, y, c); }

void Put(std::string& out, std::uint32_t value, int bytes, bool big_endian = false) {
  for (int i = 0; i < bytes; ++i) {
    const int shift = 8 * (big_endian ? bytes - 1 - i : i);
    out += static_cast<char>((value >> shift) & 0xFF);
  }
}

// ---- PNG, through libpng ----

void AppendTo(png_structp png, png_bytep data, png_size_t size) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), size);
}

std::string Png(int type, int depth, bool interlace, int transparency = 0) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, AppendTo, nullptr);
  png_set_IHDR(png, info, kW, kH, depth, type,
               interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, 0, 0);
  const int channels = type == 0 || type == 3 ? 1 : type == 4 ? 2 : type == 2 ? 3 : 4;
  const int top = (1 << std::min(depth, 8)) - 1;
  png_color palette[256];
  for (int i = 0; i < 256; ++i) palette[i] = {S(i, 0, 0), S(i, 1, 1), S(i, 2, 2)};
  if (type == 3) png_set_PLTE(png, info, palette, top + 1);
  png_byte alphas[256];
  for (int i = 0; i < 256; ++i) alphas[i] = i == 1 ? 0 : transparency == 2 ? S(i, 3, 3) : 255;
  png_color_16 key{0, S(1, 0, 0), S(1, 0, 1), S(1, 0, 2), S(1, 0, 0)};
  if (transparency != 0) png_set_tRNS(png, info, alphas, type == 3 ? top + 1 : 0, &key);
  png_write_info(png, info);
  std::vector<std::string> rows(kH);
  std::vector<png_bytep> pointers;
  for (int y = 0; y < kH; ++y) {
    std::uint32_t bits = 0;
    int count = 0;
    for (int x = 0; x < kW; ++x) {
      for (int c = 0; c < channels; ++c) {
        if (depth == 16) {
          Put(rows[y], S(x, y, c) << 8 | S(x, y, c + 5), 2, true);
        } else if (depth == 8) {
          rows[y] += static_cast<char>(S(x, y, c));
        } else {
          bits = bits << depth | (S(x, y, c) & top);
          if ((count += depth) == 8) rows[y] += static_cast<char>(bits), bits = 0, count = 0;
        }
      }
    }
    if (count > 0) rows[y] += static_cast<char>(bits << (8 - count));
    pointers.push_back(reinterpret_cast<png_bytep>(rows[y].data()));
  }
  png_write_image(png, pointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// ---- JPEG, through libjpeg ----

std::string Jpeg(int components, bool progressive) {
  jpeg_compress_struct c{};
  jpeg_error_mgr errors{};
  c.err = jpeg_std_error(&errors);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = kW;
  c.image_height = kH;
  c.input_components = components;
  c.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 85, TRUE);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  std::string row;
  while (c.next_scanline < c.image_height) {
    row.clear();
    for (int x = 0; x < kW; ++x) {
      for (int k = 0; k < components; ++k) row += static_cast<char>(S(x, int(c.next_scanline), k));
    }
    JSAMPROW pointer = reinterpret_cast<JSAMPROW>(row.data());
    jpeg_write_scanlines(&c, &pointer, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::string out(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  return out;
}

// ---- GIF, through giflib ----

int AppendGif(GifFileType* gif, const GifByteType* data, int size) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), size);
  return size;
}

std::string Gif(bool interlace, bool local_map, int transparent) {
  std::string out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, AppendGif, &error);
  GifColorType colours[16];
  for (int i = 0; i < 16; ++i) colours[i] = {S(i, 0, 0), S(i, 1, 1), S(i, 2, 2)};
  ColorMapObject* map = GifMakeMapObject(16, colours);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, kW, kH, 4, 0, local_map ? nullptr : map);
  if (transparent >= 0) {
    const GifByteType control[4] = {1, 0, 0, static_cast<GifByteType>(transparent)};
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
  }
  EGifPutImageDesc(gif, 0, 0, kW, kH, interlace, local_map ? map : nullptr);
  static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < (interlace ? 4 : 1); ++pass) {
    for (int y = interlace ? kStart[pass] : 0; y < kH; y += interlace ? kStep[pass] : 1) {
      GifPixelType row[kW];
      for (int x = 0; x < kW; ++x) row[x] = S(x, y, 0) & 15;
      EGifPutLine(gif, row, kW);
    }
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

// ---- formats written by hand ----

std::string Bmp(int bits, bool top_down) {
  const int stride = (kW * bits + 31) / 32 * 4;
  const int colours = bits <= 8 ? 1 << bits : 0;
  std::string pixels;
  for (int i = 0; i < kH; ++i) {
    const int y = top_down ? i : kH - 1 - i;
    std::string row;
    std::uint32_t packed = 0;
    int count = 0;
    for (int x = 0; x < kW; ++x) {
      if (bits <= 8) {
        packed = packed << bits | (S(x, y, 0) & (colours - 1));
        if ((count += bits) == 8) row += static_cast<char>(packed), packed = 0, count = 0;
      } else if (bits == 16) {
        Put(row, (S(x, y, 0) >> 3) << 10 | (S(x, y, 1) >> 3) << 5 | S(x, y, 2) >> 3, 2);
      } else {
        for (int c = bits / 8 - 1; c >= 0; --c) row += static_cast<char>(S(x, y, c == 3 ? 3 : 2 - c));
      }
    }
    if (count > 0) row += static_cast<char>(packed << (8 - count));
    row.resize(std::size_t(stride), '\0');
    pixels += row;
  }
  std::string palette;
  for (int i = 0; i < colours; ++i) Put(palette, S(i, 4, 2) | S(i, 5, 1) << 8 | S(i, 6, 0) << 16, 4);
  const int offset = 14 + 40 + static_cast<int>(palette.size());
  std::string out = "BM";
  Put(out, offset + static_cast<std::uint32_t>(pixels.size()), 4);
  Put(out, 0, 4);
  Put(out, offset, 4);
  for (std::uint32_t v : {40u, std::uint32_t(kW), std::uint32_t(top_down ? -kH : kH)}) Put(out, v, 4);
  Put(out, 1, 2);
  Put(out, bits, 2);
  for (std::uint32_t v : {0u, std::uint32_t(pixels.size()), 2835u, 2835u, std::uint32_t(colours), 0u}) {
    Put(out, v, 4);
  }
  return out + palette + pixels;
}

// Types 1/9 (palette of 32-bit entries, some mostly clear), 2/10 (colour),
// 3/11 (grey); 9 and up are run-length packed.
std::string Tga(int type, int bits, bool top_first) {
  const bool indexed = type % 8 == 1;
  std::string out;
  for (int v : {0, indexed ? 1 : 0, type}) out += static_cast<char>(v);
  Put(out, 0, 2);
  Put(out, indexed ? 256 : 0, 2);
  out += static_cast<char>(indexed ? 32 : 0);
  Put(out, 0, 4);
  Put(out, kW, 2);
  Put(out, kH, 2);
  out += static_cast<char>(bits);
  out += static_cast<char>((top_first ? 0x20 : 0) | (bits == 32 ? 8 : 0));
  for (int i = 0; indexed && i < 256; ++i) Put(out, S(i, 0, 0) | S(i, 1, 1) << 8 | S(i, 2, 2) << 16 | S(i, 3, 3) << 24, 4);
  const int bytes = (bits + 7) / 8;
  for (int i = 0; i < kH; ++i) {
    const int y = top_first ? i : kH - 1 - i;
    for (int x = 0; x < kW;) {
      const int run = type >= 9 && x + 1 < kW && S(x, y, 0) == S(x + 1, y, 0) ? 2 : 1;
      if (type >= 9) out += static_cast<char>(run == 2 ? 0x81 : 0);
      for (int c = 0; c < bytes; ++c) out += static_cast<char>(S(x, y, c));
      x += run;
    }
  }
  return out;
}

std::string Pnm(int kind) {
  const bool ascii = kind <= 3, bitmap = kind % 3 == 1;
  const int samples = kind % 3 == 0 ? 3 : 1;
  std::string out = "P" + std::to_string(kind) + "\n# made by the tests\n" + std::to_string(kW) +
                    " " + std::to_string(kH) + (bitmap ? "\n" : "\n255\n");
  for (int y = 0; y < kH; ++y) {
    std::uint32_t packed = 0;
    for (int x = 0; x < kW; ++x) {
      for (int c = 0; c < samples; ++c) {
        const int v = bitmap ? S(x, y, c) & 1 : S(x, y, c);
        if (ascii) out += std::to_string(v) + " ";
        if (!ascii && !bitmap) out += static_cast<char>(v);
        packed = packed << 1 | v;
      }
      if (!ascii && bitmap && (x % 8 == 7 || x == kW - 1)) {
        out += static_cast<char>(packed << (7 - x % 8));
        packed = 0;
      }
    }
    if (ascii) out += "\n";
  }
  return out;
}

// One plane per colour channel (8 bits) or per bit of the palette index
// (1 bit); RLE packs pairs of equal bytes and escapes bytes that look like counts.
std::string Pcx(int bits, int planes, bool rle = true) {
  const int line = bits == 8 ? (kW + 1) / 2 * 2 : (kW + 7) / 8;
  std::string out = rle ? "\x0A\x05\x01" : std::string("\x0A\x05\x00", 3);
  out += static_cast<char>(bits);
  for (int v : {0, 0, kW - 1, kH - 1, 72, 72}) Put(out, v, 2);
  for (int i = 0; i < 48; ++i) out += static_cast<char>(S(i / 3, i % 3, 2));
  out += '\0';
  out += static_cast<char>(planes);
  Put(out, line, 2);
  Put(out, 1, 2);
  out.resize(128, '\0');
  for (int y = 0; y < kH; ++y) {
    std::string row;
    for (int p = 0; p < planes; ++p) {
      for (int x = 0; x < line; ++x) {
        int v = x < kW ? S(x, y, p) : 0;
        if (bits == 1) {  // padding bits set, to show they are ignored
          v = 0;
          for (int b = 0; b < 8; ++b) v |= (x * 8 + b >= kW ? 1 : S(x * 8 + b, y, p) & 1) << (7 - b);
        }
        row += static_cast<char>(v);
      }
    }
    for (std::size_t i = 0; i < row.size();) {
      const bool pair = rle && i + 1 < row.size() && row[i] == row[i + 1];
      if (pair) out += '\xC2';
      if (rle && !pair && std::uint8_t(row[i]) >= 0xC0) out += '\xC1';
      out += row[i];
      i += pair ? 2 : 1;
    }
  }
  if (bits == 8 && planes == 1) {
    out += '\x0C';
    for (int i = 0; i < 768; ++i) out += static_cast<char>(S(i / 3, i % 3, 1));
  }
  return out;
}

std::string Xpm() {
  std::string out = "/* XPM */\nstatic char *picture[] = {\n\"13 7 3 1\",\n\"a c #FF8000\",\n"
                    "\"b c None\",\n\"c c #0040C0\",\n";
  for (int y = 0; y < kH; ++y) {
    out += "\"";
    for (int x = 0; x < kW; ++x) out += static_cast<char>('a' + S(x, y, 0) % 3);
    out += y + 1 < kH ? "\",\n" : "\"\n};\n";
  }
  return out;
}

// Packed (chunky) 8-bit, or interleaved planes; 16 pixels wide, as the
// decoder rounds widths up to 16.
std::string Lbm(bool packed) {
  const int planes = packed ? 8 : 4, width = 16;
  std::string header;
  for (int v : {width, kH, 0, 0}) Put(header, v, 2, true);
  header += static_cast<char>(planes);
  header.append(3, '\0');
  Put(header, 0, 2, true);
  header += "\x0A\x0B";
  Put(header, width, 2, true);
  Put(header, kH, 2, true);
  std::string palette, body;
  for (int i = 0; i < 3 * (1 << planes); ++i) palette += static_cast<char>(S(i / 3, i % 3, 2));
  for (int y = 0; y < kH; ++y) {
    for (int p = 0; p < (packed ? 1 : planes); ++p) {
      for (int x = 0; x < (packed ? width : 2); ++x) {
        body += static_cast<char>(packed ? S(x, y, 0) : S(x, y, p + 4));
      }
    }
  }
  std::string chunks = std::string(packed ? "PBM " : "ILBM");
  for (auto [id, data] : {std::pair{"BMHD", header}, {"CMAP", palette}, {"BODY", body}}) {
    chunks += id;
    Put(chunks, static_cast<std::uint32_t>(data.size()), 4, true);
    chunks += data;
  }
  std::string out = "FORM";
  Put(out, static_cast<std::uint32_t>(chunks.size()), 4, true);
  return out + chunks;
}

}  // namespace

std::vector<NamedPicture> WellFormedPictures() {
  std::vector<NamedPicture> all = {
      {"grey1.png", Png(0, 1, false)},           {"grey2.png", Png(0, 2, false)},
      {"grey4.png", Png(0, 4, false)},           {"grey8.png", Png(0, 8, false)},
      {"grey16.png", Png(0, 16, false)},         {"grey8-key.png", Png(0, 8, false, 1)},
      {"grey-alpha8.png", Png(4, 8, false)},     {"grey-alpha16.png", Png(4, 16, false)},
      {"rgb8.png", Png(2, 8, false)},            {"rgb16.png", Png(2, 16, false)},
      {"rgb8-key.png", Png(2, 8, false, 1)},     {"rgba8.png", Png(6, 8, false)},
      {"rgba16.png", Png(6, 16, false)},         {"palette1.png", Png(3, 1, false)},
      {"palette2.png", Png(3, 2, false)},        {"palette4.png", Png(3, 4, false)},
      {"palette8.png", Png(3, 8, false)},        {"palette8-key.png", Png(3, 8, false, 1)},
      {"palette8-alpha.png", Png(3, 8, false, 2)}, {"rgba8-interlaced.png", Png(6, 8, true)},
      {"palette4-interlaced.png", Png(3, 4, true)}, {"grey16-interlaced.png", Png(0, 16, true)},
      {"rgb.jpg", Jpeg(3, false)},               {"grey.jpg", Jpeg(1, false)},
      {"progressive.jpg", Jpeg(3, true)},        {"cmyk.jpg", Jpeg(4, false)},
      {"plain.gif", Gif(false, false, -1)},      {"interlaced-local.gif", Gif(true, true, -1)},
      {"transparent.gif", Gif(false, false, 3)}, {"bgr24.bmp", Bmp(24, false)},
      {"bgr24-top-down.bmp", Bmp(24, true)},     {"bgra32.bmp", Bmp(32, false)},
      {"rgb555.bmp", Bmp(16, false)},            {"palette8.bmp", Bmp(8, false)},
      {"palette4-top-down.bmp", Bmp(4, true)},   {"palette1.bmp", Bmp(1, false)},
      {"colour24.tga", Tga(2, 24, false)},       {"colour32-top.tga", Tga(2, 32, true)},
      {"colour16.tga", Tga(2, 16, false)},       {"rle24.tga", Tga(10, 24, true)},
      {"indexed.tga", Tga(1, 8, false)},         {"rle-indexed.tga", Tga(9, 8, true)},
      {"grey.tga", Tga(3, 8, true)},             {"rle-grey.tga", Tga(11, 8, false)},
      {"pcx8.pcx", Pcx(8, 1)},                   {"pcx24.pcx", Pcx(8, 3)},
      {"pcx8-raw.pcx", Pcx(8, 1, false)},        {"pcx24-raw.pcx", Pcx(8, 3, false)},
      {"pcx1.pcx", Pcx(1, 1)},                   {"pcx1-raw.pcx", Pcx(1, 1, false)},
      {"pcx1x2.pcx", Pcx(1, 2)},                 {"pcx1x3-raw.pcx", Pcx(1, 3, false)},
      {"pcx1x4.pcx", Pcx(1, 4)},
      {"picture.xpm", Xpm()},                    {"packed.lbm", Lbm(true)},
      {"planes.lbm", Lbm(false)},
  };
  for (int kind = 1; kind <= 6; ++kind) all.push_back({"p" + std::to_string(kind) + ".pnm", Pnm(kind)});
  return all;
}

std::string BlankPng(int width, int height) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, AppendTo, nullptr);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_GRAY, 0, 0, 0);
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<std::size_t>(width), 0);
  for (int y = 0; y < height; ++y) png_write_row(png, row.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace tessel::test
