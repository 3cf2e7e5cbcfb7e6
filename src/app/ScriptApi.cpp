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

const std::array<const char*, ScriptApi::kCommandCount>& ScriptApi::CommandNames() {
  static const std::array<const char*, kCommandCount> kNames = {
      "ArchiveLoad",          "ArchiveRelease",        "ChgFontColor",       "ChgFontStyle",
      "CreateNewFont",        "ReleaseNewFont",        "LayerAddFront",      "LayerSet",
      "CreateLayer",          "ReleaseLayer",          "VisibleLayer",       "OffsetLayer",
      "DeleteLayer",          "EffectCopy",            "ChgLayerNum",        "ChgLayerAlpha",
      "SetLayerISize",        "StopLayerEffect",       "SetLayerBlendParam", "ScaleLayer",
      "RotateLayer",          "GetLayerSize",          "GetLayerOffset",     "SetTransformCenter",
      "LoadTexImage",         "ReleaseTexImage",       "GetTexImageInf",     "CreateStringImage",
      "ResizeMesWnd",         "ChgMesWait",            "CreateScenarioLayer", "EnableScenarioLayer",
      "DisableScenarioLayer", "MesWndWait",            "SetMesKeywaitFunc",  "AllocateChunkChannel",
      "CreateChunk",          "CreateMusic",           "PlaySoundData",      "StopSoundData",
      "SetChannelToChunkData", "FadeInSoundData",      "FadeOutSoundData",   "PauseSoundData",
      "ResumeSoundData",      "ReleaseSoundData",      "SetSoundDataVolume", "SystemExit",
      "ChgCaption",           "InitWindow",            "FrameRateControl",   "SetBaseColor",
      "SystemReset",          "GetWindowSize",         "CreateEventHandler", "ReleaseEventHandler",
      "SetEventHandler",      "ResetEventHandler",     "SetEventHandlerFunc", "DebugProfile",
  };
  return kNames;
}

namespace {

using Family = std::span<const CommandEntry> (*)();

// Commands beyond the 60; a new family adds its list here.
constexpr Family kExtensionFamilies[] = {WindowIconCommands, SaveCommands};

std::unique_ptr<ScriptFunction> MakeByName(std::string_view name) {
  static const Family kFamilies[] = {
      SystemCommands,  WindowCommands, EventCommands, ResourceCommands,      TextureCommands,
      LayerCommands,   EffectCommands, FontCommands,  ScenarioLayerCommands, SoundCommands,
  };
  for (Family family : kFamilies) {
    for (const CommandEntry& entry : family()) {
      if (name == entry.name) return entry.make();
    }
  }
  // Every name in the table has a family; an unknown one gets the base
  // command, which does nothing, rather than a crash.
  return std::make_unique<ScriptFunction>();
}

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
  for (const char* name : CommandNames()) {
    commands_.push_back(MakeByName(name));
    commands_.back()->SetName(name);
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
