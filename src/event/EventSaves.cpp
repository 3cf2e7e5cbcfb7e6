#include "event/EventSaves.h"

#include <cstdint>

#include "core/SaveSections.h"
#include "event/EventHandler.h"
#include "event/ScriptEventHandler.h"
#include "script/ObjectSaves.h"

namespace tessel {
namespace {

constexpr std::size_t kMaxNameLength = 4096;

// Only the objects a save holds: the engine's own handlers (the system
// handler, the sound idle, choice buttons) are put back by their owners.
void WriteHandlerList(SaveWriter& out) {
  std::vector<std::uint64_t> ids;
  EventHandlerList::ForEach([&](EventHandler& handler) {
    auto* object = dynamic_cast<EngineObject*>(&handler);
    if (object != nullptr && object->SaveKind() != nullptr) ids.push_back(object->Id());
  });
  out.U32(static_cast<std::uint32_t>(ids.size()));
  for (std::uint64_t id : ids) out.U64(id);
}

std::function<void()> ReadHandlerList(SaveReader& in) {
  const std::uint32_t count = in.Count(8);
  std::vector<std::uint64_t> ids;
  for (std::uint32_t i = 0; i < count && in.Ok(); ++i) ids.push_back(in.U64());
  if (!in.Ok()) return {};
  return [ids] {
    for (std::uint64_t id : ids) {
      const void* handle = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(id));
      auto* handler = Registry().Find<EventHandler>(handle);
      // Re-added at the end, so the saved order holds whatever joined while rebuilding.
      EventHandlerList::Remove(handler);
      EventHandlerList::Add(handler);
    }
  };
}

}  // namespace

void ScriptEventHandler::SaveState(SaveWriter& out) const {
  for (const std::string& name : names_) out.String(name);
}

void RegisterEventSaveSections() {
  RegisterObjectKind(ScriptEventHandler::kSaveKind, [](SaveReader& in) -> ObjectBuilder {
    std::vector<std::string> names;
    for (int i = 0; i < ScriptEventHandler::kSlotCount; ++i) names.push_back(in.String(kMaxNameLength));
    if (!in.Ok()) return {};
    return [names]() -> std::unique_ptr<EngineObject> {
      auto handler = std::make_unique<ScriptEventHandler>();
      for (int i = 0; i < ScriptEventHandler::kSlotCount; ++i) handler->SetCallback(i, names[i]);
      return handler;
    };
  });
  RegisterObjectSection("event handlers", 150, {ScriptEventHandler::kSaveKind});
  // After every object that can stand in the list exists again.
  RegisterSaveSection({"handler list", 700, WriteHandlerList, ReadHandlerList});
}

}  // namespace tessel
