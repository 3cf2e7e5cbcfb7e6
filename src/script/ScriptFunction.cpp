#include "script/ScriptFunction.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <limits>
#include <string>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "core/DebugLog.h"
#include "core/PlayMonitor.h"
#include "core/SceneChanges.h"
#include "script/ScriptHost.h"

namespace tessel {

int ScriptFunction::Invoke() {
  DebugLog::Write("dummy function\n");
  DebugLog::Print(" 引数の数=%d\n", lua_gettop(state_));
  return 0;
}

int ScriptFunction::ArgCount() const { return lua_gettop(state_); }

const char* ScriptFunction::ArgString(int index) const {
  if (!lua_isstring(state_, index)) return nullptr;
  return lua_tostring(state_, index);
}

std::optional<std::string_view> ScriptFunction::ArgBytes(int index) const {
  if (lua_type(state_, index) != LUA_TSTRING) return std::nullopt;
  std::size_t length = 0;
  const char* bytes = lua_tolstring(state_, index, &length);
  return std::string_view(bytes, length);
}

int ScriptFunction::ArgInt(int index) const {
  double value = lua_tonumber(state_, index);
  if (std::isnan(value)) return 0;
  constexpr double kMin = std::numeric_limits<int>::min();
  constexpr double kMax = std::numeric_limits<int>::max();
  if (value <= kMin) return std::numeric_limits<int>::min();
  if (value >= kMax) return std::numeric_limits<int>::max();
  return static_cast<int>(value);  // truncates toward zero
}

double ScriptFunction::ArgNumber(int index) const { return lua_tonumber(state_, index); }

bool ScriptFunction::ArgBool(int index) const { return lua_toboolean(state_, index) != 0; }

const void* ScriptFunction::ArgHandle(int index) const {
  if (!lua_islightuserdata(state_, index)) return nullptr;
  return lua_touserdata(state_, index);
}

bool ScriptFunction::IsNumberArg(int index) const { return lua_isnumber(state_, index) != 0; }
bool ScriptFunction::IsStringArg(int index) const { return lua_isstring(state_, index) != 0; }
bool ScriptFunction::IsObjectArg(int index) const { return lua_isuserdata(state_, index) != 0; }
bool ScriptFunction::IsNilArg(int index) const { return lua_isnoneornil(state_, index); }
bool ScriptFunction::IsStringTypeArg(int index) const { return lua_type(state_, index) == LUA_TSTRING; }

int ScriptFunction::PushNil() {
  if (lua_checkstack(state_, 1)) lua_pushnil(state_);
  return 1;
}

int ScriptFunction::PushInt(int value) { return PushNumber(static_cast<double>(value)); }

int ScriptFunction::PushNumber(double value) {
  if (lua_checkstack(state_, 1)) lua_pushnumber(state_, value);
  return 1;
}

int ScriptFunction::PushObject(const EngineObject* object) {
  if (object == nullptr) return PushNil();
  if (lua_checkstack(state_, 1)) lua_pushlightuserdata(state_, object->Handle());
  return 1;
}

int ScriptFunction::PushNullObject() {
  if (lua_checkstack(state_, 1)) lua_pushlightuserdata(state_, nullptr);
  return 1;
}

int ScriptFunction::Released(const char* message, int results) {
  std::string note = message != nullptr ? message : "released object";
  while (!note.empty() && note.back() == '\n') note.pop_back();
  return DeadHandle(message != nullptr ? message : "", note, results);
}

int ScriptFunction::BadHandle(int index, const char* expected, int results) {
  const std::string note = "argument " + std::to_string(index) + " is not a live " + expected;
  return DeadHandle(std::string(name_ != nullptr ? name_ : "?") + ": " + note + ".\n", note, results);
}

int ScriptFunction::DeadHandle(const std::string& message, const std::string& note, int results) {
  std::fputs(message.c_str(), stderr);
  NoteProblem(ProblemKind::kReleasedObject, std::string(name_ != nullptr ? name_ : "?") + ": " + note);
  for (int i = 0; i < results; ++i) PushNil();
  return results;
}

// All C++ work of a command call happens here, so that when it returns every
// destructor has run and the trampoline may raise with longjmp. Returns the
// result count, or -1 with an error message pushed.
int InvokeCommand(lua_State* state, ScriptFunction* command) {
  ScriptHost& host = Host();
  lua_State* outer_state = command->state_;  // a command may run again inside its own callback
  command->state_ = state;
  const int top = lua_gettop(state);
  host.EnterCommand();
  NoteSceneChange();
  const int depth = host.CommandDepth();
  int results = 0;
  try {
    results = command->Invoke();
  } catch (const std::exception& error) {
    DebugLog::Print("%s: internal error: %s\n", command->Name(), error.what());
    lua_settop(state, top);
    results = 0;
  } catch (...) {
    DebugLog::Print("%s: internal error\n", command->Name());
    lua_settop(state, top);
    results = 0;
  }
  std::optional<std::string> callback_error = host.TakeCallbackError(depth);
  host.LeaveCommand();
  command->state_ = outer_state;
  if (callback_error) {
    lua_settop(state, top);
    lua_pushlstring(state, callback_error->data(), callback_error->size());
    return -1;
  }
  return results;
}

int CommandTrampoline(lua_State* state) {
  auto* command = static_cast<ScriptFunction*>(lua_touserdata(state, lua_upvalueindex(1)));
  int results = InvokeCommand(state, command);
  if (results < 0) return lua_error(state);
  return results;
}

}  // namespace tessel
