#include "graphics/ImageFiles.h"

#include <SDL.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>

namespace tessel::test {
namespace {

void PutBe32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void PutLe16(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

std::uint32_t Crc32(const std::string& data) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : data) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string Zlib(const std::string& raw) {
  std::string out = "\x78\x01";
  std::size_t pos = 0;
  do {
    const std::size_t length = std::min<std::size_t>(65535, raw.size() - pos);
    const bool last = pos + length == raw.size();
    out += static_cast<char>(last ? 1 : 0);
    PutLe16(out, static_cast<std::uint32_t>(length));
    PutLe16(out, static_cast<std::uint32_t>(~length & 0xFFFF));
    out.append(raw, pos, length);
    pos += length;
  } while (pos < raw.size());
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (unsigned char byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBe32(out, (b << 16) | a);
  return out;
}

void Chunk(std::string& png, const char* type, const std::string& data) {
  PutBe32(png, static_cast<std::uint32_t>(data.size()));
  std::string body = std::string(type, 4) + data;
  png += body;
  PutBe32(png, Crc32(body));
}

std::string Png(int width, int height, int colour_type, const std::string& rows,
                const std::string& palette = "", const std::string& transparency = "") {
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  PutBe32(header, static_cast<std::uint32_t>(width));
  PutBe32(header, static_cast<std::uint32_t>(height));
  header += static_cast<char>(8);
  header += static_cast<char>(colour_type);
  header += std::string(3, '\0');
  Chunk(png, "IHDR", header);
  if (!palette.empty()) Chunk(png, "PLTE", palette);
  if (!transparency.empty()) Chunk(png, "tRNS", transparency);
  Chunk(png, "IDAT", Zlib(rows));
  Chunk(png, "IEND", "");
  return png;
}

}  // namespace

std::string EncodePng(const Picture& picture, bool with_alpha) {
  std::string rows;
  for (int y = 0; y < picture.height; ++y) {
    rows += '\0';  // filter: none
    for (int x = 0; x < picture.width; ++x) {
      const Rgba& p = picture.At(x, y);
      rows += static_cast<char>(p.r);
      rows += static_cast<char>(p.g);
      rows += static_cast<char>(p.b);
      if (with_alpha) rows += static_cast<char>(p.a);
    }
  }
  return Png(picture.width, picture.height, with_alpha ? 6 : 2, rows);
}

std::string EncodeGreyPng(const Picture& picture) {
  std::string rows;
  for (int y = 0; y < picture.height; ++y) {
    rows += '\0';
    for (int x = 0; x < picture.width; ++x) rows += static_cast<char>(picture.At(x, y).r);
  }
  return Png(picture.width, picture.height, 0, rows);
}

std::string EncodePalettePng(int width, int height, const std::vector<std::uint8_t>& indices,
                             const std::vector<Rgba>& palette, int transparent) {
  std::string rows;
  for (int y = 0; y < height; ++y) {
    rows += '\0';
    for (int x = 0; x < width; ++x) rows += static_cast<char>(indices[std::size_t(y) * width + x]);
  }
  std::string plte;
  for (const Rgba& c : palette) {
    plte += static_cast<char>(c.r);
    plte += static_cast<char>(c.g);
    plte += static_cast<char>(c.b);
  }
  std::string trns;
  if (transparent >= 0) {
    trns.assign(static_cast<std::size_t>(transparent) + 1, '\xFF');
    trns.back() = '\0';
  }
  return Png(width, height, 3, rows, plte, trns);
}

std::string EncodeGif(int width, int height, const std::vector<std::uint8_t>& indices,
                      const std::vector<Rgba>& palette, int transparent) {
  std::string gif = "GIF89a";
  PutLe16(gif, static_cast<std::uint32_t>(width));
  PutLe16(gif, static_cast<std::uint32_t>(height));
  gif += static_cast<char>(0x81);  // global colour table of 4 entries
  gif += '\0';
  gif += '\0';
  for (int i = 0; i < 4; ++i) {
    Rgba c = i < static_cast<int>(palette.size()) ? palette[static_cast<std::size_t>(i)] : Rgba{};
    gif += static_cast<char>(c.r);
    gif += static_cast<char>(c.g);
    gif += static_cast<char>(c.b);
  }
  if (transparent >= 0) {
    gif += "\x21\xF9\x04\x01";  // graphic control: transparent index present
    gif += std::string(2, '\0');
    gif += static_cast<char>(transparent);
    gif += '\0';
  }
  gif += '\x2C';
  PutLe16(gif, 0);
  PutLe16(gif, 0);
  PutLe16(gif, static_cast<std::uint32_t>(width));
  PutLe16(gif, static_cast<std::uint32_t>(height));
  gif += '\0';
  // LZW with a minimum code size of 2 (3-bit codes). A clear code after every
  // two pixels keeps the code width at 3, so each pixel is its own literal.
  constexpr std::uint32_t kClear = 4;
  constexpr std::uint32_t kEnd = 5;
  std::string data;
  std::uint32_t bits = 0;
  int bit_count = 0;
  auto put = [&](std::uint32_t code) {
    bits |= code << bit_count;
    bit_count += 3;
    while (bit_count >= 8) {
      data += static_cast<char>(bits & 0xFF);
      bits >>= 8;
      bit_count -= 8;
    }
  };
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (i % 2 == 0) put(kClear);
    put(indices[i]);
  }
  put(kEnd);
  if (bit_count > 0) data += static_cast<char>(bits & 0xFF);
  gif += '\x02';
  for (std::size_t pos = 0; pos < data.size(); pos += 255) {
    const std::size_t length = std::min<std::size_t>(255, data.size() - pos);
    gif += static_cast<char>(length);
    gif.append(data, pos, length);
  }
  gif += '\0';
  gif += '\x3B';
  return gif;
}

std::string EncodeTga(const Picture& picture, bool with_alpha) {
  std::string tga(18, '\0');
  tga[2] = 2;  // uncompressed true colour
  tga[12] = static_cast<char>(picture.width & 0xFF);
  tga[13] = static_cast<char>(picture.width >> 8);
  tga[14] = static_cast<char>(picture.height & 0xFF);
  tga[15] = static_cast<char>(picture.height >> 8);
  tga[16] = static_cast<char>(with_alpha ? 32 : 24);
  tga[17] = static_cast<char>(0x20 | (with_alpha ? 8 : 0));  // top row first
  for (const Rgba& p : picture.pixels) {
    tga += static_cast<char>(p.b);
    tga += static_cast<char>(p.g);
    tga += static_cast<char>(p.r);
    if (with_alpha) tga += static_cast<char>(p.a);
  }
  return tga;
}

std::string EncodeBmp(const Picture& picture) {
  SDL_Surface* surface =
      SDL_CreateRGBSurface(0, picture.width, picture.height, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
  if (surface == nullptr) return {};
  for (int y = 0; y < picture.height; ++y) {
    auto* row = static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch;
    for (int x = 0; x < picture.width; ++x) {
      row[3 * x] = picture.At(x, y).r;
      row[3 * x + 1] = picture.At(x, y).g;
      row[3 * x + 2] = picture.At(x, y).b;
    }
  }
  char path[] = "/tmp/tessel-bmp-XXXXXX";
  int fd = mkstemp(path);
  std::string bytes;
  if (fd >= 0) {
    close(fd);
    if (SDL_SaveBMP(surface, path) == 0) {
      if (std::FILE* file = std::fopen(path, "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
        std::fclose(file);
      }
    }
    std::remove(path);
  }
  SDL_FreeSurface(surface);
  return bytes;
}

}  // namespace tessel::test
