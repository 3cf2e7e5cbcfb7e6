#include "graphics/WindowGrabber.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tessel::test {
namespace {

Window Search(Display* display, Window window, const std::string& caption) {
  char* name = nullptr;
  if (XFetchName(display, window, &name) != 0 && name != nullptr) {
    const bool match = caption == name;
    XFree(name);
    if (match) return window;
  }
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  Window found = 0;
  if (XQueryTree(display, window, &root, &parent, &children, &count) != 0) {
    for (unsigned int i = 0; i < count && found == 0; ++i)
      found = Search(display, children[i], caption);
    if (children != nullptr) XFree(children);
  }
  return found;
}

// Other tests' windows come and go while the tree is walked: a window gone
// between the listing and the question is no match, not a reason to exit
// (the default handler ends the process).
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

WindowGrabber::WindowGrabber(const char* display_name) : display_(XOpenDisplay(display_name)) {
  XSetErrorHandler(IgnoreXError);
}

WindowGrabber::~WindowGrabber() {
  if (display_ != nullptr) XCloseDisplay(static_cast<Display*>(display_));
}

bool WindowGrabber::Find(const std::string& caption) {
  if (display_ == nullptr) return false;
  if (window_ == 0) {
    auto* display = static_cast<Display*>(display_);
    window_ = Search(display, DefaultRootWindow(display), caption);
  }
  return window_ != 0;
}

Rgba WindowGrabber::Pixel(int x, int y) const {
  if (display_ == nullptr || window_ == 0) return {0, 0, 0, 0};
  XImage* image =
      XGetImage(static_cast<Display*>(display_), window_, x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return {0, 0, 0, 0};
  const unsigned long value = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value), 255};
}

}  // namespace tessel::test
