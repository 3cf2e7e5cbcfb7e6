#include <gtest/gtest.h>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include <cstdint>
#include <cstring>
#include <string>

#include "script/LuaEnvironment.h"
#include "script/LuaSnapshot.h"

namespace tessel {
namespace {

// A state as the engine makes it, with one C function standing for a command.
struct Lua {
  Lua() : state(luaL_newstate()) {
    OpenEnvironment(state);
    lua_register(state, "Command", [](lua_State*) { return 0; });
    CaptureLuaBaseline(state);
  }
  ~Lua() { lua_close(state); }
  void Run(const std::string& code) {
    ASSERT_EQ(luaL_dostring(state, code.c_str()), 0) << lua_tostring(state, -1);
  }
  std::string Eval(const std::string& expression) {
    Run("__result = tostring(" + expression + ")");
    lua_getglobal(state, "__result");
    std::string text = lua_tostring(state, -1);
    lua_pop(state, 1);
    return text;
  }
  lua_State* state;
};

std::vector<std::uint8_t> Save(Lua& lua) {
  SaveWriter out;
  WriteLuaData(lua.state, out);
  return out.Take();
}

bool Load(Lua& lua, const std::vector<std::uint8_t>& bytes) {
  SaveReader in(bytes);
  std::shared_ptr<LuaSavedData> data = ReadLuaData(lua.state, in);
  if (!data || !in.AtEnd()) return false;
  ApplyLuaData(lua.state, *data);
  return true;
}

TEST(LuaSnapshot, GameDataComesBackInAFreshStateAndOnlyIt) {
  Lua saving;
  saving.Run(R"(
    local zero = 0
    local shared = {name = "shared"}
    cycle = {shared, shared}
    cycle.self = cycle
    numbers = {nan = 0/0, inf = 1/0, ninf = -1/0, nzero = -zero, big = 2^53 + 1, tiny = 5e-324}
    bytes = "a\0b\255\n"
    local count = 10
    function counter() count = count + 1; return count end
    actions = {double = function(x) return x * 2 end, fmt = string.format, cmd = Command}
    handles = {[1] = ...}
    hero = setmetatable({}, {__index = {hp = 7}})
    co = coroutine.create(function() end)
    kept = {file = io.stdout, ok = true}
    string.shout = function(s) return s:upper() .. "!" end
    print = nil
  )");
  lua_getglobal(saving.state, "handles");
  lua_pushlightuserdata(saving.state, reinterpret_cast<void*>(std::uintptr_t{42}));
  lua_rawseti(saving.state, -2, 1);
  lua_pop(saving.state, 1);
  saving.Run("counter()");

  testing::internal::CaptureStdout();
  const std::vector<std::uint8_t> bytes = Save(saving);
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_NE(log.find("co holds a coroutine"), std::string::npos) << log;
  EXPECT_NE(log.find("kept.file holds a userdata"), std::string::npos) << log;

  Lua loading;
  loading.Run("leftover = 1  string.leftover = 2");
  ASSERT_TRUE(Load(loading, bytes));
  Lua& l = loading;
  EXPECT_EQ(l.Eval("cycle[1] == cycle[2] and cycle.self == cycle and cycle[1].name"), "shared");
  EXPECT_EQ(l.Eval("numbers.nan ~= numbers.nan"), "true");
  EXPECT_EQ(l.Eval("numbers.inf == 1/0 and numbers.ninf == -1/0 and 1/numbers.nzero"), "-inf");
  EXPECT_EQ(l.Eval("numbers.big == 2^53 and numbers.tiny > 0"), "true");
  EXPECT_EQ(l.Eval("bytes == 'a\\0b\\255\\n'"), "true");
  EXPECT_EQ(l.Eval("counter()"), "12");  // the upvalue went on from 11
  EXPECT_EQ(l.Eval("actions.double(21) .. actions.fmt('%d', 3)"), "423");
  EXPECT_EQ(l.Eval("actions.cmd == Command and actions.fmt == string.format"), "true");
  EXPECT_EQ(l.Eval("hero.hp"), "7");
  EXPECT_EQ(l.Eval("string.shout('hi') .. tostring(print)"), "HI!nil");
  EXPECT_EQ(l.Eval("tostring(co) .. tostring(kept.file) .. tostring(kept.ok)"), "nilniltrue");
  EXPECT_EQ(l.Eval("tostring(leftover) .. tostring(string.leftover)"), "nilnil");
  EXPECT_EQ(l.Eval("type(table.insert) .. type(_G.string)"), "functiontable");
  lua_getglobal(l.state, "handles");
  lua_rawgeti(l.state, -1, 1);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(lua_touserdata(l.state, -1)), 42u);
  lua_pop(l.state, 2);
  // The NaN's bits, not only its NaN-ness.
  auto nan_bits = [](Lua& lua) {
    lua.Run("__nan = numbers.nan");
    lua_getglobal(lua.state, "__nan");
    const double value = lua_tonumber(lua.state, -1);
    lua_pop(lua.state, 1);
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
  };
  EXPECT_EQ(nan_bits(loading), nan_bits(saving));
}

TEST(LuaSnapshot, DamagedDataIsRefusedWithoutTouchingTheState) {
  Lua saving;
  saving.Run("t = {1, 2, {3}}  f = function() return t end");
  const std::vector<std::uint8_t> good = Save(saving);
  Lua loading;
  loading.Run("mine = 'untouched'");
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    std::vector<std::uint8_t> bad(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_FALSE(Load(loading, bad)) << cut;
  }
  std::vector<std::uint8_t> unknown_name = good;
  const std::size_t at = std::string(good.begin(), good.end()).find("_G");
  ASSERT_NE(at, std::string::npos);
  unknown_name[at] = 'X';
  EXPECT_FALSE(Load(loading, unknown_name));
  EXPECT_EQ(loading.Eval("mine"), "untouched");
}

}  // namespace
}  // namespace tessel
