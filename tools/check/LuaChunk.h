#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel::check {

// A call of a global function by its name, as `Name(...)`, `Name "..."` or
// `Name {...}` compile: the global is fetched and called straight away.
struct GlobalCall {
  std::string name;
  int line = 0;  // Lua's line (1-based, counted in the chunk)
  // The first argument when it is a string literal (require "x", file names).
  std::optional<std::string> first_string;
  // A call in the chunk's own code (not inside a function it defines) after
  // which more than its return runs.
  bool code_follows = false;
};

// What a chunk that compiles does with globals, read from its byte code, so
// locals, fields and method calls are told apart exactly as Lua tells them.
struct ChunkGlobals {
  std::vector<std::string> assigned;  // `Name = ...`, `function Name()`, `_G.Name = ...`
  std::vector<GlobalCall> calls;
};

struct CompiledChunk {
  bool ok = false;
  std::string error;  // Lua's message when it does not compile
  ChunkGlobals globals;
};

// Compiles the chunk in a plain Lua state, as luaL_loadbuffer would load it
// for running, without running anything.
CompiledChunk CompileChunk(std::string_view code, const std::string& chunk_name);

// Splits Lua's "chunk:LINE: text" message into the line and the text; nothing
// when the message carries no line.
struct LuaMessage {
  int line = 0;
  std::string text;
};
std::optional<LuaMessage> SplitLuaMessage(const std::string& message);

// The engine's script environment as a fresh game sees it.
struct ScriptEnvironment {
  // Every global it starts with (the base library, string, table, math, ...).
  std::vector<std::string> globals;
  // Where `require` looks for modules: patterns with '?', separated by ';'.
  std::string package_path;
};
ScriptEnvironment EngineEnvironment();

// Whether a name can be written as a Lua identifier (and is no keyword).
bool IsLuaName(std::string_view name);

}  // namespace tessel::check
