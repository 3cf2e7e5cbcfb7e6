#pragma once

#include <cstdint>

#include "core/Clock.h"

namespace tessel {

// Milliseconds a frame waits beyond; 1000 / fps - 1.
std::uint32_t FrameThreshold();
// Rates below 1 are refused (false); rates above 1000 are taken as 1000.
bool SetFrameRate(int fps);
// Sets FrameThreshold as a loaded game had it.
void SetFrameThreshold(std::uint32_t milliseconds);

// Restarted at the start of every frame.
Stopwatch& FrameClock();

}  // namespace tessel
