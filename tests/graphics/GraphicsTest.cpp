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
  OpenWindow(kWidth, kHeight);
}

void GraphicsWindowTest::TearDown() {
  WindowTest::TearDown();
  SetBaseDirectory("");
}

::testing::AssertionResult Near(const Rgba& actual, const Rgba& expected, int tolerance) {
  auto close = [tolerance](int a, int b) { return std::abs(a - b) <= tolerance; };
  if (close(actual.r, expected.r) && close(actual.g, expected.g) && close(actual.b, expected.b)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << actual << " is not near " << expected;
}

}  // namespace tessel::test
