#include "graphics/ScreenSurface.h"

namespace tessel {

bool ScreenSurface::SetMode(int width, int height, int bits_per_pixel, std::uint32_t flags) {
  return SDL_SetVideoMode(width, height, bits_per_pixel, flags) != nullptr;
}

void ScreenSurface::SetCaption(const char* title, const char* icon_title) {
  SDL_WM_SetCaption(title != nullptr ? title : "", icon_title != nullptr ? icon_title : "");
}

Color& BaseColor() {
  static Color color;
  return color;
}

}  // namespace tessel
