#include "app/Window.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/DebugLog.h"
#include "graphics/ScreenSurface.h"
#include "app/WindowIcon.h"
#include "graphics/WindowSize.h"

namespace tessel {
namespace {

void ReportProcessor() {
  DebugLog::Banner("Begin Check CPU Extensions.\n");
  struct Feature {
    const char* line;
    SDL_bool (*query)();
  };
  static const Feature kFeatures[] = {
      {"RDTSC    Support    : %s\n", SDL_HasRDTSC},   {"MMX      Support    : %s\n", SDL_HasMMX},
      {"MMEExt   Support    : %s\n", SDL_HasMMXExt},  {"3DNow    Support    : %s\n", SDL_Has3DNow},
      {"3DNowExt Support    : %s\n", SDL_Has3DNowExt}, {"SSE      Support    : %s\n", SDL_HasSSE},
      {"SSE2     Support    : %s\n", SDL_HasSSE2},    {"AltiVec  Support    : %s\n", SDL_HasAltiVec},
  };
  for (const Feature& feature : kFeatures) {
    DebugLog::Print(feature.line, feature.query() == 1 ? "YES" : "NO");
  }
  DebugLog::Banner("End Check CPU Extensions.\n");
}

const char* GlString(GLenum name) {
  const GLubyte* text = glGetString(name);
  return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

int GlAttribute(SDL_GLattr attribute) {
  int value = 0;
  SDL_GL_GetAttribute(attribute, &value);
  return value;
}

void ReportOpenGl() {
  std::printf("\n");
  std::printf("Vendor     : %s\n", GlString(GL_VENDOR));
  std::printf("Renderer   : %s\n", GlString(GL_RENDERER));
  std::printf("Version    : %s\n", GlString(GL_VERSION));
  std::printf("Extensions : %s\n", GlString(GL_EXTENSIONS));
  std::printf("\n");
  std::printf("SDL_GL_RED_SIZE: requetsed 8, got %d\n", GlAttribute(SDL_GL_RED_SIZE));
  std::printf("SDL_GL_GREEN_SIZE: requested 8, got %d\n", GlAttribute(SDL_GL_GREEN_SIZE));
  std::printf("SDL_GL_BLUE_SIZE: requested 8, got %d\n", GlAttribute(SDL_GL_BLUE_SIZE));
  std::printf("SDL_GL_ALPHA_SIZE: requested 8, got %d\n", GlAttribute(SDL_GL_ALPHA_SIZE));
  std::printf("SDL_GL_DEPTH_SIZE: requested 32, got %d\n", GlAttribute(SDL_GL_DEPTH_SIZE));
  std::printf("SDL_GL_DOUBLEBUFFER: requested 1, got %d\n", GlAttribute(SDL_GL_DOUBLEBUFFER));
}

#if defined(__SANITIZE_ADDRESS__)
// Sanitizer builds only: the media layer unloads the OpenGL driver (and what
// it pulled in) at exit or when video is shut down, after which leak reports
// from those libraries have no module name and cannot be told apart from
// ours. Pinning every library loaded once a window exists keeps them named
// (and suppressed).
int PinLibrary(dl_phdr_info* info, size_t, void*) {
  const char* name = info->dlpi_name;
  if (name != nullptr && *name != '\0') dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  return 0;
}
void PinGraphicsLibraries() { dl_iterate_phdr(&PinLibrary, nullptr); }
#else
void PinGraphicsLibraries() {}
#endif

// No window side may pass this, whatever the driver says: larger windows
// crash the window system's image copy on the first buffer swap.
constexpr int kMaxWindowSide = 16384;

// The largest side the driver can draw: known once an OpenGL context exists
// (a second InitWindow, or after the mode is set); before that, the cap.
int MaxWindowSide() {
  SDL_Surface* screen = SDL_GetVideoSurface();
  if (screen == nullptr || (screen->flags & SDL_OPENGL) == 0) return kMaxWindowSide;
  GLint dims[2] = {0, 0};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
  int limit = kMaxWindowSide;
  if (dims[0] > 0) limit = std::min(limit, static_cast<int>(dims[0]));
  if (dims[1] > 0) limit = std::min(limit, static_cast<int>(dims[1]));
  return limit;
}

[[noreturn]] void VideoModeFailed(int width, int height) {
  std::fprintf(stderr, "Couldn't set %dx%dvideo mode: %s\n", width, height, SDL_GetError());
  // Deep inside a script call: end here without unwinding into static
  // destructors that the engine's own objects still depend on.
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(2);
}

// A size the driver cannot draw is refused as a video mode the media layer
// refused, before any window is asked for.
void CheckWindowSize(int width, int height) {
  const int limit = MaxWindowSide();
  if (width < 0 || height < 0) {
    SDL_SetError("a window cannot have a negative size");
    VideoModeFailed(width, height);
  }
  if (width > limit || height > limit) {
    SDL_SetError("a window may be at most %d pixels a side", limit);
    VideoModeFailed(width, height);
  }
}

}  // namespace

namespace {
std::optional<PixelSize> g_asked_size;
}  // namespace

std::optional<PixelSize> AskedWindowSize() { return g_asked_size; }

void InitWindow(int width, int height) {
  g_asked_size = PixelSize{width, height};
  ReportProcessor();
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 32);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  CheckWindowSize(width, height);
  WindowIcon::Apply();  // some window systems read the icon only at a mode set
  if (!ScreenSurface::SetMode(width, height, 32, SDL_OPENGL | SDL_HWSURFACE | SDL_ANYFORMAT)) {
    VideoModeFailed(width, height);
  }
  PinGraphicsLibraries();
  ReportOpenGl();

  // The granted surface decides the viewport: InitWindow(0, 0) gets the
  // desktop size, and a 0x0 viewport would show nothing.
  SDL_Surface* screen = ScreenSurface::Get();
  const int granted_width = screen != nullptr ? screen->w : width;
  const int granted_height = screen != nullptr ? screen->h : height;
  // Size 0 asks for the desktop's, which the driver may not be able to draw.
  if (granted_width > MaxWindowSide() || granted_height > MaxWindowSide()) {
    SDL_SetError("the granted %dx%d window is larger than OpenGL can draw", granted_width,
                 granted_height);
    VideoModeFailed(width, height);
  }
  AdoptWindowSize({width, height}, /*full_screen=*/false);
  glEnable(GL_DEPTH_TEST);
  glShadeModel(GL_SMOOTH);
  const Color& color = BaseColor();
  glClearColor(static_cast<float>(color.red), static_cast<float>(color.green),
               static_cast<float>(color.blue), static_cast<float>(color.alpha));
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  SDL_GL_SwapBuffers();
}

}  // namespace tessel
