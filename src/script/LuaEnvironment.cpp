#include "script/LuaEnvironment.h"

#include <cstdio>
#include <fstream>
#include <sstream>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

namespace tessel {
namespace {

ModuleReader& Reader() {
  static ModuleReader& reader = *new ModuleReader;
  return reader;
}

std::optional<std::string> ReadDiskFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// package.loaders entry: tries every package.path pattern with '?' replaced
// by the module name as given (Lua 5.0's require did not map '.' to folders).
int ResourceSearcher(lua_State* state) {
  const char* name = luaL_checkstring(state, 1);
  lua_getglobal(state, "package");
  lua_getfield(state, -1, "path");
  const char* path = lua_tostring(state, -1);
  std::string patterns = path != nullptr ? path : "?;?.lua";
  lua_pop(state, 2);

  std::string tried;
  size_t start = 0;
  while (start <= patterns.size()) {
    size_t end = patterns.find(';', start);
    if (end == std::string::npos) end = patterns.size();
    std::string candidate = patterns.substr(start, end - start);
    start = end + 1;
    if (candidate.empty()) continue;
    for (size_t at = candidate.find('?'); at != std::string::npos; at = candidate.find('?', at)) {
      candidate.replace(at, 1, name);
      at += std::char_traits<char>::length(name);
    }
    ModuleReader& reader = Reader();
    std::optional<std::string> text = reader ? reader(candidate) : ReadDiskFile(candidate);
    if (!text) {
      tried += "\n\tno file '" + candidate + "'";
      continue;
    }
    std::string chunk_name = "@" + candidate;
    if (luaL_loadbuffer(state, text->data(), text->size(), chunk_name.c_str()) != 0) {
      // Keep the compile message; the std::strings above must not outlive a longjmp.
      std::string message = lua_tostring(state, -1);
      lua_pop(state, 1);
      lua_pushfstring(state, "error loading module '%s' from file '%s':\n\t%s", name,
                      candidate.c_str(), message.c_str());
      return -1;  // signalled to the wrapper below
    }
    return 1;
  }
  lua_pushstring(state, tried.c_str());
  return 1;
}

// The C++ work happens in ResourceSearcher, whose locals are gone when this
// raises, so the error never unwinds through a destructor.
int ResourceSearcherEntry(lua_State* state) {
  int results = ResourceSearcher(state);
  if (results < 0) return lua_error(state);
  return results;
}

const char kCompatibility[] = R"lua(
-- Lua 5.0 kept table sizes set by setn; 5.1 made setn an error.
do
  local sizes = setmetatable({}, {__mode = "k"})
  local rawget, rawset, type = rawget, rawset, type
  function table.setn(t, n)
    if type(rawget(t, "n")) == "number" then
      rawset(t, "n", n)
    else
      sizes[t] = n
    end
  end
  function table.getn(t)
    local n = rawget(t, "n")
    if type(n) == "number" and n >= 0 then return n end
    n = sizes[t]
    if n then return n end
    n = 0
    while rawget(t, n + 1) ~= nil do n = n + 1 end
    return n
  end
end
-- newproxy would let scripts install finalizers that run inside commands.
newproxy = nil
loadlib = nil
package.loadlib = nil
package.cpath = ""
package.path = "?;?.lua"
)lua";

int SetUp(lua_State* state) {
  // Each library is opened through lua_call: io and package need a calling
  // environment of their own in 5.1.
  static const luaL_Reg kLibraries[] = {
      {"", luaopen_base},           {LUA_LOADLIBNAME, luaopen_package},
      {LUA_STRLIBNAME, luaopen_string}, {LUA_TABLIBNAME, luaopen_table},
      {LUA_MATHLIBNAME, luaopen_math},  {LUA_IOLIBNAME, luaopen_io},
      {LUA_OSLIBNAME, luaopen_os},
  };
  for (const luaL_Reg& library : kLibraries) {
    lua_pushcfunction(state, library.func);
    lua_pushstring(state, library.name);
    lua_call(state, 1, 0);
  }
  if (luaL_loadbuffer(state, kCompatibility, sizeof kCompatibility - 1, "=compat") != 0) {
    return lua_error(state);
  }
  lua_call(state, 0, 0);

  // package.loaders: keep the preload table, replace the file searchers.
  lua_getglobal(state, "package");
  lua_getfield(state, -1, "loaders");
  lua_newtable(state);
  lua_rawgeti(state, -2, 1);
  lua_rawseti(state, -2, 1);
  lua_pushcfunction(state, &ResourceSearcherEntry);
  lua_rawseti(state, -2, 2);
  lua_setfield(state, -3, "loaders");
  lua_pop(state, 2);
  return 0;
}

int Panic(lua_State* state) {
  // Only reached by a Lua error outside any protected call, which the engine
  // never makes; kept as the last line of defence.
  std::fputs("!! Panic !!\n", stdout);
  std::fprintf(stdout, "In script : %s, line : %d\n", "", 0);
  const char* message = lua_tostring(state, -1);
  std::fprintf(stdout, "%s\n", message != nullptr ? message : "(error object is not a string)");
  std::fflush(stdout);
  return 0;
}

}  // namespace

void SetModuleReader(ModuleReader reader) { Reader() = std::move(reader); }

bool OpenEnvironment(lua_State* state) {
  lua_atpanic(state, &Panic);
  return lua_cpcall(state, &SetUp, nullptr) == 0;
}

}  // namespace tessel
