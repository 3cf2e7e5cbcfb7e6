#pragma once

#include <memory>

#include "event/EventHandler.h"

namespace tessel {

class ScriptApi;
class SystemScenarioListener;

// The engine's own handler, first in the list: Escape and quit end the run,
// F4 toggles full screen, and every idle call steps the story.
class SystemEventHandler : public EventHandler {
 public:
  // Creates the scenario controller (opening Lua), boots the game and attaches
  // the system's scenario listener. The command table lives as long as this
  // handler, which outlives the controller's Lua state.
  SystemEventHandler();
  ~SystemEventHandler() override;

  bool Running() const { return running_; }
  void SetRunning(bool running) { running_ = running; }
  // Whether the boot found a game to play.
  bool Booted() const { return booted_; }

  bool OnKeyDown(const SDL_keysym& key) override;
  bool OnQuit() override;
  bool OnUser(std::uint8_t type, int code, void* data1, void* data2) override;
  bool OnIdle() override;

  // Switches between window and full screen, carrying every texture across.
  static void ToggleFullScreen();

 private:
  bool running_ = true;
  bool booted_ = false;
  std::unique_ptr<SystemScenarioListener> listener_;
  std::unique_ptr<ScriptApi> commands_;
};

}  // namespace tessel
