#pragma once

namespace tessel {

// Opens (or re-opens) the OpenGL window: processor report, frame-buffer
// request, video mode (exit status 2 when refused), OpenGL report, projection
// and a first frame cleared to the base colour.
void InitWindow(int width, int height);

}  // namespace tessel
