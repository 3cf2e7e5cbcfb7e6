#include "graphics/GraphicsTest.h"

#include <SDL_opengl.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>

extern "C" {
#include <lua.h>
}

#include "app/Application.h"
#include "app/Window.h"
#include "graphics/LayerTable.h"
#include "graphics/Renderer.h"
#include "graphics/ScreenSurface.h"
#include "resource/BaseDirectory.h"
#include "script/ScriptHost.h"

namespace tessel::test {

std::string StopCapturingStdout() {
  std::fflush(stdout);
  return ::testing::internal::GetCapturedStdout();
}

const void* GlobalHandle(const std::string& global) {
  lua_State* state = Host().State();
  lua_getglobal(state, global.c_str());
  const void* handle = lua_islightuserdata(state, -1) ? lua_touserdata(state, -1) : nullptr;
  lua_pop(state, 1);
  return handle;
}

void SetGlobalHandle(const std::string& global, const void* handle) {
  lua_State* state = Host().State();
  lua_pushlightuserdata(state, const_cast<void*>(handle));
  lua_setglobal(state, global.c_str());
}

std::string StopCapturingStderr() {
  std::fflush(stderr);
  return ::testing::internal::GetCapturedStderr();
}

void GraphicsScriptTest::SetUp() {
  SdlScriptTest::SetUp();
  SetBaseDirectory(dir_.Path().string() + "/");
  LayerTable::Reset();
}

void GraphicsScriptTest::TearDown() {
  SdlScriptTest::TearDown();
  LayerTable::Reset();
  SetBaseDirectory("");
}

void GraphicsWindowTest::SetUp() {
  WindowTest::SetUp();
  if (HasFatalFailure()) return;
  SetBaseDirectory(dir_.Path().string() + "/");
  LayerTable::Reset();
  BaseColor() = Color{0.0, 0.0, 1.0, 1.0};  // blue: nothing drawn shows as blue
  ::testing::internal::CaptureStdout();     // the window reports are noise here
  InitWindow(kWidth, kHeight);
  StopCapturingStdout();
}

void GraphicsWindowTest::TearDown() {
  WindowTest::TearDown();
  LayerTable::Reset();
  SetBaseDirectory("");
  BaseColor() = Color{};
}

void GraphicsWindowTest::RenderFrame() { DrawFrame(); }

Rgba GraphicsWindowTest::Pixel(int x, int y) {
  const std::uint32_t value = ReadPixel(x, y);
  return Rgba{static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
              static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

std::ostream& operator<<(std::ostream& out, const Rgba& c) {
  return out << "rgba(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ", " << int(c.a)
             << ")";
}

::testing::AssertionResult Near(const Rgba& actual, const Rgba& expected, int tolerance) {
  auto close = [tolerance](int a, int b) { return std::abs(a - b) <= tolerance; };
  if (close(actual.r, expected.r) && close(actual.g, expected.g) && close(actual.b, expected.b)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << actual << " is not near " << expected;
}

}  // namespace tessel::test
