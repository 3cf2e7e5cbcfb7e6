#pragma once

#include <cstdint>
#include <memory>

#include "app/Clock.h"

namespace tessel {

class ScriptApi;
class SystemScenarioListener;

// Paces the story: one reader step per idle call while running, timed pauses
// after characters, full stops for key waits and choices. Its life is the
// life of the Lua state and of the command registry.
class ScenarioController {
 public:
  // The one controller; creating it opens the Lua state.
  static ScenarioController& Create();
  static ScenarioController* Instance();
  // Closes the Lua state, then deletes the command registry and the reader.
  static void Destroy();

  ~ScenarioController();

  // Mounts main.dat, registers the commands, reads main.tsl. False when there
  // is no game to play (its messages are written).
  bool Boot();

  void Step();
  // Pauses stepping for ms milliseconds; 0 or less does nothing.
  void Wait(int milliseconds);
  void Stop() { running_ = false; }
  void Resume() { running_ = true; }
  bool Running() const { return running_; }
  bool Waiting() const { return waiting_; }

  void AttachListener(SystemScenarioListener* listener);
  void DetachListener(SystemScenarioListener* listener);

  ScriptApi* Api() const { return api_.get(); }
  void SetApi(std::unique_ptr<ScriptApi> api);

 private:
  ScenarioController();

  std::unique_ptr<ScriptApi> api_;
  bool running_ = true;
  bool waiting_ = false;
  std::uint32_t wait_until_ = 0;
  Stopwatch stopwatch_;
};

}  // namespace tessel
