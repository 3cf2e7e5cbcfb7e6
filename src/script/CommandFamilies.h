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

// Each family's binding file (bind_*.cpp beside its classes) lists its
// commands as `std::span<const CommandEntry> NameCommands()`; the command
// table of the game session gathers the families.

// Extension families: commands beyond the 60, under names of their own. They
// are listed in ScriptApi.cpp's kExtensionFamilies and never change the 60.
std::span<const CommandEntry> WindowIconCommands();     // app/bind_window_icon.cpp
std::span<const CommandEntry> SaveCommands();           // app/bind_save.cpp

}  // namespace tessel
