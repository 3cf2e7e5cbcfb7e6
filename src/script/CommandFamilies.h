#pragma once

#include <memory>
#include <span>

#include "script/ScriptFunction.h"

namespace tessel {

// One command of a family: its internal name, how to make its object, and for
// the 60 engine commands their number (1 to 60) in the engine's command table,
// which fixes their registration order. Extension commands have no number.
// The binding files are the one place these names are written; the command
// reference and the tools read them from there.
struct CommandEntry {
  const char* name;
  std::unique_ptr<ScriptFunction> (*make)();
  int number = 0;
};

template <class T>
std::unique_ptr<ScriptFunction> MakeCommand() {
  return std::make_unique<T>();
}

// Each family's binding file (bind_*.cpp beside its classes) lists its
// commands, in the order the reference presents them, as
// `std::span<const CommandEntry> NameCommands()`; the command table of the
// game session gathers the families.

// Extension families: commands beyond the 60, under names of their own. They
// are listed in ScriptApi.cpp's kExtensionFamilies and never change the 60.
std::span<const CommandEntry> WindowIconCommands();     // app/bind_window_icon.cpp

}  // namespace tessel
