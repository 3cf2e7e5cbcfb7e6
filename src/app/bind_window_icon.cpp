// Extension family: the window icon.
#include "core/DebugLog.h"
#include "app/WindowIcon.h"
#include "script/CommandFamilies.h"

namespace tessel {
namespace {

class SetWindowIcon final : public ScriptFunction {
  int Invoke() override {
    if (!IsStringTypeArg(1)) {
      DebugLog::Print("SetWindowIcon: needs the name of a picture file.\n");
      return 0;
    }
    WindowIcon::Set(ArgString(1));
    return 0;
  }
};

constexpr CommandEntry kCommands[] = {
    {"SetWindowIcon", MakeCommand<SetWindowIcon>},
};

}  // namespace

std::span<const CommandEntry> WindowIconCommands() { return kCommands; }

}  // namespace tessel
