// The real engine plays a small bilingual story under the tests' X server:
// English typed with DejaVu, two paragraph waits and a page end, Japanese
// with ruby in VL Gothic, and a choice picked with the mouse. xdotool plays
// the player; the test follows the game's log lines (no sleeps) and reads
// the window's pixels with xwd.
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "support/XWindow.h"
#include "support/TestSupport.h"
#include "text/Font.h"

namespace tessel {
namespace {

constexpr const char* kCaption = "tessel-story-e2e";

// The layers stand at (10, 20); English is white, Japanese a pale yellow and
// its ruby a pale cyan (ChgFontColor shows its arguments as red, green, blue
// on the page).
test::TestGame StoryGame() {
  test::TestGame game;
  game.Scenario(
      "main.tsl",
      u"{InitWindow(320, 240) ChgCaption('tessel-story-e2e', '')\n"
      u"en = CreateNewFont('DejaVuSans.ttf', 16) ChgFontColor(en, 255, 255, 255)\n"
      u"ja = CreateNewFont('VL-Gothic-Regular.ttf', 20) ChgFontColor(ja, 255, 255, 160)\n"
      u"ruby = CreateNewFont('VL-Gothic-Regular.ttf', 10) ChgFontColor(ruby, 160, 255, 255)\n"
      u"english = CreateScenarioLayer(300, 200, en, ruby) OffsetLayer(english, 10, 20)\n"
      u"LayerAddFront(english) EnableScenarioLayer(english)\n"
      u"japanese = CreateScenarioLayer(300, 200, ja, ruby) OffsetLayer(japanese, 10, 20)\n"
      u"LayerAddFront(japanese)\n"
      u"ticks = 0\n"
      u"marker = {}\n"
      u"function marker.begin(x, y) ticks = 0 print('keywait begin', x, y) end\n"
      u"function marker:tick(x, y, t)\n"
      u"  ticks = ticks + 1\n"
      u"  if ticks == 3 then print('keywait shown', x, y) end  # frames are on screen\n"
      u"end\n"
      u"function marker.finish() print('keywait end') end\n"
      u"SetMesKeywaitFunc(english, 'marker.begin', 'marker:tick', 'marker.finish', 8)\n"
      u"SetMesKeywaitFunc(japanese, 'marker.begin', 'marker:tick', 'marker.finish', 8)}\n"
      u"Hello, world.\n"
      u"\n"
      u"And a second line.\n"
      u"\n"
      u"\n"
      u"{DisableScenarioLayer(english) VisibleLayer(english, false)\n"
      u" EnableScenarioLayer(japanese)}\u65E5<\u306B>\u672C<\u307B\u3093>\u8A9E<\u3054>"
      u"\u3067\u3059\u3002\n"
      u"\n"
      u"$\u306F\u3044$yes.tsl$$\u3044\u3044\u3048{print('buttons made')}$no.tsl$\n"
      u"{print('after the choice') SystemExit()}\n");
  game.Scenario("yes.tsl", u"{print('in yes')}\n");
  game.Scenario("no.tsl", u"{print('in no')}\n");
  return game;
}

using test::Picture;

class StoryEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    ASSERT_TRUE(display != nullptr && *display != '\0') << "needs an X server (make test)";
    StoryGame().WritePacked(dir_.Path());
  }

  Picture Grab() { return window_.Grab(); }
  void Key(const std::string& key) { window_.Key(key); }
  void MoveAndClick(int x, int y) { window_.MoveAndClick(x, y); }

  test::TempDir dir_;
  test::XWindow window_;
};

TEST_F(StoryEndToEnd, ParagraphsAPageEndRubyAndAClickedChoice) {
  // Line metrics of the Japanese fonts, read at run time, place the click.
  if (TTF_WasInit() == 0) TTF_Init();
  const int pitch = Font::Open("VL-Gothic-Regular.ttf", 20)->Data()->LineSkip() +
                    Font::Open("VL-Gothic-Regular.ttf", 10)->Data()->LineSkip();
  ASSERT_GT(pitch, 0);

  // Centred on the screen, away from the small windows other tests open at
  // its corner: pixels are read from the screen, so nothing may cover it.
  std::unique_ptr<test::ChildProcess> game =
      test::StartTessel({"main.tsl"}, dir_.Path(), {"SDL_VIDEO_CENTERED=1"});
  ASSERT_TRUE(game->WaitFor("keywait shown")) << game->Out() << game->Err();
  window_ = test::XWindow::Find(kCaption);
  ASSERT_TRUE(window_.Valid());

  // First paragraph: one line of white text.
  const Picture first = Grab();
  ASSERT_TRUE(first.Valid());
  ASSERT_EQ(first.width, 320);
  const int first_bottom = first.LowestInkedRow();
  EXPECT_GT(first.InkInRows(20, first_bottom + 1), 50);
  EXPECT_EQ(first.InkInRows(0, 20), 0);  // nothing above the layer

  Key("Return");
  ASSERT_TRUE(game->WaitFor("keywait end"));
  ASSERT_TRUE(game->WaitFor("keywait shown")) << game->Out();

  // After Return the second line is typed below; the first is untouched.
  const Picture second = Grab();
  EXPECT_GT(second.InkInRows(first_bottom + 1, 240), 50);
  int unchanged = 0;
  int inked = 0;
  for (int y = 20; y <= first_bottom; ++y) {
    for (int x = 0; x < 320; ++x) {
      if (!first.Inked(x, y)) continue;
      ++inked;
      unchanged += second.Red(x, y) == first.Red(x, y);
    }
  }
  EXPECT_EQ(unchanged, inked);

  // The page end: Return clears it, and the Japanese layer takes over.
  Key("Return");
  ASSERT_TRUE(game->WaitFor("keywait end"));
  ASSERT_TRUE(game->WaitFor("keywait shown")) << game->Out();
  const Picture japanese = Grab();
  int white = 0;
  int ruby_bottom = -1;
  int text_top = 240;
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 320; ++x) {
      if (!japanese.Inked(x, y)) continue;
      const int red = japanese.Red(x, y);
      const int blue = japanese.Blue(x, y);
      white += red > 200 && std::abs(red - blue) < 20;
      if (blue > red + 30) ruby_bottom = std::max(ruby_bottom, y);  // pale cyan
      if (red > blue + 30) text_top = std::min(text_top, y);        // pale yellow
    }
  }
  EXPECT_EQ(white, 0);  // the English page is gone
  EXPECT_GE(ruby_bottom, 20);
  EXPECT_LT(ruby_bottom, text_top);  // the ruby sits above its text
  EXPECT_LT(text_top, 20 + pitch);

  // The choice: the second line, one pitch further down.
  Key("Return");
  ASSERT_TRUE(game->WaitFor("buttons made")) << game->Out();
  MoveAndClick(30, 20 + pitch + pitch + pitch / 2);
  const test::ProcessResult result = game->Finish(60);
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_EQ(
      test::FirstMissingInOrder(
          result.out, {"keywait begin\t0\t0\n", "keywait end\n", "keywait end\n", "keywait end\n",
                       "-> Push Alternative\n", "buttons made\n", "Reading Script no.tsl\n",
                       "\t-> Push no.tsl\n\tLineNumber : 0\n", "in no\n", "\t\t<- Pop no.tsl\n",
                       "\tLeave point main.tsl\n", "after the choice\n"}),
      "")
      << result.out;
  EXPECT_EQ(result.out.find("in yes"), std::string::npos);
  EXPECT_EQ(result.err.find("released"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace tessel
