#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resource/BaseDirectory.h"
#include "app/playtest/PngWriter.h"
#include "app/WindowIcon.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

class WindowIconTest : public test::WindowTest {
 protected:
  void SetUp() override {
    test::WindowTest::SetUp();
    SetBaseDirectory(dir_.Path().string() + "/");
  }
  void TearDown() override {
    WindowIcon::Forget();
    SetBaseDirectory("");
    test::WindowTest::TearDown();
  }
  // The size the window manager is told, as xprop draws _NET_WM_ICON: "Icon (W x H):".
  static std::string IconSizeOnScreen() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0) return "no window";
    const std::string command =
        "xprop -id " + std::to_string(info.info.x11.window) + " _NET_WM_ICON 2>&1 | head -c 80";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
      char buffer[128];
      while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
      pclose(pipe);
    }
    const std::size_t open = out.find("Icon (");
    const std::size_t close = out.find(')', open);
    if (open == std::string::npos || close == std::string::npos) return out;
    return out.substr(open + 6, close - open - 6);
  }
  test::TempDir dir_;
};

TEST_F(WindowIconTest, PictureBeforeAndAfterTheWindowReachesTheWindowManager) {
  ASSERT_TRUE(WritePng((dir_.Path() / "small.png").string(), 16, 8,
                       std::vector<std::uint8_t>(16 * 8 * 4, 200)));
  SDL_Surface* bmp = SDL_CreateRGBSurface(SDL_SWSURFACE, 24, 24, 24, 0xFF, 0xFF00, 0xFF0000, 0);
  ASSERT_EQ(SDL_SaveBMP(bmp, (dir_.Path() / "large.bmp").string().c_str()), 0);
  SDL_FreeSurface(bmp);

  Run("SetWindowIcon('small.png')  InitWindow(64, 48)");
  EXPECT_EQ(IconSizeOnScreen(), "16 x 8");
  Run("SetWindowIcon('large.bmp')");
  EXPECT_EQ(IconSizeOnScreen(), "24 x 24");
}

TEST_F(WindowIconTest, MissingOrBrokenFileIsALogLineAndKeepsTheIcon) {
  ASSERT_TRUE(WritePng((dir_.Path() / "icon.png").string(), 8, 8,
                       std::vector<std::uint8_t>(8 * 8 * 4, 90)));
  dir_.Write("broken.png", "not a picture");
  Run("SetWindowIcon('icon.png')");
  testing::internal::CaptureStdout();
  Run("SetWindowIcon('missing.png')  SetWindowIcon('broken.png')  SetWindowIcon()  SetWindowIcon({})");
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_NE(log.find("SetWindowIcon: 'missing.png' is no picture"), std::string::npos) << log;
  EXPECT_NE(log.find("SetWindowIcon: 'broken.png' is no picture"), std::string::npos) << log;
  EXPECT_NE(log.find("SetWindowIcon: needs the name of a picture file"), std::string::npos) << log;
  EXPECT_EQ(WindowIcon::Width(), 8);
}

}  // namespace
}  // namespace tessel
