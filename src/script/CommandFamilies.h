#pragma once

#include <memory>
#include <span>

#include "script/ScriptFunction.h"

namespace tessel {

// One command of a family: its internal name and how to make its object.
struct CommandEntry {
  const char* name;
  std::unique_ptr<ScriptFunction> (*make)();
};

template <class T>
std::unique_ptr<ScriptFunction> MakeCommand() {
  return std::make_unique<T>();
}

// Each family's binding file (bind_*.cpp beside its classes) lists its commands.
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

// Extension families: commands beyond the 60, under names of their own. They
// are listed in ScriptApi.cpp's kExtensionFamilies and never change the 60.
std::span<const CommandEntry> WindowIconCommands();     // app/bind_window_icon.cpp

}  // namespace tessel
