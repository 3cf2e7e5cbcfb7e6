// Picture files come from a game's data: any bytes must come back as a
// surface within the limits or as a refusal with a reason, never a crash, a
// hang or an allocation beyond the limits.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "graphics/ImageDecoder.h"
#include "graphics/ImageHeader.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

volatile std::uint32_t sink;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string error;
  tessel::SurfacePtr surface = tessel::DecodeImage(std::span(data, size), error);
  if (!surface) {
    Check(!error.empty());
    return 0;
  }
  Check(tessel::CheckImageSize(surface->w, surface->h).empty());
  // Every row of the surface is readable.
  const auto* pixels = static_cast<const std::uint8_t*>(surface->pixels);
  std::uint32_t sum = 0;
  for (int y = 0; y < surface->h; ++y) sum += pixels[std::size_t(y) * surface->pitch + surface->pitch - 1];
  sink = sink + sum;
  return 0;
}
