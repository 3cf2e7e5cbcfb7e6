#include "app/WindowSaves.h"

#include <SDL.h>

#include "app/FrameRate.h"
#include "app/Window.h"
#include "core/SaveSections.h"
#include "graphics/ScreenSurface.h"

namespace tessel {
namespace {

constexpr std::int32_t kMaxSide = 1 << 16;
constexpr std::size_t kMaxCaptionLength = 1 << 16;

struct WindowState {
  bool opened = false;
  PixelSize size;
  std::string title;
  std::string icon_title;
  Color base;
  std::uint32_t frame_threshold = 0;
};

void WriteWindow(SaveWriter& out) {
  const std::optional<PixelSize> asked = AskedWindowSize();
  out.Bool(asked.has_value() && ScreenSurface::Get() != nullptr);
  out.I32(asked ? asked->width : 0);
  out.I32(asked ? asked->height : 0);
  char* title = nullptr;
  char* icon_title = nullptr;
  SDL_WM_GetCaption(&title, &icon_title);
  out.String(title != nullptr ? title : "");
  out.String(icon_title != nullptr ? icon_title : "");
  const Color& base = BaseColor();
  for (double channel : {base.red, base.green, base.blue, base.alpha}) out.F64(channel);
  out.U32(FrameThreshold());
}

void ApplyWindow(const WindowState& state) {
  // Opening the window again would flash it and reset its place on screen:
  // only a window of another size (or none yet) is made anew.
  if (state.opened && (ScreenSurface::Get() == nullptr || AskedWindowSize() != state.size)) {
    InitWindow(state.size.width, state.size.height);
  }
  ScreenSurface::SetCaption(state.title.c_str(), state.icon_title.c_str());
  BaseColor() = state.base;
  SetFrameThreshold(state.frame_threshold);
}

std::function<void()> ReadWindow(SaveReader& in) {
  WindowState state;
  state.opened = in.Bool();
  state.size.width = in.I32();
  state.size.height = in.I32();
  state.title = in.String(kMaxCaptionLength);
  state.icon_title = in.String(kMaxCaptionLength);
  state.base.red = in.F64();
  state.base.green = in.F64();
  state.base.blue = in.F64();
  state.base.alpha = in.F64();
  state.frame_threshold = in.U32();
  if (in.Ok() && (state.size.width < 0 || state.size.height < 0 || state.size.width > kMaxSide ||
                  state.size.height > kMaxSide)) {
    in.Fail("the window size is out of range");
  }
  if (in.Ok() && state.frame_threshold > 1000) in.Fail("the frame rate is out of range");
  if (!in.Ok()) return {};
  return [state] { ApplyWindow(state); };
}

}  // namespace

void RegisterAppSaveSections() {
  // Before any texture is made again: pictures upload into the window's context.
  RegisterSaveSection({"window", 50, WriteWindow, ReadWindow});
}

}  // namespace tessel
