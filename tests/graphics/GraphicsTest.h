#pragma once

#include <string>

#include "graphics/ImageFiles.h"
#include "script/EngineObject.h"
#include "support/TestSupport.h"

namespace tessel::test {

// Standard output written by the engine's log while `body` runs.
template <class Body>
std::string LogOf(Body body);
// Standard error written while `body` runs (the released-object messages).
template <class Body>
std::string ErrorsOf(Body body);

std::string StopCapturingStdout();
// The light userdata held by a Lua global (nullptr for anything else).
const void* GlobalHandle(const std::string& global);
// Sets a Lua global to a handle (a light userdata).
void SetGlobalHandle(const std::string& global, const void* handle);
// The live engine object of class T behind a Lua global.
template <class T>
T* GlobalObject(const std::string& global);
std::string StopCapturingStderr();

template <class T>
T* GlobalObject(const std::string& global) {
  return Registry().Find<T>(GlobalHandle(global));
}

template <class Body>
std::string LogOf(Body body) {
  ::testing::internal::CaptureStdout();
  body();
  return StopCapturingStdout();
}

template <class Body>
std::string ErrorsOf(Body body) {
  ::testing::internal::CaptureStderr();
  body();
  return StopCapturingStderr();
}

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
  // Draws as the frame loop does (clear to the base colour, Begin2D,
  // DrawLayers, End2D) and leaves the frame unswapped for Pixel.
  void RenderFrame();
  // A pixel of the last frame, window coordinates (y downwards).
  Rgba Pixel(int x, int y);

  TempDir dir_;
};

// For EXPECT_EQ on pixels.
std::ostream& operator<<(std::ostream& out, const Rgba& colour);
// Equal within `tolerance` on every channel (blending rounds).
::testing::AssertionResult Near(const Rgba& actual, const Rgba& expected, int tolerance = 2);

}  // namespace tessel::test
