#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tessel {

// Limits every picture is checked against before anything is allocated for
// it: no side longer than kMaxImageSide and no more than kMaxImagePixels
// pixels (32 megapixels, 128 MiB at four bytes a pixel). Files larger than
// kMaxImageFileBytes are not read at all.
inline constexpr int kMaxImageSide = 16384;
inline constexpr std::int64_t kMaxImagePixels = std::int64_t{32} << 20;
inline constexpr std::size_t kMaxImageFileBytes = std::size_t{256} << 20;

enum class ImageFormat { kNone, kBmp, kGif, kJpeg, kLbm, kPcx, kPng, kPnm, kTga, kXpm };

const char* ImageFormatName(ImageFormat format);

// What the header of a picture says, or why it is refused (format kNone and
// a reason such as "a TIFF picture is not supported").
struct ImageHeader {
  ImageFormat format = ImageFormat::kNone;
  int width = 0;
  int height = 0;
  std::string refusal;
};

// Tells the format from the bytes (never from a name) and checks the
// header's sizes and fields, so that no decoder is handed a file that would
// make it allocate beyond the limits, loop or read out of bounds. JPEG and
// GIF sizes are checked again by their decoders, which read them anyway.
ImageHeader ReadImageHeader(std::span<const std::uint8_t> data);

// The empty string when width x height fits the limits, else the reason.
std::string CheckImageSize(std::int64_t width, std::int64_t height);

}  // namespace tessel
