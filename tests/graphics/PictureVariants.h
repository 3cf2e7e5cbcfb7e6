#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Well-formed pictures of every format the engine decodes, in the variants
// games ship (bit depths, palettes, transparency, interlacing, row order,
// run-length packing), written in code with the formats' own libraries
// where the engine links them and by hand otherwise.
namespace tessel::test {

struct NamedPicture {
  std::string name;   // says the format and variant; ends in the format's suffix
  std::string bytes;
};

std::vector<NamedPicture> WellFormedPictures();

// Every variant is 13 x 7 pixels; sample `c` of pixel (x, y) is Sample(x, y, c),
// and palette entry i is (Sample(i, 0, k), Sample(i, 1, k), Sample(i, 2, k)).
std::uint8_t Sample(int x, int y, int c);

// A PNG of any size whose rows are all zero: tiny on disk, `width` x
// `height` once decoded.
std::string BlankPng(int width, int height);

}  // namespace tessel::test
