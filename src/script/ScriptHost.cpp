#include "script/ScriptHost.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "core/DebugLog.h"
#include "script/LuaEnvironment.h"
#include "script/ScriptFunction.h"

namespace tessel {
namespace {

// Runs in protected mode with the stack [name, arguments...]: resolves the
// name and calls the function, so a missing table or function is an ordinary
// Lua error. Plain C locals only: a Lua error unwinds this frame with longjmp.
int ResolveAndCall(lua_State* state) {
  size_t length = 0;
  const char* name = lua_tolstring(state, 1, &length);
  int argument_count = lua_gettop(state) - 1;
  const char* dot = static_cast<const char*>(std::memchr(name, '.', length));
  const char* colon = static_cast<const char*>(std::memchr(name, ':', length));
  const char* split = dot != nullptr ? dot : colon;
  if (split == nullptr) {
    lua_pushvalue(state, 1);
    lua_gettable(state, LUA_GLOBALSINDEX);
  } else {
    lua_pushlstring(state, name, static_cast<size_t>(split - name));
    lua_gettable(state, LUA_GLOBALSINDEX);  // ... T
    if (!lua_istable(state, -1)) {
      return luaL_error(state, "attempt to call '%s': its table is a %s value", name,
                        luaL_typename(state, -1));
    }
    lua_pushstring(state, split + 1);
    lua_gettable(state, -2);  // ... T T.f
    if (dot == nullptr) {
      // Method form: Table:m(Table, arguments...).
      lua_insert(state, -2);  // ... T.m T
      lua_insert(state, 2);   // name T args... T.m
      ++argument_count;
    } else {
      lua_remove(state, -2);  // ... T.f
    }
  }
  if (!lua_isfunction(state, -1) && !luaL_getmetafield(state, -1, "__call")) {
    return luaL_error(state, "attempt to call '%s' (a %s value)", name, luaL_typename(state, -1));
  }
  if (!lua_isfunction(state, -1)) lua_pop(state, 1);  // the __call field
  lua_replace(state, 1);  // function args...
  lua_call(state, argument_count, 0);
  return 0;
}

}  // namespace

ScriptHost& Host() {
  static ScriptHost& host = *new ScriptHost;
  return host;
}

std::string ErrorText(lua_State* state, int index) {
  if (lua_type(state, index) == LUA_TSTRING || lua_type(state, index) == LUA_TNUMBER) {
    size_t length = 0;
    const char* text = lua_tolstring(state, index, &length);
    return std::string(text, length);
  }
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "(error object is a %s value)", luaL_typename(state, index));
  return buffer;
}

ScriptHost::~ScriptHost() = default;

bool ScriptHost::Open() {
  Close();
  state_ = luaL_newstate();
  if (state_ == nullptr) {
    DebugLog::Write("Lua初期化エラー\n");
    return false;
  }
  if (!OpenEnvironment(state_)) {
    DebugLog::Write("Lua初期化エラー\n");
    lua_close(state_);
    state_ = nullptr;
    return false;
  }
  return true;
}

void ScriptHost::Close() {
  if (state_ == nullptr) return;
  lua_close(state_);
  state_ = nullptr;
  pending_.clear();
}

ScriptPosition ScriptHost::CurrentPosition() const {
  return position_provider_ ? position_provider_() : ScriptPosition{};
}

std::vector<ScriptFrame> ScriptHost::SourceTrace() const {
  std::vector<ScriptFrame> trace;
  if (state_ == nullptr) return trace;
  lua_Debug frame{};
  for (int level = 0; level < 200 && lua_getstack(state_, level, &frame) != 0; ++level) {
    if (lua_getinfo(state_, "Sl", &frame) == 0 || frame.currentline <= 0) continue;
    // "@lib.lua" is a file; "=main.tsl" a block; anything else a string of code.
    const char kind = frame.source != nullptr ? frame.source[0] : '\0';
    if (kind != '@' && kind != '=') continue;
    std::string file(frame.source + 1);
    if (file.empty() || file == "?") continue;
    trace.push_back(ScriptFrame{std::move(file), frame.currentline, kind == '@'});
  }
  return trace;
}

void ScriptHost::ReportError(const std::string& message) {
  if (error_observer_) error_observer_(message);
  lua_State* state = state_;
  int top = lua_gettop(state);
  lua_getglobal(state, "_ALERT");
  if (lua_isfunction(state, -1)) {
    lua_pushlstring(state, message.data(), message.size());
    if (lua_pcall(state, 1, 0, 0) != 0) {
      std::string alert_error = ErrorText(state, -1);
      std::fprintf(stderr, "%s\n%s\n", message.c_str(), alert_error.c_str());
    }
  } else {
    std::fprintf(stderr, "%s\n", message.c_str());
  }
  lua_settop(state, top);
}

int ScriptHost::RunBuffer(std::string_view text, const std::string& chunk_name,
                          std::string_view compile_hint) {
  if (state_ == nullptr) return LUA_ERRRUN;
  int top = lua_gettop(state_);
  if (!lua_checkstack(state_, 8)) return LUA_ERRMEM;
  int status = luaL_loadbuffer(state_, text.data(), text.size(), chunk_name.c_str());
  if (status != 0 && !compile_hint.empty()) {
    ReportError(ErrorText(state_, -1) + " (" + std::string(compile_hint) + ")");
    lua_settop(state_, top);
    return status;
  }
  if (status == 0) status = lua_pcall(state_, 0, LUA_MULTRET, 0);
  if (status != 0) ReportError(ErrorText(state_, -1));
  lua_settop(state_, top);
  return status;
}

void ScriptHost::Register(std::string_view name, ScriptFunction* command) {
  if (state_ == nullptr) return;
  lua_pushlstring(state_, name.data(), name.size());
  lua_pushlightuserdata(state_, command);
  lua_pushcclosure(state_, &CommandTrampoline, 1);
  lua_settable(state_, LUA_GLOBALSINDEX);
}

void ScriptHost::PrepareCall(std::string_view name, int argument_count, int /*result_count*/) {
  PendingCall call;
  call.name = std::string(name);
  if (state_ != nullptr && argument_count >= 0 && lua_checkstack(state_, argument_count + 8)) {
    call.base = lua_gettop(state_);
    call.valid = true;
  }
  pending_.push_back(std::move(call));
}

void ScriptHost::PushNumber(double value) {
  if (state_ != nullptr && !pending_.empty() && pending_.back().valid) lua_pushnumber(state_, value);
}

void ScriptHost::PushPointer(const void* value) {
  if (state_ != nullptr && !pending_.empty() && pending_.back().valid) {
    lua_pushlightuserdata(state_, const_cast<void*>(value));
  }
}

bool ScriptHost::Call() {
  if (pending_.empty()) return false;
  PendingCall call = std::move(pending_.back());
  pending_.pop_back();
  if (state_ == nullptr || !call.valid) return false;
  int argument_count = lua_gettop(state_) - call.base;
  if (argument_count < 0) return false;
  lua_pushcfunction(state_, &ResolveAndCall);
  lua_insert(state_, call.base + 1);
  lua_pushlstring(state_, call.name.data(), call.name.size());
  lua_insert(state_, call.base + 2);
  int status = lua_pcall(state_, argument_count + 1, 0, 0);
  if (status == 0) {
    lua_settop(state_, call.base);
    return true;
  }
  std::string message = ErrorText(state_, -1);
  lua_settop(state_, call.base);
  if (command_depth_ > 0) {
    // Raised again by the command that made this call, once it has returned.
    if (!callback_error_) {
      callback_error_ = std::move(message);
      callback_error_depth_ = command_depth_;
    }
    return false;
  }
  Panic(message);
}

bool ScriptHost::CallFunction(std::string_view name, std::initializer_list<double> arguments) {
  PrepareCall(name, static_cast<int>(arguments.size()));
  for (double value : arguments) PushNumber(value);
  return Call();
}

std::optional<std::string> ScriptHost::TakeCallbackError(int depth) {
  if (!callback_error_ || callback_error_depth_ != depth) return std::nullopt;
  std::optional<std::string> error = std::move(callback_error_);
  callback_error_.reset();
  return error;
}

void ScriptHost::Panic(const std::string& message) {
  if (panic_handler_) panic_handler_(message);
  ScriptPosition position = CurrentPosition();
  std::fflush(stderr);
  DebugLog::Write("!! Panic !!\n");
  DebugLog::Print("In script : %s, line : %d\n", position.file.c_str(), position.line);
  DebugLog::Print("%s\n", message.c_str());
  std::fflush(stdout);
  std::_Exit(1);
}

}  // namespace tessel
