#pragma once

#include <cstdint>
#include <functional>

#include "core/ProfileTimer.h"

namespace tessel {

class SystemEventHandler;

// The whole life of the engine: start-up, the frame loop, the report, teardown.
class Application {
 public:
  Application() = default;
  ~Application();  // shuts the media and font libraries down
  int Run(int argc, char** argv);
};

// One frame's event phase: dispatch passes until more than FrameThreshold()
// milliseconds of the frame (FrameClock) have passed; at least one pass.
void WaitFrame();

// Power save: while nothing needs a dispatch pass on every millisecond (the
// story stopped or in a timed pause, no effect running, no music start
// waiting on a fade), the frame wait sleeps in short slices until the frame
// is due or input arrives. Frames and text keep their timing.
void SetPowerSave(bool on);
bool PowerSave();
// How long the frame wait may sleep now, `until_frame_end` milliseconds
// before the frame is due: 0 when something needs the passes.
std::uint32_t QuietMilliseconds(std::uint32_t until_frame_end);
// Replaces the sleep of the power-save wait (tests); empty restores SDL_Delay.
void SetSleepFunction(std::function<void(std::uint32_t)> sleeper);

// Draws one frame: clear to BaseColor, then the layer table (not presented).
void DrawFrame();

// What the frame loop remembers of the last frame it drew.
struct FrameMemory {
  bool drawn = false;
  std::uint64_t changes = 0;  // SceneChangeCount() after that frame was drawn
  int repeated = 0;           // frames left out since
};
// A frame left out is drawn again at least this often (four seconds at 60
// frames per second): a safety net, should a change ever go uncounted.
constexpr int kLongestRepeat = 239;

// Power save only: first calls the key-wait ticks of the shown windows (in
// this mode they run here, on every frame, not from the drawing); then true
// when nothing that could change the picture happened since the last frame
// drawn (no command -- also none from those ticks --, event or story step, no
// effect running), so drawing it again would show the same pixels.
// Such a frame is left out, but never more than kLongestRepeat in a row.
bool FrameRepeatsLast(FrameMemory& memory);

struct FrameProfile {
  ProfileTimer process;  // the whole frame
  ProfileTimer gp;       // drawing
  ProfileTimer ep;       // events
};

// The frame loop: while running() holds at the top of a frame, draw, present
// and wait out the frame. A quit inside a frame ends the loop only after that
// frame's wait has run out.
void RunFrameLoop(const std::function<bool()>& running, FrameProfile& profile);

}  // namespace tessel
