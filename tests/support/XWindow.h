#pragma once

// Helpers for tests that play the real engine under the tests' X server:
// they find its window, read its pixels from the server and play the player
// with xdotool.
#include <filesystem>
#include <functional>
#include <string>

#include "support/Picture.h"

namespace tessel::test {

// Runs a shell command in `cwd`; a failure fails the test. Returns its output.
std::string Shell(const std::string& command, const std::filesystem::path& cwd);

// One window of the X server, driven like a player would.
class XWindow {
 public:
  // Waits (up to 30 s) for a window whose title contains `title`.
  static XWindow Find(const std::string& title);

  bool Valid() const { return !id_.empty(); }
  // An invalid picture once the window is gone.
  Picture Grab() const;
  // Grabs until `ready` accepts the picture, for at most `timeout_seconds`;
  // returns the last picture either way.
  Picture GrabUntil(const std::function<bool(const Picture&)>& ready, int timeout_seconds = 20) const;
  // Writes the window's picture, scaled to `width` pixels wide, as PNG.
  void SaveScaled(const std::filesystem::path& png, int width) const;
  void Key(const std::string& key) const;
  // Moves the pointer there (from elsewhere, so that it really moves) and clicks.
  void MoveAndClick(int x, int y, int button = 1) const;

 private:
  std::string id_;
};

}  // namespace tessel::test
