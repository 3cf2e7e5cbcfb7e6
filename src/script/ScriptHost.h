#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct lua_State;

namespace tessel {

class ScriptFunction;

// Where the story is when a script fails: scenario file name and 1-based line.
struct ScriptPosition {
  std::string file;
  int line = 0;
};

// A running Lua function that comes from a file: a module ("lib.lua", loaded
// from its file) or a scenario's script block (named after its scenario file).
struct ScriptFrame {
  std::string file;
  int line = 0;  // 1-based, counted in that file
  bool module = false;
};

// Owner of the one Lua state. Every entry into Lua is protected and leaves the
// stack as it found it; a script error never unwinds through C++ frames.
class ScriptHost {
 public:
  ScriptHost() = default;
  ScriptHost(const ScriptHost&) = delete;
  ScriptHost& operator=(const ScriptHost&) = delete;
  virtual ~ScriptHost();

  // Opens the state with the libraries scripts expect (see LuaEnvironment.cpp).
  // False, after its message, when no state could be made.
  bool Open();
  void Close();
  bool IsOpen() const { return state_ != nullptr; }
  lua_State* State() const { return state_; }

  // Compiles text as one chunk and runs it protected; returned values are
  // dropped. An error goes to the script's _ALERT if it has one, else to
  // standard error. `chunk_name` follows Lua's convention ("=name" shows as is).
  // A `compile_hint` is added to the message when the text does not compile.
  int RunBuffer(std::string_view text, const std::string& chunk_name = "=?",
                std::string_view compile_hint = {});

  void Register(std::string_view name, ScriptFunction* command);

  // Call by name: "f", "Table.f" (a field) or "Table:m" (a method, Table
  // passed first). Push exactly `argument_count` arguments, then Call().
  // The pending call is per call, so a callback may run a command that runs
  // a callback. Results are dropped (`result_count` is accepted for symmetry).
  void PrepareCall(std::string_view name, int argument_count, int result_count = 0);
  void PushNumber(double value);
  void PushPointer(const void* value);
  // Runs the prepared call. An error inside a command's callback is re-raised
  // from that command once its C++ frames are gone; at the top level (a
  // dispatch pass, a frame) it is the panic report and exit status 1.
  bool Call();

  // Convenience: PrepareCall + numbers + Call.
  bool CallFunction(std::string_view name, std::initializer_list<double> arguments = {});

  // Gives the panic report the story's current position.
  void SetPositionProvider(std::function<ScriptPosition()> provider) {
    position_provider_ = std::move(provider);
  }
  ScriptPosition CurrentPosition() const;
  // The running Lua functions that have a file and a line, innermost first;
  // empty when no script runs.
  std::vector<ScriptFrame> SourceTrace() const;

  // Replaces the default panic (report, exit 1); tests and the autoplayer use it.
  void SetPanicHandler(std::function<void(const std::string&)> handler) {
    panic_handler_ = std::move(handler);
  }
  // Called with every script error message that RunBuffer reports.
  void SetErrorObserver(std::function<void(const std::string&)> observer) {
    error_observer_ = std::move(observer);
  }

  // Used by the command trampoline.
  int CommandDepth() const { return command_depth_; }
  void EnterCommand() { ++command_depth_; }
  void LeaveCommand() { --command_depth_; }
  // The error of a callback that failed inside the command at `depth`, taken once.
  std::optional<std::string> TakeCallbackError(int depth);

 private:
  [[noreturn]] void Panic(const std::string& message);
  void ReportError(const std::string& message);

  struct PendingCall {
    std::string name;
    int base = 0;  // stack height before the arguments
    bool valid = false;
  };

  lua_State* state_ = nullptr;
  std::vector<PendingCall> pending_;
  int command_depth_ = 0;
  std::optional<std::string> callback_error_;
  int callback_error_depth_ = 0;
  std::function<ScriptPosition()> position_provider_;
  std::function<void(const std::string&)> panic_handler_;
  std::function<void(const std::string&)> error_observer_;
};

ScriptHost& Host();

// Text of the error object on top of the stack, as Lua 5.0 printed it.
std::string ErrorText(lua_State* state, int index);

}  // namespace tessel
