#pragma once

// Helpers for end-to-end tests that play the real engine under the tests' X
// server: they find its window, read its pixels with xwd and play the player
// with xdotool.
#include <filesystem>
#include <functional>
#include <string>

namespace tessel::test {

// A screenshot: 3 bytes a pixel, rows top down.
struct Picture {
  int width = 0;
  int height = 0;
  std::string rgb;

  bool Valid() const {
    return width > 0 && rgb.size() == static_cast<std::size_t>(width) * height * 3;
  }
  int Channel(int x, int y, int c) const {
    return static_cast<unsigned char>(rgb[(static_cast<std::size_t>(y) * width + x) * 3 + c]);
  }
  int Red(int x, int y) const { return Channel(x, y, 0); }
  int Green(int x, int y) const { return Channel(x, y, 1); }
  int Blue(int x, int y) const { return Channel(x, y, 2); }
  // Brighter than a dark background: text, mostly.
  bool Inked(int x, int y) const {
    return Channel(x, y, 0) + Channel(x, y, 1) + Channel(x, y, 2) > 150;
  }
  int InkInRows(int top, int bottom) const { return Count(0, top, width, bottom, &Picture::Inked); }
  int LowestInkedRow() const;
  // The pixels of the rectangle [left, right) x [top, bottom) that `test` accepts.
  int Count(int left, int top, int right, int bottom,
            const std::function<bool(const Picture&, int, int)>& test) const;
};

// Reads a binary PPM (P6, maxval 255); an invalid Picture when it is not one.
Picture ParsePpm(const std::string& bytes);

// Runs a shell command in `cwd`; a failure fails the test. Returns its output.
std::string Shell(const std::string& command, const std::filesystem::path& cwd);

// One window of the X server, driven like a player would.
class XWindow {
 public:
  // Waits (up to 30 s) for a window whose title contains `title`.
  static XWindow Find(const std::string& title);

  bool Valid() const { return !id_.empty(); }
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
