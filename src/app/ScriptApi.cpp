#include "app/ScriptApi.h"

#include <string>
#include <vector>

#include "core/DebugLog.h"
#include "script/CommandFamilies.h"
#include "script/FunctionNameList.h"
#include "script/ScriptHost.h"

namespace tessel {

// The families, each listed by its binding file (bind_*.cpp beside its classes).
std::span<const CommandEntry> SystemCommands();         // app/bind_system.cpp
std::span<const CommandEntry> WindowCommands();         // app/bind_window.cpp
std::span<const CommandEntry> EventCommands();          // event/bind_event.cpp
std::span<const CommandEntry> ResourceCommands();       // resource/bind_resource.cpp
std::span<const CommandEntry> TextureCommands();        // graphics/bind_texture.cpp
std::span<const CommandEntry> LayerCommands();          // graphics/bind_layer.cpp
std::span<const CommandEntry> EffectCommands();         // graphics/bind_effect.cpp
std::span<const CommandEntry> FontCommands();           // text/bind_font.cpp
std::span<const CommandEntry> ScenarioLayerCommands();  // text/bind_scenario_layer.cpp
std::span<const CommandEntry> SoundCommands();          // sound/bind_sound.cpp

namespace {

using Family = std::span<const CommandEntry> (*)();

constexpr Family kFamilies[] = {
    SystemCommands,  WindowCommands, EventCommands, ResourceCommands,      TextureCommands,
    LayerCommands,   EffectCommands, FontCommands,  ScenarioLayerCommands, SoundCommands,
};

// Commands beyond the 60; a new family adds its list here.
constexpr Family kExtensionFamilies[] = {WindowIconCommands};

// The 60 engine commands by number. A number that no family claims keeps the
// base command, which does nothing, rather than a crash; the command-table
// test and the reference check both fail on such a gap.
const std::array<const CommandEntry*, ScriptApi::kCommandCount>& NumberedCommands() {
  static const auto kTable = [] {
    std::array<const CommandEntry*, ScriptApi::kCommandCount> table{};
    for (Family family : kFamilies) {
      for (const CommandEntry& entry : family()) {
        if (entry.number >= 1 && entry.number <= static_cast<int>(table.size())) {
          table[entry.number - 1] = &entry;
        }
      }
    }
    return table;
  }();
  return kTable;
}

}  // namespace

const std::array<const char*, ScriptApi::kCommandCount>& ScriptApi::CommandNames() {
  static const auto kNames = [] {
    std::array<const char*, kCommandCount> names{};
    for (std::size_t i = 0; i < names.size(); ++i) {
      const CommandEntry* entry = NumberedCommands()[i];
      names[i] = entry ? entry->name : "";
    }
    return names;
  }();
  return kNames;
}

namespace {

// Every internal name, the 60 first.
std::vector<const char*> AllCommandNames() {
  std::vector<const char*> names(ScriptApi::CommandNames().begin(), ScriptApi::CommandNames().end());
  names.insert(names.end(), ScriptApi::ExtensionNames().begin(), ScriptApi::ExtensionNames().end());
  return names;
}

}  // namespace

const std::vector<const char*>& ScriptApi::ExtensionNames() {
  static const std::vector<const char*> kNames = [] {
    std::vector<const char*> names;
    for (Family family : kExtensionFamilies) {
      for (const CommandEntry& entry : family()) names.push_back(entry.name);
    }
    return names;
  }();
  return kNames;
}

ScriptApi::ScriptApi(std::string_view function_name_list) {
  for (const CommandEntry* entry : NumberedCommands()) {
    commands_.push_back(entry ? entry->make() : std::make_unique<ScriptFunction>());
    commands_.back()->SetName(entry ? entry->name : "");
  }
  for (Family family : kExtensionFamilies) {
    for (const CommandEntry& entry : family()) {
      commands_.push_back(entry.make());
      commands_.back()->SetName(entry.name);
    }
  }

  DebugLog::Banner("Begin Loading Function Name List.\n");
  FunctionNameList list(function_name_list);
  list.Load();
  DebugLog::Banner("End Loading Function Name List.\n");

  for (const auto& [key, value] : list.Names()) {
    if (!key.empty() && Find(key) == nullptr) {
      DebugLog::Print("funcdef.tsl: '%s' names no command; its line is ignored.\n", key.c_str());
    }
  }

  // Commands the list leaves out keep their internal names. They are registered
  // first, so that a name the list gives always wins over an internal one.
  ScriptHost& host = Host();
  const std::vector<const char*> names = AllCommandNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (list.Lookup(names[i]).empty()) host.Register(names[i], commands_[i].get());
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::string script_name = list.Lookup(names[i]);
    if (!script_name.empty()) host.Register(script_name, commands_[i].get());
  }
}

ScriptApi::~ScriptApi() {
  // Reverse order of construction.
  while (!commands_.empty()) commands_.pop_back();
}

ScriptFunction* ScriptApi::Find(std::string_view internal_name) const {
  const std::vector<const char*> names = AllCommandNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (internal_name == names[i]) return commands_[i].get();
  }
  return nullptr;
}

}  // namespace tessel
