// The real engine resting in a timed pause: with power save it sleeps
// instead of spinning, measured by the game itself (Lua's os.clock is the
// process's processor time), and the story goes on as before.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/TestSupport.h"

namespace tessel {
namespace {

test::TestGame RestingGame() {
  test::TestGame game;
  game.Scenario("main.tsl",
                u"{InitWindow(200, 100)\n"
                u"font = CreateNewFont('DejaVuSans.ttf', 12)\n"
                u"page = CreateScenarioLayer(180, 80, font, font) LayerAddFront(page)\n"
                u"EnableScenarioLayer(page) ChgMesWait(page, 20)}\n"
                u"Resting.{c0 = os.clock() MesWndWait(page, 3000)}"
                u"{print(string.format('rest cpu %.3f', os.clock() - c0))}"
                u"Awake.{print('typed') SystemExit()}\n");
  return game;
}

double RestCpu(const std::vector<std::string>& env) {
  test::TempDir dir;
  RestingGame().WriteLoose(dir.Path());
  auto result = test::RunTessel({"main.tsl"}, dir.Path(), env, 120);
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("typed"), std::string::npos) << result.out;
  const std::size_t at = result.out.find("rest cpu ");
  if (at == std::string::npos) {
    ADD_FAILURE() << result.out;
    return -1;
  }
  return std::atof(result.out.c_str() + at + 9);
}

TEST(PowerSave, ARestingStoryUsesLittleProcessorTimeAndStillGoesOn) {
  const double busy = RestCpu({});
  const double resting = RestCpu({"TESSEL_POWER_SAVE=1"});
  ASSERT_GE(resting, 0);
  // Three seconds of rest: the busy wait spends most of them on the
  // processor, the power-save wait very little.
  EXPECT_LT(resting, 1.0) << "busy " << busy;
  EXPECT_LT(resting, busy * 0.5) << "busy " << busy;
}

}  // namespace
}  // namespace tessel
