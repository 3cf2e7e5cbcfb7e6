#pragma once

#include <string>

#include "graphics/ImageFiles.h"

namespace tessel::test {

// Reads pixels of another process's window from the X server (Xlib stays in
// its own file: its macros clash with googletest's names).
class WindowGrabber {
 public:
  explicit WindowGrabber(const char* display_name);
  ~WindowGrabber();
  WindowGrabber(const WindowGrabber&) = delete;
  WindowGrabber& operator=(const WindowGrabber&) = delete;

  bool Connected() const { return display_ != nullptr; }
  // Looks for the top-level window whose title is `caption`; true once found.
  bool Find(const std::string& caption);
  // A pixel of the found window, window coordinates; alpha is always 255.
  Rgba Pixel(int x, int y) const;

 private:
  void* display_ = nullptr;
  unsigned long window_ = 0;
};

}  // namespace tessel::test
