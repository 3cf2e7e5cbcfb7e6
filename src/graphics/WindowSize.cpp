#include "graphics/WindowSize.h"

#include <GL/glx.h>
#include <SDL.h>
#include <SDL_opengl.h>
#include <X11/Xlib.h>
#include <GL/glu.h>

#include <cstdlib>

#include "core/DebugLog.h"
#include "graphics/ScreenSurface.h"

namespace tessel {
namespace {

WindowSizeSource g_source;
std::optional<PixelSize> g_adopted;
const SDL_Surface* g_adopted_for = nullptr;
PixelSize g_adopted_surface;

std::optional<PixelSize> SurfaceSize() {
  const SDL_Surface* screen = ScreenSurface::Get();
  if (screen == nullptr) return std::nullopt;
  return PixelSize{screen->w, screen->h};
}

// The drawable of the current OpenGL context, as the X server sizes it.
std::optional<PixelSize> WindowSystemSize() {
  Display* display = glXGetCurrentDisplay();
  const GLXDrawable drawable = glXGetCurrentDrawable();
  if (display == nullptr || drawable == 0) return std::nullopt;
  Window root = 0;
  int x = 0;
  int y = 0;
  unsigned width = 0;
  unsigned height = 0;
  unsigned border = 0;
  unsigned depth = 0;
  if (XGetGeometry(display, drawable, &root, &x, &y, &width, &height, &border, &depth) == 0) {
    return std::nullopt;
  }
  return PixelSize{static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace

void SetWindowSizeSource(WindowSizeSource source) { g_source = std::move(source); }

void PrepareVideoDriver() {
  // Left to its default, the layer draws into a picture of the asked size and
  // scales that to the size it believes the window has, which is wrong when
  // the window system did not resize the window. A user's own setting stays.
  setenv("SDL12COMPAT_OPENGL_SCALING", "0", /*overwrite=*/0);
}

void AdoptWindowSize(PixelSize asked, bool full_screen) {
  std::optional<PixelSize> got = g_source ? g_source() : WindowSystemSize();
  if (!got || got->width <= 0 || got->height <= 0) got = SurfaceSize();
  if (!got || got->width <= 0 || got->height <= 0) got = asked;
  g_adopted = got;
  g_adopted_for = ScreenSurface::Get();
  g_adopted_surface = SurfaceSize().value_or(PixelSize{});
  DebugLog::Print("Video mode %dx%d%s: the window is %dx%d; drawing at that size.\n", asked.width,
                  asked.height, full_screen ? " (full screen)" : "", got->width, got->height);

  glViewport(0, 0, got->width, got->height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const double aspect =
      got->height > 0 ? static_cast<double>(got->width) / got->height : 1.0;
  gluPerspective(60.0, aspect, static_cast<double>(0.1f), 20.0);
}

PixelSize DrawingSize() {
  const SDL_Surface* screen = ScreenSurface::Get();
  if (screen == nullptr) return {};
  // A size adopted for an earlier surface (a test that opened its own) is stale.
  if (g_adopted && g_adopted_for == screen && g_adopted_surface == PixelSize{screen->w, screen->h}) {
    return *g_adopted;
  }
  return PixelSize{screen->w, screen->h};
}

}  // namespace tessel
