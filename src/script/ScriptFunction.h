#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "script/EngineObject.h"

struct lua_State;

namespace tessel {

// Base of every command object. A command reads its arguments with the
// accessors below, does its work and pushes its results; it never raises a
// script error. Missing or wrong arguments read as neutral values.
class ScriptFunction {
 public:
  explicit ScriptFunction(const char* name = "") : name_(name) {}
  ScriptFunction(const ScriptFunction&) = delete;
  ScriptFunction& operator=(const ScriptFunction&) = delete;
  virtual ~ScriptFunction() = default;

  // Reads the arguments, does the work, returns the number of results pushed.
  // The base answers every call as a command that does not exist yet.
  virtual int Invoke();

  // The engine's internal name of the command (used in log lines).
  const char* Name() const { return name_; }
  void SetName(const char* name) { name_ = name; }

 protected:
  lua_State* State() const { return state_; }
  int ArgCount() const;

  // A string, or a number converted to its text in place; nullptr otherwise.
  const char* ArgString(int index) const;
  // The bytes of a real string argument, zero bytes included; nothing for
  // any other value (numbers too).
  std::optional<std::string_view> ArgBytes(int index) const;
  // Lua number truncated toward zero, clamped to 32 bits; NaN and non-numbers read 0.
  int ArgInt(int index) const;
  double ArgNumber(int index) const;
  // False only for nil, false or a missing argument.
  bool ArgBool(int index) const;
  // The light userdata's value (a handle), or nullptr.
  const void* ArgHandle(int index) const;
  // The live object of class T behind the handle, or nullptr when the value is
  // not a handle, the object was released, or it is of another class.
  template <class T>
  T* ArgObject(int index) const {
    return Registry().Find<T>(ArgHandle(index));
  }
  bool IsNumberArg(int index) const;
  bool IsStringArg(int index) const;
  bool IsObjectArg(int index) const;
  bool IsNilArg(int index) const;
  // Only a real string (IsStringArg also accepts numbers).
  bool IsStringTypeArg(int index) const;

  // Each push returns 1, so `return PushInt(x);` reads naturally.
  int PushNil();
  int PushInt(int value);
  int PushNumber(double value);
  int PushObject(const EngineObject* object);
  // A light userdata with a null value: the answer of a creating command that made nothing.
  int PushNullObject();

  // A released or foreign handle: the family's message on standard error,
  // then nil for each of `results`. Returns `results`.
  int Released(const char* message, int results);
  // For families without a message of their own: a line naming the command,
  // the argument and what was expected, on standard error like the others;
  // nil results.
  int BadHandle(int index, const char* expected, int results);

 private:
  // The one answer to a dead handle: `message` on standard error, `note` to
  // the play monitor, nil results.
  int DeadHandle(const std::string& message, const std::string& note, int results);
  friend int InvokeCommand(lua_State* state, ScriptFunction* command);
  const char* name_;
  lua_State* state_ = nullptr;
};

// The native function behind every command closure (upvalue 1: the command).
int CommandTrampoline(lua_State* state);

}  // namespace tessel
