// Script commands of the window family.
#include "app/FrameRate.h"
#include "app/Window.h"
#include "core/DebugLog.h"
#include "graphics/ScreenSurface.h"
#include "script/CommandFamilies.h"

namespace tessel {
namespace {

class InitWindowCommand final : public ScriptFunction {
  int Invoke() override {
    InitWindow(ArgInt(1), ArgInt(2));
    return 0;
  }
};

class ChgCaption final : public ScriptFunction {
  int Invoke() override {
    // The window system takes UTF-8, which is what scripts hold.
    const char* title = IsStringTypeArg(1) ? ArgString(1) : "";
    const char* icon = IsStringTypeArg(2) ? ArgString(2) : "";
    ScreenSurface::SetCaption(title, icon);
    return 0;
  }
};

class FrameRateControl final : public ScriptFunction {
  int Invoke() override {
    int rate = ArgInt(1);
    if (!SetFrameRate(rate)) {
      DebugLog::Print("FrameRateControl: %d frames per second is not a rate; the rate is unchanged.\n",
                      rate);
    }
    return 0;
  }
};

class SetBaseColor final : public ScriptFunction {
  int Invoke() override {
    // Scripts pass alpha, blue, green, red.
    Color& color = BaseColor();
    color.red = ArgNumber(4);
    color.green = ArgNumber(3);
    color.blue = ArgNumber(2);
    color.alpha = ArgNumber(1);
    return 0;
  }
};

class GetWindowSize final : public ScriptFunction {
  int Invoke() override {
    SDL_Surface* screen = ScreenSurface::Get();
    PushInt(screen != nullptr ? screen->w : 0);
    PushInt(screen != nullptr ? screen->h : 0);
    return 2;
  }
};

constexpr CommandEntry kCommands[] = {
    {"InitWindow", MakeCommand<InitWindowCommand>, 50},
    {"ChgCaption", MakeCommand<ChgCaption>, 49},
    {"SetBaseColor", MakeCommand<SetBaseColor>, 52},
    {"FrameRateControl", MakeCommand<FrameRateControl>, 51},
    {"GetWindowSize", MakeCommand<GetWindowSize>, 54},
};

}  // namespace

std::span<const CommandEntry> WindowCommands() { return kCommands; }

}  // namespace tessel
