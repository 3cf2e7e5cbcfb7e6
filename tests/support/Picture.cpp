#include "support/Picture.h"

#include <algorithm>

namespace tessel::test {

std::ostream& operator<<(std::ostream& out, const Rgba& pixel) {
  return out << "(" << int(pixel.r) << ", " << int(pixel.g) << ", " << int(pixel.b) << ", "
             << int(pixel.a) << ")";
}

int Picture::LowestInkedRow() const {
  for (int y = height - 1; y >= 0; --y) {
    if (InkInRows(y, y + 1) > 0) return y;
  }
  return -1;
}

int Picture::Count(int left, int top, int right, int bottom,
                   const std::function<bool(const Picture&, int, int)>& test) const {
  int count = 0;
  for (int y = std::max(top, 0); y < std::min(bottom, height); ++y) {
    for (int x = std::max(left, 0); x < std::min(right, width); ++x) count += test(*this, x, y);
  }
  return count;
}

long Picture::Ink() const {
  long ink = 0;
  for (const Rgba& pixel : pixels) ink += pixel.a;
  return ink;
}

double Picture::InkCentre(int top, int bottom) const {
  double weighted = 0;
  double total = 0;
  for (int y = std::max(top, 0); y < std::min(bottom, height); ++y) {
    for (int x = 0; x < width; ++x) {
      weighted += static_cast<double>(x) * At(x, y).a;
      total += At(x, y).a;
    }
  }
  return total > 0 ? weighted / total : -1;
}

std::vector<Rgba> Picture::OpaqueColours() const {
  std::vector<Rgba> colours;
  for (const Rgba& pixel : pixels) {
    if (pixel.a == 255 && std::find(colours.begin(), colours.end(), pixel) == colours.end()) {
      colours.push_back(pixel);
    }
  }
  return colours;
}

}  // namespace tessel::test
