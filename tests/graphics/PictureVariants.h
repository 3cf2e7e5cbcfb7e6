#pragma once

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

// A PNG of any size whose rows are all zero: tiny on disk, `width` x
// `height` once decoded.
std::string BlankPng(int width, int height);

}  // namespace tessel::test
