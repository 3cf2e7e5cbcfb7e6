#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_opengl.h>
#include <dlfcn.h>
#include <link.h>

#include <string>

#include "app/Application.h"
#include "graphics/ScreenSurface.h"
#include "graphics/WindowSize.h"
#include "app/SystemEventHandler.h"
#include "resource/BaseDirectory.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

class Window : public test::WindowTest {
 protected:
  void TearDown() override {
    BaseColor() = Color{};
    test::WindowTest::TearDown();
  }
};

TEST_F(Window, OpensWithTheRequestedSizeAndReportsIt) {
  testing::internal::CaptureStdout();
  Run("InitWindow(320, 240)  w, h = GetWindowSize()");
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(Number("w"), 320);
  EXPECT_EQ(Number("h"), 240);
  EXPECT_NE(out.find("Begin Check CPU Extensions.\n"), std::string::npos);
  EXPECT_NE(out.find("SSE2     Support    : "), std::string::npos);
  EXPECT_NE(out.find("Renderer   : "), std::string::npos);
  EXPECT_NE(out.find("SDL_GL_RED_SIZE: requetsed 8, got 8\n"), std::string::npos) << out;
  EXPECT_NE(out.find("SDL_GL_DOUBLEBUFFER: requested 1, got 1\n"), std::string::npos);
}

TEST_F(Window, FirstFrameIsClearedToTheBaseColorSetBefore) {
  // Scripts pass alpha, blue, green, red.
  Run("SetBaseColor(1, 0, 0, 1)  InitWindow(64, 48)");
  EXPECT_EQ(ReadPixel(10, 10) >> 8, 0xFF0000u);
  Run("SetBaseColor(1, 1, 0.5, 0)");
  DrawFrame();
  std::uint32_t pixel = ReadPixel(32, 24);
  EXPECT_EQ(pixel >> 24, 0u);
  EXPECT_NEAR(static_cast<int>((pixel >> 16) & 0xFF), 128, 1);
  EXPECT_EQ((pixel >> 8) & 0xFF, 255u);
}

TEST_F(Window, SizesBeyondWhatCanBeDrawnAreTheVideoModeFailure) {
  const std::pair<const char*, const char*> kRefused[] = {
      {"1e300, 1e300", "2147483647x2147483647"}, {"2147483647, 2147483647", "2147483647x2147483647"},
      {"16385, 100", "16385x100"},                {"100, -1e300", "100x-2147483648"},
      {"-5, 100", "-5x100"},
  };
  for (const auto& [arguments, size] : kRefused) {
    EXPECT_EXIT(Run(std::string("InitWindow(") + arguments + ")"), testing::ExitedWithCode(2),
                std::string("^Couldn't set ") + size + "video mode: a window ")
        << arguments;
  }
  // NaN reads as 0, which asks for the desktop's size.
  Run("InitWindow(0/0, 48)  w, h = GetWindowSize()");
  EXPECT_GT(Number("w"), 0);
  EXPECT_EQ(Number("h"), 48);
}

TEST_F(Window, SizeBeforeAnyWindowIsZero) {
  Run("w, h = GetWindowSize()");
  EXPECT_EQ(Number("w"), 0);
  EXPECT_EQ(Number("h"), 0);
}

TEST_F(Window, CaptionTakesUtf8AndForgivesBadArguments) {
  Run("InitWindow(64, 48)");
  Run("ChgCaption('Tessel — テスト', 'icon')");
  char* title = nullptr;
  char* icon = nullptr;
  SDL_WM_GetCaption(&title, &icon);
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(std::string(title), "Tessel — テスト");
  Run("ChgCaption() ChgCaption('') ChgCaption({}, nil) ChgCaption(12, false)");
}

// A window system that keeps the window at 200 x 100 whatever size or mode is
// asked for, as a bare X server does with full screen.
TEST_F(Window, DrawsAtTheSizeTheWindowSystemReportsAfterEachModeChange) {
  SetWindowSizeSource([] { return std::optional<PixelSize>(PixelSize{200, 100}); });
  testing::internal::CaptureStdout();
  Run("InitWindow(320, 240)");
  SystemEventHandler::ToggleFullScreen();
  DrawFrame();
  const std::string out = testing::internal::GetCapturedStdout();
  SetWindowSizeSource(nullptr);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 200);
  EXPECT_EQ(viewport[3], 100);
  EXPECT_EQ(DrawingSize(), (PixelSize{200, 100}));
  EXPECT_NE(out.find("Video mode 320x240: the window is 200x100"), std::string::npos) << out;
  EXPECT_NE(out.find("Video mode 320x240 (full screen): the window is 200x100"), std::string::npos)
      << out;
  SystemEventHandler::ToggleFullScreen();
}

int FindSdl2(dl_phdr_info* info, size_t, void* found) {
  if (info->dlpi_name != nullptr && std::string(info->dlpi_name).find("libSDL2") != std::string::npos) {
    *static_cast<bool*>(found) = true;
  }
  return 0;
}

TEST_F(Window, TheSdl12ApiRunsOnTheCompatibilityLayer) {
  const SDL_version* linked = SDL_Linked_Version();
  EXPECT_EQ(linked->major, 1);
  EXPECT_EQ(linked->minor, 2);
  EXPECT_GE(linked->patch, 50) << "the classic SDL 1.2 library is linked, not the compatibility layer";
  bool sdl2_loaded = false;
  dl_iterate_phdr(&FindSdl2, &sdl2_loaded);
  EXPECT_TRUE(sdl2_loaded);
}

}  // namespace
}  // namespace tessel
