#include <gtest/gtest.h>

extern "C" {
#include <lua.h>
}

#include "script/ScriptHost.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

using LuaEnvironment = test::ScriptTest;

TEST_F(LuaEnvironment, LibrariesOfLua50ArePresentAndUnsafeOnesAbsent) {
  Run(R"(
    have = type(string.format) .. type(table.insert) .. type(math.floor) .. type(io.write) ..
           type(os.time) .. type(coroutine.create) .. type(require)
    absent = tostring(debug) .. tostring(newproxy) .. tostring(loadlib) .. tostring(package.loadlib)
    cpath = package.cpath
    path = package.path
  )");
  EXPECT_EQ(String("have"), "functionfunctionfunctionfunctionfunctionfunctionfunction");
  EXPECT_EQ(String("absent"), "nilnilnilnil");
  EXPECT_EQ(String("cpath"), "");
  EXPECT_EQ(String("path"), "?;?.lua");
}

TEST_F(LuaEnvironment, TableSetnAndGetnKeepTheir50Meaning) {
  Run(R"(
    local t = {1, 2, 3}
    table.setn(t, 10)
    a = table.getn(t)
    local u = {n = 2, 1, 2, 3}
    table.setn(u, 5)
    b = u.n
    c = table.getn({1, 2, nil, 4})
    d = table.getn({})
  )");
  EXPECT_EQ(Number("a"), 10);
  EXPECT_EQ(Number("b"), 5);
  EXPECT_EQ(Number("c"), 2);
  EXPECT_EQ(Number("d"), 0);
}

TEST_F(LuaEnvironment, RequireLoadsALuaFileByItsName) {
  test::TempDir dir;
  dir.Write("helpers.lua", "helper_loaded = (helper_loaded or 0) + 1\nreturn {answer = 42}");
  std::string cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  Run("local m = require('helpers') answer = m.answer local again = require('helpers')");
  std::string missing = RunExpectingError("require('no_such_module')");
  std::filesystem::current_path(cwd);
  EXPECT_EQ(Number("answer"), 42);
  EXPECT_EQ(Number("helper_loaded"), 1);
  EXPECT_NE(missing.find("no_such_module"), std::string::npos) << missing;
}

TEST_F(LuaEnvironment, BlocksThatReturnValuesLeaveTheStackAsTheyFoundIt) {
  lua_State* state = Host().State();
  int before = lua_gettop(state);
  Run("return 1, 2, 3");
  Run("return {}, 'x'");
  RunExpectingError("error('boom')");
  EXPECT_EQ(lua_gettop(state), before);
}

}  // namespace
}  // namespace tessel
