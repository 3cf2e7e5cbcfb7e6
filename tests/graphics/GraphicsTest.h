#pragma once

#include <string>

#include "graphics/ImageFiles.h"
#include "script/EngineObject.h"
#include "support/TestSupport.h"

namespace tessel::test {

// A Lua state with every command, a folder of resources as the base
// directory, an empty layer table; no window.
class GraphicsScriptTest : public SdlScriptTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Writes a resource file into the base directory.
  void WriteResource(const std::string& name, const std::string& bytes) { dir_.Write(name, bytes); }

  TempDir dir_;
};

// The same with a real OpenGL window of kWidth x kHeight opened by InitWindow.
class GraphicsWindowTest : public WindowTest {
 protected:
  static constexpr int kWidth = 64;
  static constexpr int kHeight = 64;

  void SetUp() override;
  void TearDown() override;
  void WriteResource(const std::string& name, const std::string& bytes) { dir_.Write(name, bytes); }

  TempDir dir_;
};

// Equal within `tolerance` on every channel (blending rounds).
::testing::AssertionResult Near(const Rgba& actual, const Rgba& expected, int tolerance = 2);

}  // namespace tessel::test
