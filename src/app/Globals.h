#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/Clock.h"

namespace tessel {

// Directory prefix of every disk resource; names are appended without a separator.
const std::string& BaseDirectory();
// Keeps the path up to and including its last '/', then up to its last '\\'.
// A path without any separator gives the empty directory (the working directory):
// `tessel main.tsl` must find main.tsl where it was typed.
void SetBaseDirectory(std::string_view path);

// Milliseconds a frame waits beyond; 1000 / fps - 1.
std::uint32_t FrameThreshold();
// Rates below 1 are refused (false); rates above 1000 are taken as 1000.
bool SetFrameRate(int fps);

// Restarted at the start of every frame.
Stopwatch& FrameClock();

struct Color {
  double red = 0.0;
  double green = 0.0;
  double blue = 0.0;
  double alpha = 0.0;
};
// The colour every frame is cleared to.
Color& BaseColor();

// Counts what may change the picture: script commands, input and window
// events, steps of the story. The power-save frame loop leaves out a frame
// that would repeat the last one when the count has not moved.
void NoteSceneChange();
std::uint64_t SceneChangeCount();

}  // namespace tessel
