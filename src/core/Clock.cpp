#include "core/Clock.h"

#include <SDL.h>

#include <utility>

namespace tessel {
namespace {
std::function<std::uint32_t()>& Source() {
  static std::function<std::uint32_t()> source;
  return source;
}
}  // namespace

std::uint32_t Ticks() {
  auto& source = Source();
  return source ? source() : SDL_GetTicks();
}

void SetTickSource(std::function<std::uint32_t()> source) { Source() = std::move(source); }

}  // namespace tessel
