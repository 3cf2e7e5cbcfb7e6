#pragma once

#include <functional>
#include <optional>
#include <string>

struct lua_State;

namespace tessel {

// Opens base, package, string, table, math, io and os the way Lua 5.0 scripts
// expect them (see the .cpp), without debug, C modules or newproxy.
bool OpenEnvironment(lua_State* state);

// Reads a module's source for `require`: given a candidate file name (from
// package.path, "?" replaced), its text, or nothing when there is no such file.
using ModuleReader = std::function<std::optional<std::string>(const std::string& file_name)>;
// The default reads the file from disk as named; the boot installs the
// engine's resource lookup (archives, then the base directory).
void SetModuleReader(ModuleReader reader);

}  // namespace tessel
