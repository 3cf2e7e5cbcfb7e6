// Xlib stays in this file: its macros (Bool, None, Status...) clash with
// googletest's names.
#include "support/XImage.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>

namespace tessel::test {
namespace {

// Windows come and go while a test reads one (the engine may quit between
// two grabs): a vanished window is an empty picture, not a reason to end the
// test process, which is what the default handler does.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

Display* Connection() {
  static Display* display = [] {
    XSetErrorHandler(IgnoreXError);
    return XOpenDisplay(std::getenv("DISPLAY"));
  }();
  return display;
}

}  // namespace

bool ReadWindowRgb(unsigned long window, int* width, int* height, std::string* rgb) {
  Display* display = Connection();
  if (display == nullptr || window == 0) return false;
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, window, &attributes) == 0) return false;
  XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height,
                            AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  *width = attributes.width;
  *height = attributes.height;
  rgb->resize(static_cast<std::size_t>(*width) * *height * 3);
  std::size_t at = 0;
  for (int y = 0; y < *height; ++y) {
    for (int x = 0; x < *width; ++x) {
      const unsigned long value = XGetPixel(image, x, y);
      (*rgb)[at++] = static_cast<char>(value >> 16);
      (*rgb)[at++] = static_cast<char>(value >> 8);
      (*rgb)[at++] = static_cast<char>(value);
    }
  }
  XDestroyImage(image);
  return true;
}

}  // namespace tessel::test
