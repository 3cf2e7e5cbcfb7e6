// Capturing what a fresh state holds, and writing the game's data.
#include "script/LuaSnapshot.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/DebugLog.h"
#include "script/LuaSnapshotBaseline.h"

namespace tessel {
namespace baseline {

namespace {
constexpr const char* kNames = "tessel.baseline.names";
constexpr const char* kNamed = "tessel.baseline.named";
constexpr const char* kFields = "tessel.baseline.fields";
}  // namespace

void PushNames(lua_State* state) { lua_getfield(state, LUA_REGISTRYINDEX, kNames); }
void PushNamed(lua_State* state) { lua_getfield(state, LUA_REGISTRYINDEX, kNamed); }
void PushFields(lua_State* state) { lua_getfield(state, LUA_REGISTRYINDEX, kFields); }

namespace {

// With names, named and fields at `at`, at+1, at+2: records the value on top
// under `name` when it is a table or function, and a table's fields.
// Returns whether it was a table met for the first time.
bool Record(lua_State* state, int at, const std::string& name) {
  const int type = lua_type(state, -1);
  if (type != LUA_TTABLE && type != LUA_TFUNCTION) return false;
  lua_pushvalue(state, -1);
  lua_setfield(state, at + 1, name.c_str());
  lua_pushvalue(state, -1);
  lua_rawget(state, at);
  const bool known = !lua_isnil(state, -1);
  lua_pop(state, 1);
  if (known) return false;
  lua_pushvalue(state, -1);
  lua_pushstring(state, name.c_str());
  lua_rawset(state, at);
  if (type != LUA_TTABLE) return false;
  lua_pushvalue(state, -1);
  lua_newtable(state);
  lua_pushnil(state);
  while (lua_next(state, -3) != 0) {
    lua_pushvalue(state, -2);
    lua_insert(state, -2);
    lua_rawset(state, -4);
  }
  lua_rawset(state, at + 2);
  return true;
}

}  // namespace
}  // namespace baseline

void CaptureLuaBaseline(lua_State* state) {
  lua_checkstack(state, 16);
  lua_newtable(state);
  lua_newtable(state);
  lua_newtable(state);
  const int at = lua_gettop(state) - 2;
  lua_pushvalue(state, LUA_GLOBALSINDEX);
  baseline::Record(state, at, "_G");
  // Two levels down: globals ("print", "string") and their fields
  // ("string.format", "package.loaded"); "package.loaded"'s own fields are
  // tables met before.
  std::vector<std::string> tables;
  lua_pushnil(state);
  while (lua_next(state, -2) != 0) {
    if (lua_type(state, -2) == LUA_TSTRING) {
      const std::string name = lua_tostring(state, -2);
      if (baseline::Record(state, at, name)) tables.push_back(name);
    }
    lua_pop(state, 1);
  }
  lua_pop(state, 1);
  for (const std::string& outer : tables) {
    lua_getfield(state, LUA_GLOBALSINDEX, outer.c_str());
    lua_pushnil(state);
    while (lua_next(state, -2) != 0) {
      if (lua_type(state, -2) == LUA_TSTRING) {
        baseline::Record(state, at, outer + "." + lua_tostring(state, -2));
      }
      lua_pop(state, 1);
    }
    lua_pop(state, 1);
  }
  lua_setfield(state, LUA_REGISTRYINDEX, baseline::kFields);
  lua_setfield(state, LUA_REGISTRYINDEX, baseline::kNamed);
  lua_setfield(state, LUA_REGISTRYINDEX, baseline::kNames);
}

namespace {

using Kind = LuaSavedValue::Kind;
using ObjectKind = LuaSavedObject::Kind;

bool IsIdentifier(const char* text, std::size_t size) {
  if (size == 0 || (text[0] >= '0' && text[0] <= '9')) return false;
  for (std::size_t i = 0; i < size; ++i) {
    const char c = text[i];
    if (!(c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
      return false;
    }
  }
  return true;
}

int DumpPiece(lua_State*, const void* data, size_t size, void* out) {
  static_cast<std::string*>(out)->append(static_cast<const char*>(data), size);
  return 0;
}

// Walks the data breadth first. Tables and functions become numbered objects
// (a Lua table maps each to its number), so shared references and cycles are
// written once and referred to after.
class DataWriter {
 public:
  DataWriter(lua_State* state, SaveWriter& out) : state_(state), out_(out) {}

  void Write() {
    lua_checkstack(state_, 24);
    // Without a capture nothing counts as fresh (empty tables stand in).
    baseline::PushNames(state_);
    if (!lua_istable(state_, -1)) lua_pop(state_, 1), lua_newtable(state_);
    baseline::PushFields(state_);
    if (!lua_istable(state_, -1)) lua_pop(state_, 1), lua_newtable(state_);
    lua_newtable(state_);  // object -> number
    lua_newtable(state_);  // number -> object
    names_ = lua_gettop(state_) - 3;
    fields_ = names_ + 1;
    numbers_ = names_ + 2;
    list_ = names_ + 3;
    lua_pushvalue(state_, LUA_GLOBALSINDEX);
    Number("_G");
    lua_pop(state_, 1);
    // Every library table, also one the globals no longer reach, so that its
    // changes are kept; in the order of their names, so the bytes are stable.
    for (const std::string& name : LibraryTableNames()) {
      baseline::PushNamed(state_);
      lua_getfield(state_, -1, name.c_str());
      Number(name);
      lua_pop(state_, 2);
    }
    for (std::size_t i = 0; i < paths_.size(); ++i) {
      lua_rawgeti(state_, list_, static_cast<int>(i) + 1);
      Object(i);
      lua_pop(state_, 1);
    }
    lua_pop(state_, 4);
    out_.U32(static_cast<std::uint32_t>(paths_.size()));
    out_.Bytes(body_.Data().data(), body_.Data().size());
  }

 private:
  // The number of the table or function on top, numbered when first met.
  std::uint32_t Number(const std::string& path) {
    lua_pushvalue(state_, -1);
    lua_rawget(state_, numbers_);
    if (!lua_isnil(state_, -1)) {
      const auto number = static_cast<std::uint32_t>(lua_tonumber(state_, -1));
      lua_pop(state_, 1);
      return number;
    }
    lua_pop(state_, 1);
    const auto number = static_cast<std::uint32_t>(paths_.size());
    paths_.push_back(path);
    lua_pushvalue(state_, -1);
    lua_pushnumber(state_, number);
    lua_rawset(state_, numbers_);
    lua_pushvalue(state_, -1);
    lua_rawseti(state_, list_, static_cast<int>(number) + 1);
    return number;
  }

  std::vector<std::string> LibraryTableNames() {
    std::vector<std::string> names;
    lua_pushnil(state_);
    while (lua_next(state_, names_) != 0) {
      if (lua_istable(state_, -2)) names.emplace_back(lua_tostring(state_, -1));
      lua_pop(state_, 1);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  bool LibraryName(std::string& name) {
    lua_pushvalue(state_, -1);
    lua_rawget(state_, names_);
    const bool found = lua_isstring(state_, -1) != 0;
    if (found) name = lua_tostring(state_, -1);
    lua_pop(state_, 1);
    return found;
  }

  // Whether the value on top can be saved; logs it under `path` when not.
  bool Savable(const std::string& path, bool log = true) {
    const int type = lua_type(state_, -1);
    const char* what = nullptr;
    if (type == LUA_TTHREAD) what = "a coroutine";
    if (type == LUA_TUSERDATA) what = "a userdata (an open file?)";
    if (type == LUA_TFUNCTION && lua_iscfunction(state_, -1)) {
      std::string name;
      if (!LibraryName(name)) what = "a built-in function of no known name";
    }
    if (what == nullptr) return true;
    if (log) DebugLog::Print("SaveGame: %s holds %s, which cannot be saved; it reads as nil after a load.\n",
                    path.c_str(), what);
    return false;
  }

  // The value on top; an unsavable value is written as nil (the caller has
  // logged it).
  void Value(SaveWriter& out, const std::string& path) {
    switch (lua_type(state_, -1)) {
      case LUA_TBOOLEAN:
        out.U8(static_cast<std::uint8_t>(lua_toboolean(state_, -1) ? Kind::kTrue : Kind::kFalse));
        return;
      case LUA_TNUMBER:
        out.U8(static_cast<std::uint8_t>(Kind::kNumber));
        out.F64(lua_tonumber(state_, -1));
        return;
      case LUA_TSTRING: {
        std::size_t size = 0;
        const char* text = lua_tolstring(state_, -1, &size);
        out.U8(static_cast<std::uint8_t>(Kind::kString));
        out.String(std::string_view(text, size));
        return;
      }
      case LUA_TLIGHTUSERDATA:
        out.U8(static_cast<std::uint8_t>(Kind::kHandle));
        out.U64(reinterpret_cast<std::uintptr_t>(lua_touserdata(state_, -1)));
        return;
      case LUA_TTABLE:
      case LUA_TFUNCTION:
        if (Savable(path, /*log=*/false)) {
          out.U8(static_cast<std::uint8_t>(Kind::kObject));
          out.U32(Number(path));
          return;
        }
        break;
      default:
        break;
    }
    out.U8(static_cast<std::uint8_t>(Kind::kNil));
  }

  std::string KeyPath(const std::string& owner) {
    if (lua_type(state_, -1) == LUA_TSTRING) {
      std::size_t size = 0;
      const char* text = lua_tolstring(state_, -1, &size);
      if (IsIdentifier(text, size)) return owner == "_G" ? std::string(text, size) : owner + "." + text;
      return owner + "[\"" + std::string(text, size) + "\"]";
    }
    if (lua_type(state_, -1) == LUA_TNUMBER) {
      char number[32];
      std::snprintf(number, sizeof number, "%.14g", lua_tonumber(state_, -1));
      return owner + "[" + number + "]";
    }
    return owner + "[" + luaL_typename(state_, -1) + "]";
  }

  void Object(std::size_t number) {
    const std::string path = paths_[number];
    std::string name;
    const bool library = LibraryName(name);
    if (lua_isfunction(state_, -1)) {
      if (library) {
        body_.U8(static_cast<std::uint8_t>(ObjectKind::kLibraryFunction));
        body_.String(name);
        return;
      }
      Function(path);
      return;
    }
    body_.U8(static_cast<std::uint8_t>(library ? ObjectKind::kLibraryTable : ObjectKind::kTable));
    if (library) body_.String(name);
    Fields(path, library);
    if (library) return;
    if (lua_getmetatable(state_, -1) == 0) lua_pushnil(state_);
    Savable(path + "'s metatable");
    Value(body_, path + "'s metatable");
    lua_pop(state_, 1);
  }

  void Function(const std::string& path) {
    std::string code;
    lua_pushvalue(state_, -1);
    lua_dump(state_, DumpPiece, &code);
    lua_pop(state_, 1);
    body_.U8(static_cast<std::uint8_t>(ObjectKind::kFunction));
    body_.String(code);
    std::vector<std::string> names;
    while (const char* upvalue = lua_getupvalue(state_, -1, static_cast<int>(names.size()) + 1)) {
      names.emplace_back(upvalue);
      lua_pop(state_, 1);
    }
    body_.U32(static_cast<std::uint32_t>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) {
      lua_getupvalue(state_, -1, static_cast<int>(i) + 1);
      Savable(path + "'s upvalue " + names[i]);
      Value(body_, path + "'s upvalue " + names[i]);
      lua_pop(state_, 1);
    }
  }

  // A library table writes only what differs from a fresh state, a removed
  // field as nil; a table of the game's writes every field.
  void Fields(const std::string& path, bool library) {
    const int table = lua_gettop(state_);
    SaveWriter fields;
    std::uint32_t count = 0;
    if (library) {
      lua_pushvalue(state_, table);
      lua_rawget(state_, fields_);
    } else {
      lua_pushnil(state_);
    }
    const int fresh = lua_gettop(state_);
    lua_pushnil(state_);
    while (lua_next(state_, table) != 0) {
      const bool same = library && [&] {
        lua_pushvalue(state_, -2);
        lua_rawget(state_, fresh);
        const bool equal = lua_rawequal(state_, -1, -2) != 0;
        lua_pop(state_, 1);
        return equal;
      }();
      const std::string key_path = [&] {
        lua_pushvalue(state_, -2);
        std::string p = KeyPath(path);
        lua_pop(state_, 1);
        return p;
      }();
      if (!same && Field(fields, key_path, library)) ++count;
      lua_pop(state_, 1);
    }
    if (library) {
      lua_pushnil(state_);
      while (lua_next(state_, fresh) != 0) {
        lua_pop(state_, 1);
        lua_pushvalue(state_, -1);
        lua_rawget(state_, table);
        if (lua_isnil(state_, -1)) {
          lua_pushvalue(state_, -2);
          Value(fields, path);
          lua_pop(state_, 1);
          fields.U8(static_cast<std::uint8_t>(Kind::kNil));
          ++count;
        }
        lua_pop(state_, 1);
      }
    }
    lua_pop(state_, 1);
    body_.U32(count);
    body_.Bytes(fields.Data().data(), fields.Data().size());
  }

  // Writes the key below the top and the value on top; false (nothing
  // written) when a table of the game's cannot keep them. A library table
  // writes an unsavable value as nil, so the field reads nil as promised.
  bool Field(SaveWriter& out, const std::string& path, bool library) {
    const int value = lua_gettop(state_);
    lua_pushvalue(state_, value - 1);
    const bool key_ok = Savable(path);
    lua_pop(state_, 1);
    const bool value_ok = Savable(path);
    if (!key_ok || (!value_ok && !library)) return false;
    lua_pushvalue(state_, value - 1);
    Value(out, path);
    lua_pop(state_, 1);
    Value(out, path);
    return true;
  }

  lua_State* state_;
  SaveWriter& out_;
  SaveWriter body_;
  std::vector<std::string> paths_;
  int names_ = 0, fields_ = 0, numbers_ = 0, list_ = 0;
};

}  // namespace

void WriteLuaData(lua_State* state, SaveWriter& out) { DataWriter(state, out).Write(); }

}  // namespace tessel
