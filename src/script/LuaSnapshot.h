#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/SaveStream.h"

struct lua_State;

namespace tessel {

// The game's Lua data, saved as what it adds to a fresh state: every value
// reachable from the globals that the standard libraries and the commands do
// not already hold. Library tables and C functions are saved by the name they
// have in a fresh state ("string.format", "SaveGame"), so they are found
// again in the loading process rather than copied.

// Remembers what a fresh state holds: call once the commands are registered
// and before any game script runs. Without it nothing counts as fresh.
void CaptureLuaBaseline(lua_State* state);

// Writes the data; each value that cannot be saved (a coroutine, a file, a
// C function of unknown origin) is left out with one log line naming where it
// was found ("inventory.timer"), and reads as nil after a load.
void WriteLuaData(lua_State* state, SaveWriter& out);

// A value as stored: nil, false, true, number, string, handle, or a reference
// to one of the objects (tables and functions) by index.
struct LuaSavedValue {
  enum class Kind : std::uint8_t { kNil, kFalse, kTrue, kNumber, kString, kHandle, kObject };
  Kind kind = Kind::kNil;
  double number = 0;
  std::string text;
  std::uint64_t id = 0;  // handle id or object index
};

struct LuaSavedObject {
  enum class Kind : std::uint8_t { kTable = 1, kLibraryTable, kFunction, kLibraryFunction };
  Kind kind = Kind::kTable;
  std::string name_or_code;  // a library object's name; a function's compiled code
  std::vector<std::pair<LuaSavedValue, LuaSavedValue>> fields;  // a library table: its changes
  LuaSavedValue metatable;
  std::vector<LuaSavedValue> upvalues;
};

struct LuaSavedData {
  std::vector<LuaSavedObject> objects;  // objects[0] is the globals table
};

// Parses and checks the bytes without touching the state's data: every
// reference in range, every library name known to this engine. Nothing (and
// the reader failed) when they do not hold.
std::shared_ptr<LuaSavedData> ReadLuaData(lua_State* state, SaveReader& in);

// Replaces the game's data with the saved data: everything is built first,
// then the library tables (the globals among them) are set back to what a
// fresh state holds and the saved changes applied. Restored functions get the
// globals as their environment.
void ApplyLuaData(lua_State* state, const LuaSavedData& data);

// Loading saved functions runs compiled code that Lua 5.1 does not verify; a
// build that feeds the reader random bytes turns it off (functions then read as nil).
void SetFunctionCodeLoading(bool on);

// The "lua" section of a save file, after every engine object (its handles).
void RegisterLuaSaveSection();

}  // namespace tessel
