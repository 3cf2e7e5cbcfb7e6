// The real engine on a packed game: script blocks load pictures from main.dat,
// show them on layers, fade one in and quit from a scripted effect's end
// while another scripted effect still runs; the test grabs the window.
#include <cstdlib>
#include <thread>

#include "graphics/GraphicsTest.h"
#include "support/XWindow.h"

namespace tessel {
namespace {

using test::EncodePng;
using test::Picture;
using test::Rgba;

TEST(GraphicsEndToEnd, PackedGameShowsLayersFadesAndQuitsCleanly) {
  const char* display_name = std::getenv("DISPLAY");
  ASSERT_TRUE(display_name != nullptr && *display_name != '\0') << "needs an X server (make test)";

  test::TestGame game;
  game.File("pic.png", EncodePng(Picture(32, 32, {255, 0, 0, 255}), false));
  game.File("green.png", EncodePng(Picture(16, 16, {0, 255, 0, 255}), true));
  game.Scenario(
      "main.tsl",
      u"{SetBaseColor(1, 1, 0, 0) InitWindow(96, 64) ChgCaption('tessel-graphics-e2e', '')\n"
      u" red = CreateLayer(LoadTexImage('pic.png')) OffsetLayer(red, 8, 8) LayerAddFront(red)\n"
      u" green = CreateLayer(LoadTexImage('green.png')) OffsetLayer(green, 56, 8)\n"
      u" ChgLayerAlpha(green, 0) LayerAddFront(green)\n"
      u" EffectCopy(green, 1, 300, false)\n"
      u" function Quit() print('quitting') SystemExit() end\n"
      u" function Tick(layer, duration, t) end\n"
      u" function Never() print('end after close') end\n"
      u" EffectCopy(red, 1000, 2500, false, '', '', 'Quit')\n"
      u" EffectCopy(green, 1000, 1000000, false, '', 'Tick', 'Never')}\n");
  test::TempDir dir;
  game.WritePacked(dir.Path());

  test::ProcessResult result;
  std::thread engine([&] { result = test::RunTessel({"main.tsl"}, dir.Path(), {}, 60); });

  // Until the fade has ended (green fully shown) or time is up.
  const test::XWindow window = test::XWindow::Find("tessel-graphics-e2e");
  const test::Picture shot = window.GrabUntil([](const test::Picture& picture) {
    return picture.Green(60, 12) == 255 && picture.Blue(60, 12) == 0;
  });
  engine.join();

  ASSERT_TRUE(shot.Valid()) << result.out;
  EXPECT_EQ(shot.At(2, 2), (Rgba{0, 0, 255, 255}));
  EXPECT_EQ(shot.At(20, 20), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(shot.At(60, 12), (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("quitting\n"), std::string::npos) << result.out;
  // The effect still running at shutdown does not call into the closed Lua state.
  EXPECT_EQ(result.out.find("end after close"), std::string::npos) << result.out;
  EXPECT_EQ(result.err.find("released"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace tessel
