#pragma once

struct lua_State;

namespace tessel::baseline {

// Tables kept in the Lua registry by CaptureLuaBaseline:
//   names:  library object -> its name in a fresh state
//   named:  name -> library object
//   fields: library table -> a copy of its fields in a fresh state
// Each Push leaves the table (or nil before a capture) on the stack.
void PushNames(lua_State* state);
void PushNamed(lua_State* state);
void PushFields(lua_State* state);

}  // namespace tessel::baseline
