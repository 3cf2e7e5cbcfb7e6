#pragma once

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

// Draws one frame: clear to BaseColor, the layer table, present.
void DrawFrame();

}  // namespace tessel
