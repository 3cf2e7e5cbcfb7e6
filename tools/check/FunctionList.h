#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

#include "check/Report.h"

namespace tessel::check {

// The names under which the engine registers its commands for a game.
struct CommandRegistration {
  std::map<std::string, std::string> script_names;  // internal name -> script name the list gives
  std::map<std::string, std::string> callable;      // name scripts call -> internal name
};

// Reads funcdef.tsl (its bytes; nothing when the game has none) line by line
// with the engine's parser and reports, at `display`: keys that name no
// command, commands left out, script names that scripts cannot use or that
// hide another command or a Lua global of `lua_globals`. Returns the names the
// engine registers from it.
CommandRegistration CheckFunctionList(const std::optional<std::string>& bytes,
                                      const std::string& display,
                                      const std::set<std::string>& lua_globals, Report& report);

}  // namespace tessel::check
