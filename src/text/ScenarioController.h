#pragma once

#include <cstdint>
#include <memory>

#include "core/Clock.h"

namespace tessel {

class ScenarioListener;
class ScenarioReader;

// Paces the story: one reader step per idle call while running, timed pauses
// after characters, full stops for key waits and choices. Its life is the
// life of the Lua state and the reader.
class ScenarioController {
 public:
  // The one controller; creating it opens the Lua state.
  static ScenarioController& Create();
  static ScenarioController* Instance();
  // Closes the Lua state, then deletes the reader.
  static void Destroy();

  ~ScenarioController();

  // One step: ends a timed wait that is over, else reads one token while running.
  void Step();
  // Pauses stepping for ms milliseconds; 0 or less does nothing.
  void Wait(int milliseconds);
  void Stop() { running_ = false; }
  void Resume() { running_ = true; }
  bool Running() const { return running_; }
  bool Waiting() const { return waiting_; }
  // Milliseconds until a running timed wait ends (0 when none).
  std::uint32_t WaitRemaining();

  // A timed wait's end relative to now (negative when over but not yet
  // noticed), and a loaded game's pacing set from it.
  std::int64_t WaitLeft();
  void RestorePace(bool running, bool waiting, std::int64_t wait_left);
  // True once the first scenario has been read to its end.
  bool MainScenarioEnded() const;

  void AttachListener(ScenarioListener* listener);
  void DetachListener(ScenarioListener* listener);

  ScenarioReader* Reader() const { return reader_.get(); }
  void SetReader(std::unique_ptr<ScenarioReader> reader);

 private:
  ScenarioController();

  std::unique_ptr<ScenarioReader> reader_;
  bool running_ = true;
  bool waiting_ = false;
  std::uint32_t wait_until_ = 0;
  Stopwatch stopwatch_;
};

}  // namespace tessel
