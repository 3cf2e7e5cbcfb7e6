// Script commands of the event-handler family.
#include "event/ScriptEventHandler.h"

#include "core/DebugLog.h"
#include "script/CommandFamilies.h"
#include "script/HandleCommand.h"

namespace tessel {
namespace {

class CreateEventHandler final : public ScriptFunction {
  int Invoke() override {
    return PushObject(Registry().Add(std::make_unique<ScriptEventHandler>()));
  }
};

class ReleaseEventHandler final : public HandleCommand<ScriptEventHandler> {
  int Run(ScriptEventHandler& handler) override {
    EventHandlerList::Remove(&handler);
    Registry().Release(&handler);
    return 0;
  }
};

class SetEventHandler final : public HandleCommand<ScriptEventHandler> {
  int Run(ScriptEventHandler& handler) override {
    EventHandlerList::Add(&handler);
    return 0;
  }
};

class ResetEventHandler final : public HandleCommand<ScriptEventHandler> {
  int Run(ScriptEventHandler& handler) override {
    EventHandlerList::Remove(&handler);
    return 0;
  }
};

class SetEventHandlerFunc final : public HandleCommand<ScriptEventHandler> {
  int Run(ScriptEventHandler& handler) override {
    int index = ArgInt(2);
    const char* name = IsStringTypeArg(3) ? ArgString(3) : nullptr;
    if (index < 0 || index >= ScriptEventHandler::kSlotCount) {
      DebugLog::Print("SetEventHandlerFunc: index %d is outside 0..7; nothing changed.\n", index);
      return 0;
    }
    if (name == nullptr) {
      DebugLog::Print("SetEventHandlerFunc: the function name is not a string; nothing changed.\n");
      return 0;
    }
    handler.SetCallback(index, name);
    return 0;
  }
};

constexpr CommandEntry kCommands[] = {
    {"CreateEventHandler", MakeCommand<CreateEventHandler>, 55},
    {"SetEventHandlerFunc", MakeCommand<SetEventHandlerFunc>, 59},
    {"SetEventHandler", MakeCommand<SetEventHandler>, 57},
    {"ResetEventHandler", MakeCommand<ResetEventHandler>, 58},
    {"ReleaseEventHandler", MakeCommand<ReleaseEventHandler>, 56},
};

}  // namespace

std::span<const CommandEntry> EventCommands() { return kCommands; }

}  // namespace tessel
