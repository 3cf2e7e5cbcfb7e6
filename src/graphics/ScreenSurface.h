#pragma once

#include <SDL.h>

#include <cstdint>

namespace tessel {

// The video surface: none until a video mode has been set.
class ScreenSurface {
 public:
  static SDL_Surface* Get() { return SDL_GetVideoSurface(); }
  // Keeps the previous surface when the mode cannot be set.
  static bool SetMode(int width, int height, int bits_per_pixel, std::uint32_t flags);
  // Both texts go to the window system as UTF-8.
  static void SetCaption(const char* title, const char* icon_title);
};

struct Color {
  double red = 0.0;
  double green = 0.0;
  double blue = 0.0;
  double alpha = 0.0;
};
// The colour every frame is cleared to.
Color& BaseColor();

}  // namespace tessel
