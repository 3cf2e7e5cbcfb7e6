#pragma once

#include <functional>
#include <optional>

namespace tessel {

struct PixelSize {
  int width = 0;
  int height = 0;

  bool operator==(const PixelSize&) const = default;
};

// The size of the window's drawing area as the window system reports it after
// a mode change; nothing when it cannot tell. Window systems may refuse a size
// (a bare X server keeps the window as it was when full screen is asked for),
// so the surface's size is not trusted for drawing.
using WindowSizeSource = std::function<std::optional<PixelSize>()>;
// Replaces how the size is read (tests); nullptr restores the window system's answer.
void SetWindowSizeSource(WindowSizeSource source);

// After a mode change: reads the window's real size, sets the viewport and
// the projection to it and logs what was asked and what was got. Frames are
// drawn at that size from then on.
void AdoptWindowSize(PixelSize asked, bool full_screen);

// The size frames are drawn at: the window's real size from the last mode
// change, or the video surface's when none was adopted; 0 x 0 without a window.
PixelSize DrawingSize();

// Before the media layer starts: its compatibility layer must draw straight
// into the window, so that the window's real size is the one drawn at.
void PrepareVideoDriver();

}  // namespace tessel
