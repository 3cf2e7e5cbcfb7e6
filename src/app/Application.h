#pragma once

#include <functional>

#include "app/ProfileTimer.h"

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

// Draws one frame: clear to BaseColor, then the layer table (not presented).
void DrawFrame();

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
