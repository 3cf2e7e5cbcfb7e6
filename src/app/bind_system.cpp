// Script commands that act on the engine itself.
#include <SDL.h>

#include "script/CommandFamilies.h"

namespace tessel {
namespace {

class SystemExit final : public ScriptFunction {
  int Invoke() override {
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    return 0;
  }
};

class SystemReset final : public ScriptFunction {
  int Invoke() override {
    // Posted for handlers that may want it; nothing in the engine resets on it.
    SDL_Event event{};
    event.type = SDL_USEREVENT;
    SDL_PushEvent(&event);
    return 0;
  }
};

class DebugProfile final : public ScriptFunction {
  int Invoke() override { return 0; }
};

constexpr CommandEntry kCommands[] = {
    {"SystemExit", MakeCommand<SystemExit>, 48},
    {"SystemReset", MakeCommand<SystemReset>, 53},
    {"DebugProfile", MakeCommand<DebugProfile>, 60},
};

}  // namespace

std::span<const CommandEntry> SystemCommands() { return kCommands; }

}  // namespace tessel
