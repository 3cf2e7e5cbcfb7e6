#include "app/playtest/PngWriter.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>

#include "graphics/ScreenSurface.h"
#include "graphics/WindowSize.h"

namespace tessel {
namespace {

void PutU32(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value >> 24));
  out.push_back(static_cast<char>(value >> 16));
  out.push_back(static_cast<char>(value >> 8));
  out.push_back(static_cast<char>(value));
}

void PutChunk(std::string& out, const char type[4], const std::string& data) {
  PutU32(out, static_cast<std::uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  out += body;
  const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(body.data()),
                          static_cast<uInt>(body.size()));
  PutU32(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::string EncodePng(int width, int height, const std::vector<std::uint8_t>& rgba) {
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return {};
  const std::size_t row = static_cast<std::size_t>(width) * 4;
  if (rgba.size() != row * static_cast<std::size_t>(height)) return {};

  // Every row starts with filter type 0 (none).
  std::string raw;
  raw.reserve((row + 1) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    raw.push_back('\0');
    raw.append(reinterpret_cast<const char*>(rgba.data()) + row * static_cast<std::size_t>(y), row);
  }
  uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packed_size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packed_size,
                reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                Z_BEST_SPEED) != Z_OK) {
    return {};
  }
  packed.resize(packed_size);

  std::string header;
  PutU32(header, static_cast<std::uint32_t>(width));
  PutU32(header, static_cast<std::uint32_t>(height));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, deflate, adaptive, no interlace

  std::string png("\x89PNG\r\n\x1a\n", 8);
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", {});
  return png;
}

bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba) {
  const std::string png = EncodePng(width, height, rgba);
  if (png.empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  return std::fclose(file) == 0 && written;
}

std::vector<std::uint8_t> ReadFrame(int& width, int& height) {
  width = 0;
  height = 0;
  const PixelSize size = DrawingSize();
  if (size.width <= 0 || size.height <= 0) return {};
  width = size.width;
  height = size.height;
  const std::size_t row = static_cast<std::size_t>(width) * 4;
  std::vector<std::uint8_t> bottom_up(row * static_cast<std::size_t>(height));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottom_up.data());
  std::vector<std::uint8_t> rows(bottom_up.size());
  for (int y = 0; y < height; ++y) {
    std::copy_n(bottom_up.begin() + static_cast<std::ptrdiff_t>(row * static_cast<std::size_t>(height - 1 - y)),
                row, rows.begin() + static_cast<std::ptrdiff_t>(row * static_cast<std::size_t>(y)));
  }
  // The window shows no transparency: a picture viewer should not either.
  for (std::size_t i = 3; i < rows.size(); i += 4) rows[i] = 255;
  return rows;
}

}  // namespace tessel
