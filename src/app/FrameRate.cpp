#include "app/FrameRate.h"

namespace tessel {
namespace {
std::uint32_t g_frame_threshold = 15;
}  // namespace

std::uint32_t FrameThreshold() { return g_frame_threshold; }

bool SetFrameRate(int fps) {
  if (fps < 1) return false;
  if (fps > 1000) fps = 1000;
  g_frame_threshold = 1000u / static_cast<std::uint32_t>(fps) - 1u;
  return true;
}

void SetFrameThreshold(std::uint32_t milliseconds) { g_frame_threshold = milliseconds; }

Stopwatch& FrameClock() {
  static Stopwatch clock;
  return clock;
}

}  // namespace tessel
