// Reading the game's saved data and putting it in place.
#include <cmath>
#include <cstring>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "core/DebugLog.h"
#include "core/SaveSections.h"
#include "script/LuaSnapshot.h"
#include "script/LuaSnapshotBaseline.h"
#include "script/ScriptHost.h"

namespace tessel {
namespace {

using Kind = LuaSavedValue::Kind;
using ObjectKind = LuaSavedObject::Kind;

bool g_load_code = true;
// Lua 5.1 closures hold at most 60 upvalues; anything beyond is damage.
constexpr std::uint32_t kMaxUpvalues = 255;
constexpr std::size_t kMaxName = 4096;

LuaSavedValue ReadValue(SaveReader& in) {
  LuaSavedValue value;
  const std::uint8_t kind = in.U8();
  if (kind > static_cast<std::uint8_t>(Kind::kObject)) {
    in.Fail("a Lua value has an unknown kind");
    return value;
  }
  value.kind = static_cast<Kind>(kind);
  if (value.kind == Kind::kNumber) value.number = in.F64();
  if (value.kind == Kind::kString) value.text = in.String();
  if (value.kind == Kind::kHandle || value.kind == Kind::kObject) {
    value.id = value.kind == Kind::kHandle ? in.U64() : in.U32();
  }
  return value;
}

// What `name` is in this engine's fresh state: LUA_TNIL when it names nothing.
int LibraryType(lua_State* state, const std::string& name) {
  baseline::PushNamed(state);
  if (!lua_istable(state, -1)) {
    lua_pop(state, 1);
    return LUA_TNIL;
  }
  lua_getfield(state, -1, name.c_str());
  const int type = lua_type(state, -1);
  lua_pop(state, 2);
  return type;
}

bool ReadObject(lua_State* state, SaveReader& in, LuaSavedObject& object) {
  const std::uint8_t kind = in.U8();
  if (kind < 1 || kind > static_cast<std::uint8_t>(ObjectKind::kLibraryFunction)) {
    in.Fail("a Lua object has an unknown kind");
    return false;
  }
  object.kind = static_cast<ObjectKind>(kind);
  if (object.kind == ObjectKind::kLibraryTable || object.kind == ObjectKind::kLibraryFunction) {
    object.name_or_code = in.String(kMaxName);
    const int want = object.kind == ObjectKind::kLibraryTable ? LUA_TTABLE : LUA_TFUNCTION;
    if (in.Ok() && LibraryType(state, object.name_or_code) != want) {
      in.Fail("the saved data names '" + object.name_or_code + "', which this engine does not have");
      return false;
    }
  }
  if (object.kind == ObjectKind::kFunction) {
    object.name_or_code = in.String();
    if (in.Ok() && object.name_or_code.compare(0, 4, LUA_SIGNATURE) != 0) {
      in.Fail("a saved function holds no compiled Lua code");
      return false;
    }
    const std::uint32_t count = in.Count(1);
    if (count > kMaxUpvalues) in.Fail("a saved function has too many upvalues");
    for (std::uint32_t i = 0; i < count && in.Ok(); ++i) object.upvalues.push_back(ReadValue(in));
    return in.Ok();
  }
  if (object.kind == ObjectKind::kLibraryFunction) return in.Ok();
  const std::uint32_t count = in.Count(2);
  for (std::uint32_t i = 0; i < count && in.Ok(); ++i) {
    LuaSavedValue key = ReadValue(in);
    LuaSavedValue value = ReadValue(in);
    const bool bad_key = key.kind == Kind::kNil || (key.kind == Kind::kNumber && std::isnan(key.number));
    if (bad_key || (value.kind == Kind::kNil && object.kind == ObjectKind::kTable)) {
      in.Fail("a saved table has a field without a key or value");
      return false;
    }
    object.fields.emplace_back(std::move(key), std::move(value));
  }
  if (object.kind == ObjectKind::kTable) object.metatable = ReadValue(in);
  return in.Ok();
}

// Every reference names an object, every metatable is a table.
bool Consistent(const LuaSavedData& data, SaveReader& in) {
  const std::size_t count = data.objects.size();
  auto fine = [count](const LuaSavedValue& value) {
    return value.kind != Kind::kObject || value.id < count;
  };
  for (const LuaSavedObject& object : data.objects) {
    for (const auto& [key, value] : object.fields) {
      if (!fine(key) || !fine(value)) return in.Fail("a saved value refers to no object"), false;
    }
    for (const LuaSavedValue& value : object.upvalues) {
      if (!fine(value)) return in.Fail("a saved value refers to no object"), false;
    }
    const LuaSavedValue& meta = object.metatable;
    if (meta.kind != Kind::kNil &&
        (meta.kind != Kind::kObject || !fine(meta) ||
         data.objects[meta.id].kind == ObjectKind::kFunction ||
         data.objects[meta.id].kind == ObjectKind::kLibraryFunction)) {
      return in.Fail("a saved metatable is not a table"), false;
    }
  }
  return true;
}

const char* ReadPiece(lua_State*, void* data, size_t* size) {
  auto* rest = static_cast<std::string_view*>(data);
  *size = rest->size();
  const char* piece = rest->data();
  *rest = {};
  return *size > 0 ? piece : nullptr;
}

void PushValue(lua_State* state, int objects, const LuaSavedValue& value) {
  switch (value.kind) {
    case Kind::kNil: lua_pushnil(state); return;
    case Kind::kFalse: lua_pushboolean(state, 0); return;
    case Kind::kTrue: lua_pushboolean(state, 1); return;
    case Kind::kNumber: lua_pushnumber(state, value.number); return;
    case Kind::kString: lua_pushlstring(state, value.text.data(), value.text.size()); return;
    case Kind::kHandle:
      lua_pushlightuserdata(state, reinterpret_cast<void*>(static_cast<std::uintptr_t>(value.id)));
      return;
    case Kind::kObject: lua_rawgeti(state, objects, static_cast<int>(value.id) + 1); return;
  }
}

// Pushes the object made from `object` (nil when a function cannot be loaded).
void MakeObject(lua_State* state, const LuaSavedObject& object, std::size_t number) {
  switch (object.kind) {
    case ObjectKind::kTable:
      lua_createtable(state, 0, static_cast<int>(std::min<std::size_t>(object.fields.size(), 1 << 16)));
      return;
    case ObjectKind::kLibraryTable:
    case ObjectKind::kLibraryFunction:
      baseline::PushNamed(state);
      lua_getfield(state, -1, object.name_or_code.c_str());
      lua_remove(state, -2);
      return;
    case ObjectKind::kFunction: {
      std::string_view code = object.name_or_code;
      if (!g_load_code || lua_load(state, ReadPiece, &code, "=saved function") != 0) {
        if (g_load_code) {
          DebugLog::Print("LoadGame: a saved function (object %zu) could not be loaded: %s; it reads as nil.\n",
                          number, lua_tostring(state, -1));
          lua_pop(state, 1);
        }
        lua_pushnil(state);
        return;
      }
      lua_pushvalue(state, LUA_GLOBALSINDEX);
      lua_setfenv(state, -2);
      return;
    }
  }
}

// Sets each library table back to what a fresh state holds.
void ResetLibraryTables(lua_State* state) {
  baseline::PushFields(state);
  if (!lua_istable(state, -1)) {
    lua_pop(state, 1);
    return;
  }
  const int fields = lua_gettop(state);
  lua_pushnil(state);
  while (lua_next(state, fields) != 0) {
    const int fresh = lua_gettop(state);
    const int table = fresh - 1;
    // Clear it (keys first gathered: a table must not change while it is walked).
    lua_newtable(state);
    int count = 0;
    lua_pushnil(state);
    while (lua_next(state, table) != 0) {
      lua_pop(state, 1);
      lua_pushvalue(state, -1);
      lua_rawseti(state, fresh + 1, ++count);
    }
    for (int i = 1; i <= count; ++i) {
      lua_rawgeti(state, fresh + 1, i);
      lua_pushnil(state);
      lua_rawset(state, table);
    }
    lua_pop(state, 1);
    lua_pushnil(state);
    while (lua_next(state, fresh) != 0) {
      lua_pushvalue(state, -2);
      lua_insert(state, -2);
      lua_rawset(state, table);
    }
    lua_pop(state, 1);
  }
  lua_pop(state, 1);
}

}  // namespace

void SetFunctionCodeLoading(bool on) { g_load_code = on; }

std::shared_ptr<LuaSavedData> ReadLuaData(lua_State* state, SaveReader& in) {
  auto data = std::make_shared<LuaSavedData>();
  const std::uint32_t count = in.Count(2);
  for (std::uint32_t i = 0; i < count && in.Ok(); ++i) {
    data->objects.emplace_back();
    if (!ReadObject(state, in, data->objects.back())) break;
  }
  if (in.Ok() && (data->objects.empty() || data->objects[0].kind != ObjectKind::kLibraryTable ||
                  data->objects[0].name_or_code != "_G")) {
    in.Fail("the saved Lua data does not start at the globals");
  }
  if (!in.Ok() || !Consistent(*data, in)) return nullptr;
  return data;
}

void ApplyLuaData(lua_State* state, const LuaSavedData& data) {
  lua_checkstack(state, 16);
  lua_createtable(state, static_cast<int>(data.objects.size()), 0);
  const int objects = lua_gettop(state);
  for (std::size_t i = 0; i < data.objects.size(); ++i) {
    MakeObject(state, data.objects[i], i);
    lua_rawseti(state, objects, static_cast<int>(i) + 1);
  }
  ResetLibraryTables(state);
  for (std::size_t i = 0; i < data.objects.size(); ++i) {
    const LuaSavedObject& object = data.objects[i];
    lua_rawgeti(state, objects, static_cast<int>(i) + 1);
    if (lua_istable(state, -1)) {
      for (const auto& [key, value] : object.fields) {
        PushValue(state, objects, key);
        PushValue(state, objects, value);
        // A key that was a function that could not be loaded is gone with it.
        if (lua_isnil(state, -2)) {
          lua_pop(state, 2);
        } else {
          lua_rawset(state, -3);
        }
      }
      PushValue(state, objects, object.metatable);
      if (lua_istable(state, -1)) {
        lua_setmetatable(state, -2);
      } else {
        lua_pop(state, 1);
      }
    } else if (lua_isfunction(state, -1) && !lua_iscfunction(state, -1)) {
      for (std::size_t n = 0; n < object.upvalues.size(); ++n) {
        PushValue(state, objects, object.upvalues[n]);
        if (lua_setupvalue(state, -2, static_cast<int>(n) + 1) == nullptr) lua_pop(state, 1);
      }
    }
    lua_pop(state, 1);
  }
  lua_pop(state, 1);
}

void RegisterLuaSaveSection() {
  RegisterSaveSection({
      "lua",
      1000,
      [](SaveWriter& out) { WriteLuaData(Host().State(), out); },
      [](SaveReader& in) -> std::function<void()> {
        std::shared_ptr<LuaSavedData> data = ReadLuaData(Host().State(), in);
        if (!data) return {};
        return [data] { ApplyLuaData(Host().State(), *data); };
      },
  });
}

}  // namespace tessel
