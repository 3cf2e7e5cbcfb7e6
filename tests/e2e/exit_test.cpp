#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace tessel {
namespace {

// exit() called from deep inside the frame loop (a script's os.exit, the X
// server going away) runs static destructors instead of the orderly shutdown.
// Whatever is on screen then (a message window with its page texture, a
// picture layer, a font) must not be torn down against engine lists that are
// already gone.
TEST(UnplannedExit, FromACallbackWhileTheStoryIsOnScreenEndsCleanly) {
  test::TempDir dir;
  test::TestGame game;
  game.Scenario(
      "main.tsl",
      u"{InitWindow(320, 240)\n"
      u"font = CreateNewFont('DejaVuSans.ttf', 16)\n"
      u"window = CreateScenarioLayer(300, 200, font, font)\n"
      u"LayerAddFront(window) EnableScenarioLayer(window) ChgMesWait(window, 0)\n"
      u"picture = CreateLayer(CreateStringImage(font, 'title'))\n"
      u"LayerAddFront(picture)\n"
      u"function leave() print('leaving') os.exit(0) end\n"
      u"SetMesKeywaitFunc(window, '', 'leave', '', 0)}\n"
      u"Some text on the page.\n"
      u"\n"
      u"{print('not reached')}\n");
  game.WriteLoose(dir.Path());

  auto result = test::RunTessel({"main.tsl"}, dir.Path());
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("leaving"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("not reached"), std::string::npos);
  EXPECT_EQ(result.err.find("Sanitizer"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace tessel
