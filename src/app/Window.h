#pragma once

#include <optional>

#include "graphics/WindowSize.h"

namespace tessel {

// Opens (or re-opens) the OpenGL window: processor report, frame-buffer
// request, video mode (exit status 2 when refused), OpenGL report, projection
// and a first frame cleared to the base colour.
void InitWindow(int width, int height);
// The size the last InitWindow asked for; nothing before the first.
std::optional<PixelSize> AskedWindowSize();

}  // namespace tessel
