#include "app/WindowIcon.h"

#include <SDL.h>

#include "core/DebugLog.h"
#include "graphics/Surface.h"

namespace tessel {
namespace {

// The media layer may keep using the surface it was given: it lives here
// until the next icon replaces it.
SurfacePtr& Kept() {
  static SurfacePtr icon;
  return icon;
}

}  // namespace

bool WindowIcon::Set(const std::string& name) {
  SurfacePtr picture = LoadImage(name);  // logs why when it fails
  if (!picture) {
    DebugLog::Print("SetWindowIcon: '%s' is no picture; the window icon is unchanged.\n",
                    name.c_str());
    return false;
  }
  Kept() = std::move(picture);
  Apply();
  return true;
}

void WindowIcon::Apply() {
  if (Kept()) SDL_WM_SetIcon(Kept().get(), nullptr);
}

int WindowIcon::Width() { return Kept() ? Kept()->w : 0; }
int WindowIcon::Height() { return Kept() ? Kept()->h : 0; }

void WindowIcon::Forget() { Kept().reset(); }

}  // namespace tessel
