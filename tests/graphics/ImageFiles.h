#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/Picture.h"

// Tiny image files made in code for the graphics tests: each encoder writes
// the smallest valid file of its format, so no fixture is committed.
namespace tessel::test {

// Colour types 2 (RGB) and 6 (RGBA), 8 bits per sample.
std::string EncodePng(const Picture& picture, bool with_alpha);
// Colour type 0, 8 bits: the red channel is the grey level.
std::string EncodeGreyPng(const Picture& picture);
// Colour type 3: indices into a palette; `transparent` (if >= 0) gets a tRNS entry of 0.
std::string EncodePalettePng(int width, int height, const std::vector<std::uint8_t>& indices,
                             const std::vector<Rgba>& palette, int transparent = -1);
// GIF89a with at most four colours; `transparent` (if >= 0) marks that index.
std::string EncodeGif(int width, int height, const std::vector<std::uint8_t>& indices,
                      const std::vector<Rgba>& palette, int transparent = -1);
// Uncompressed true-colour TGA, 24 or 32 bits, top row first.
std::string EncodeTga(const Picture& picture, bool with_alpha);
// 24-bit BMP written by SDL_SaveBMP.
std::string EncodeBmp(const Picture& picture);

}  // namespace tessel::test
