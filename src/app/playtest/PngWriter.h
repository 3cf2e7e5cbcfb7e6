#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessel {

// Encodes an RGBA picture (rows top down, 4 bytes a pixel) as PNG bytes;
// empty when the size is not positive or does not match the pixels.
std::string EncodePng(int width, int height, const std::vector<std::uint8_t>& rgba);

// Writes a PNG file; false when it cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgba);

// The frame being drawn (the back buffer, before the swap) as RGBA rows top
// down; empty without a window.
std::vector<std::uint8_t> ReadFrame(int& width, int& height);

}  // namespace tessel
