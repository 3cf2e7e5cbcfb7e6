#include "graphics/ImageHeader.h"

#include <cstring>
#include <optional>
#include <string_view>
#include <unordered_set>

namespace tessel {
namespace {

using Bytes = std::span<const std::uint8_t>;

std::uint32_t Byte(Bytes data, std::size_t at) { return at < data.size() ? data[at] : 0; }
std::uint32_t Le16(Bytes d, std::size_t at) { return Byte(d, at) | Byte(d, at + 1) << 8; }
std::uint32_t Le32(Bytes d, std::size_t at) { return Le16(d, at) | Le16(d, at + 2) << 16; }
std::uint32_t Be16(Bytes d, std::size_t at) { return Byte(d, at) << 8 | Byte(d, at + 1); }
std::uint32_t Be32(Bytes d, std::size_t at) { return Be16(d, at) << 16 | Be16(d, at + 2); }

bool StartsWith(Bytes data, std::string_view magic, std::size_t at = 0) {
  return data.size() >= at + magic.size() &&
         std::memcmp(data.data() + at, magic.data(), magic.size()) == 0;
}

ImageHeader Refuse(std::string reason) { return {ImageFormat::kNone, 0, 0, std::move(reason)}; }

// The header's sizes, checked against the limits; `enough` is false when the
// file is too short to hold the pixels the header promises uncompressed.
ImageHeader Sized(ImageFormat format, std::int64_t width, std::int64_t height,
                  bool enough = true) {
  std::string problem = CheckImageSize(width, height);
  if (!problem.empty()) return Refuse(std::string(ImageFormatName(format)) + ": " + problem);
  if (!enough) return Refuse(std::string(ImageFormatName(format)) + ": the file is cut short");
  return {format, static_cast<int>(width), static_cast<int>(height), {}};
}

ImageHeader ReadPng(Bytes d) {
  if (!StartsWith(d, "IHDR", 12)) return Refuse("PNG: the header chunk is missing");
  return Sized(ImageFormat::kPng, Be32(d, 16), Be32(d, 20));
}

// Walks the blocks up to the first image: its size and its LZW code size
// are what the decoder would allocate and loop by.
ImageHeader ReadGif(Bytes d) {
  std::size_t at = 13;
  if ((Byte(d, 10) & 0x80) != 0) at += 3u << ((Byte(d, 10) & 7) + 1);
  while (at < d.size()) {
    const std::uint32_t kind = d[at++];
    if (kind == ',') {
      const std::int64_t width = Le16(d, at + 4);
      const std::int64_t height = Le16(d, at + 6);
      std::size_t code_at = at + 9;
      if ((Byte(d, at + 8) & 0x80) != 0) code_at += 3u << ((Byte(d, at + 8) & 7) + 1);
      if (code_at >= d.size()) return Refuse("GIF: the file is cut short");
      if (d[code_at] < 2 || d[code_at] > 12) {
        return Refuse("GIF: LZW code size " + std::to_string(d[code_at]) + " is out of range");
      }
      return Sized(ImageFormat::kGif, width, height);
    }
    if (kind != '!') return Refuse(kind == ';' ? "GIF: it holds no image" : "GIF: damaged block");
    at += 1;  // extension label, then sub-blocks up to an empty one
    while (at < d.size() && d[at] != 0) at += d[at] + 1u;
    at += 1;
  }
  return Refuse("GIF: the file is cut short");
}

ImageHeader ReadBmp(Bytes d) {
  const std::uint32_t info = Le32(d, 14);
  std::int64_t width, height;
  std::uint32_t bits, compression = 0, colours = 0;
  if (info == 12) {
    width = Le16(d, 18);
    height = Le16(d, 20);
    bits = Le16(d, 24);
  } else if (info >= 40 && info <= 124) {
    width = static_cast<std::int32_t>(Le32(d, 18));
    height = static_cast<std::int32_t>(Le32(d, 22));
    if (height < 0) height = -height;  // top row first
    bits = Le16(d, 28);
    compression = Le32(d, 30);
    colours = Le32(d, 46);
  } else {
    return Refuse("BMP: unknown header");
  }
  const bool palette = bits == 1 || bits == 4 || bits == 8;
  if (!palette && bits != 16 && bits != 24 && bits != 32) return Refuse("BMP: bad pixel depth");
  if (compression > 3 || (compression == 1 && bits != 8) || (compression == 2 && bits != 4) ||
      (compression == 3 && bits != 16 && bits != 32)) {
    return Refuse("BMP: unknown compression");
  }
  if (palette && colours > (1u << bits)) return Refuse("BMP: too many palette colours");
  const std::uint64_t row = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
  const bool raw = compression == 0 || compression == 3;
  const bool enough =
      !raw || width < 0 || Le32(d, 10) + row * static_cast<std::uint64_t>(height) <= d.size();
  return Sized(ImageFormat::kBmp, width, height, enough);
}

// Reads the next decimal number of a PNM header, skipping blanks and comments.
std::int64_t PnmNumber(Bytes d, std::size_t& at) {
  while (at < d.size() && (std::strchr(" \t\r\n", d[at]) != nullptr || d[at] == '#')) {
    if (d[at] == '#') {
      while (at < d.size() && d[at] != '\n') ++at;
    } else {
      ++at;
    }
  }
  std::int64_t value = -1;
  while (at < d.size() && d[at] >= '0' && d[at] <= '9' && value < (1 << 24)) {
    value = (value < 0 ? 0 : value * 10) + (d[at++] - '0');
  }
  return value;
}

ImageHeader ReadPnm(Bytes d) {
  const int kind = static_cast<int>(d[1]) - '0';
  std::size_t at = 2;
  const std::int64_t width = PnmNumber(d, at);
  const std::int64_t height = PnmNumber(d, at);
  if (width < 0 || height < 0) return Refuse("PNM: damaged header");
  if (kind != 1 && kind != 4) {
    const std::int64_t maxval = PnmNumber(d, at);
    if (maxval < 1 || maxval > 255) return Refuse("PNM: only 8-bit samples are supported");
  }
  const std::int64_t samples = width * height * (kind == 3 || kind == 6 ? 3 : 1);
  const std::int64_t needed = kind == 4 ? (width + 7) / 8 * height : samples;
  return Sized(ImageFormat::kPnm, width, height,
               static_cast<std::int64_t>(d.size()) >= static_cast<std::int64_t>(at) + needed);
}

// The next quoted string from `at`, read as the decoder reads it: up to the
// closing quote, or exactly `length` characters when a length is given.
std::optional<std::string_view> XpmString(Bytes d, std::size_t& at, std::size_t length = 0) {
  while (at < d.size() && d[at] != '"') ++at;
  if (++at > d.size()) return std::nullopt;
  const auto* text = reinterpret_cast<const char*>(d.data()) + at;
  if (length > 0) {
    if (d.size() - at < length + 3) return std::nullopt;  // the string, its quote, ",\n"
    at += length + 3;
    return std::string_view(text, length);
  }
  const std::size_t start = at;
  while (at < d.size() && d[at] != '"') ++at;
  if (at >= d.size()) return std::nullopt;
  return std::string_view(text, at++ - start);
}

// The decoder reads a pixel whose characters name no colour through a null
// entry, so every pixel is looked up here first.
ImageHeader ReadXpm(Bytes d) {
  std::size_t at = 0;
  const auto values = XpmString(d, at);
  if (!values) return Refuse("XPM: damaged header");
  const auto* first = reinterpret_cast<const std::uint8_t*>(values->data());
  std::size_t in_values = 0;
  Bytes header(first, values->size());
  const std::int64_t width = PnmNumber(header, in_values);
  const std::int64_t height = PnmNumber(header, in_values);
  const std::int64_t colours = PnmNumber(header, in_values);
  const std::int64_t chars = PnmNumber(header, in_values);
  if (width < 0 || height < 0 || colours < 1 || chars < 1) return Refuse("XPM: damaged header");
  if (chars > 8) return Refuse("XPM: more than 8 characters a pixel");
  const std::int64_t needed = (width * height + colours) * chars;
  ImageHeader sized =
      Sized(ImageFormat::kXpm, width, height, static_cast<std::int64_t>(d.size()) >= needed);
  if (sized.format == ImageFormat::kNone) return sized;
  const std::size_t key = static_cast<std::size_t>(chars);
  std::unordered_set<std::string_view> keys;
  for (std::int64_t i = 0; i < colours; ++i) {
    const auto line = XpmString(d, at);
    if (!line || line->size() < key + 1) return Refuse("XPM: damaged colour table");
    keys.insert(line->substr(0, key));
  }
  for (std::int64_t y = 0; y < height; ++y) {
    const auto row = XpmString(d, at, static_cast<std::size_t>(width) * key);
    if (!row) return Refuse("XPM: the file is cut short");
    for (std::size_t x = 0; x < row->size(); x += key) {
      if (!keys.contains(row->substr(x, key))) return Refuse("XPM: a pixel names no colour");
    }
  }
  return sized;
}

// Follows the chunks the way the decoder does, up to the pixels; a chunk
// whose size would make the decoder seek backwards or past the end stops here.
ImageHeader ReadLbm(Bytes d) {
  const bool packed = StartsWith(d, "PBM ", 8);
  std::int64_t width = 0, height = 0;
  std::uint32_t planes = 0, mask = 0, compression = 0, view_modes = 0;
  std::size_t at = 12;
  for (;;) {
    if (at + 8 > d.size()) return Refuse("LBM: no picture data");
    const Bytes id = d.subspan(at, 4);
    const std::uint64_t size = Be32(d, at + 4);
    at += 8;
    if (StartsWith(id, "BODY")) break;
    if (size > d.size() - at) return Refuse("LBM: a chunk runs past the end of the file");
    if (StartsWith(id, "BMHD")) {
      if (size < 20) return Refuse("LBM: short bitmap header");
      width = Be16(d, at);
      height = Be16(d, at + 2);
      planes = Byte(d, at + 8);
      mask = Byte(d, at + 9);
      compression = Byte(d, at + 10);
    } else if (StartsWith(id, "CMAP") && size > 768) {
      return Refuse("LBM: too many palette colours");
    } else if (StartsWith(id, "CAMG")) {
      if (size < 4) return Refuse("LBM: short view-mode chunk");
      view_modes = Be32(d, at);
    }
    at += size + (size & 1);
  }
  const bool ham = (view_modes & 0x800) != 0;
  const bool planes_ok = packed ? planes == 8
                         : ham  ? planes == 6 || planes == 8
                                : (planes >= 1 && planes <= 8) || planes == 24;
  if (!planes_ok) return Refuse("LBM: unsupported number of planes");
  if (mask > 3 || compression > 1) return Refuse("LBM: unsupported mask or compression");
  return Sized(ImageFormat::kLbm, (width + 15) & ~std::int64_t{15}, height);
}

ImageHeader ReadPcx(Bytes d) {
  const auto signed16 = [&](std::size_t at) { return static_cast<std::int16_t>(Le16(d, at)); };
  const std::int64_t width = signed16(8) - signed16(4) + 1;
  const std::int64_t height = signed16(10) - signed16(6) + 1;
  const std::uint32_t bits = Byte(d, 3);
  const std::uint32_t planes = Byte(d, 65);
  const std::int64_t line = signed16(66);
  if (!((bits == 1 && planes >= 1 && planes <= 4) || (bits == 8 && (planes == 1 || planes == 3)))) {
    return Refuse("PCX: unsupported pixel layout");
  }
  if (d.size() < 128) return Refuse("PCX: the file is cut short");
  const std::int64_t needed = (width * bits + 7) / 8;
  if (line < needed || line > needed + 64) return Refuse("PCX: bad line length");
  const bool enough = Byte(d, 2) == 1 || static_cast<std::int64_t>(d.size()) >=
                                             128 + line * static_cast<std::int64_t>(planes) * height;
  return Sized(ImageFormat::kPcx, width, height, enough);
}

// TGA has no magic bytes: a header is taken as one only when every field
// holds a value the decoder supports.
ImageHeader ReadTga(Bytes d) {
  if (d.size() < 18) return Refuse("");
  const std::uint32_t has_map = d[1], type = d[2], map_length = Le16(d, 5), map_bits = d[7];
  const std::uint32_t bits = d[16], flags = d[17];
  const bool indexed = type == 1 || type == 9;
  const bool grey = type == 3 || type == 11;
  const bool colour = type == 2 || type == 10;
  if (has_map > 1 || (flags & 0xD0) != 0) return Refuse("");
  if (indexed && !(has_map == 1 && bits == 8 && map_length <= 256)) return Refuse("");
  if (has_map == 1 && map_bits != 15 && map_bits != 16 && map_bits != 24 && map_bits != 32) {
    return Refuse("");
  }
  if (grey && bits != 8) return Refuse("");
  if (colour && bits != 15 && bits != 16 && bits != 24 && bits != 32) return Refuse("");
  if (!indexed && !grey && !colour) return Refuse("");
  return Sized(ImageFormat::kTga, Le16(d, 12), Le16(d, 14));
}

const char* RefusedFormat(Bytes d) {
  if (StartsWith(d, "gimp xcf")) return "an XCF";
  if (StartsWith(d, "II*") || StartsWith(d, "MM")) return "a TIFF";
  if (StartsWith(d, "RIFF") && StartsWith(d, "WEBP", 8)) return "a WebP";
  if (StartsWith(d, std::string_view("\0\0\1\0", 4))) return "an ICO";
  if (StartsWith(d, "8BPS")) return "a PSD";
  if (StartsWith(d, "qoif")) return "a QOI";
  if (StartsWith(d, "ftyp", 4)) return "an AVIF or HEIF";
  if (StartsWith(d, std::string_view("\0\0\0\x0CjP  ", 8))) return "a JPEG 2000";
  return nullptr;
}

}  // namespace

const char* ImageFormatName(ImageFormat format) {
  static const char* const kNames[] = {"unknown", "BMP", "GIF", "JPEG", "LBM",
                                       "PCX",     "PNG", "PNM", "TGA",  "XPM"};
  return kNames[static_cast<int>(format)];
}

std::string CheckImageSize(std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0) return "the picture has no pixels";
  if (width > kMaxImageSide || height > kMaxImageSide) {
    return std::to_string(width) + "x" + std::to_string(height) + " is larger than " +
           std::to_string(kMaxImageSide) + " pixels a side";
  }
  if (width * height > kMaxImagePixels) {
    return std::to_string(width) + "x" + std::to_string(height) + " is more than the " +
           std::to_string(kMaxImagePixels >> 20) + " megapixels a picture may have";
  }
  return {};
}

ImageHeader ReadImageHeader(Bytes d) {
  if (StartsWith(d, "\x89PNG\r\n\x1a\n")) return ReadPng(d);
  if (StartsWith(d, "GIF87a") || StartsWith(d, "GIF89a")) return ReadGif(d);
  if (StartsWith(d, "\xFF\xD8\xFF")) return {ImageFormat::kJpeg, 0, 0, {}};
  if (StartsWith(d, "BM")) return ReadBmp(d);
  if (d.size() > 2 && d[0] == 'P' && d[1] >= '1' && d[1] <= '6' &&
      std::strchr(" \t\r\n#", d[2]) != nullptr) {
    return ReadPnm(d);
  }
  if (StartsWith(d, "/* XPM */")) return ReadXpm(d);
  if (StartsWith(d, "FORM") && (StartsWith(d, "ILBM", 8) || StartsWith(d, "PBM ", 8))) {
    return ReadLbm(d);
  }
  if (d.size() > 2 && d[0] == 0x0A && d[1] == 5 && d[2] <= 1) return ReadPcx(d);
  if (const char* refused = RefusedFormat(d)) {
    return Refuse(std::string(refused) + " picture is not supported");
  }
  ImageHeader tga = ReadTga(d);
  if (tga.format == ImageFormat::kNone && tga.refusal.empty()) {
    return Refuse("not a picture in a supported format (BMP, GIF, JPEG, LBM, PCX, PNG, PNM, TGA, "
                  "XPM)");
  }
  return tga;
}

}  // namespace tessel
