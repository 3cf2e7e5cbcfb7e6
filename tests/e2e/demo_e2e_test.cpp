// The bundled demo, played by the real engine from the archive the build
// packs (<build>/demo/main.dat), the way `make demo` plays it: each language
// and each branch of its choice, to the end. xdotool is the player; the test
// follows the demo's own log lines ("[demo] key wait N" once a page is on
// screen) and the engine's trace rather than sleeping, and probes the
// window's pixels: the background of each scene, the text in the message
// window, the ruby over the Japanese text, the key-wait marker, the choice
// lines, and the H key and right button hiding the text.
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "support/XWindow.h"
#include "support/TestSupport.h"
#include "text/Font.h"

namespace tessel {
namespace {

using test::Picture;

// Where demo/game/stage.lua puts the message window and its panel.
constexpr int kTextLeft = 46;
constexpr int kTextTop = 428;
constexpr int kTextRight = 46 + 708;
constexpr int kLines = 4;  // a page of the demo holds at most four lines

struct DemoPath {
  const char* language;  // "en" or "ja": the folder of its scenario files
  const char* branch;    // "garden" or "library"
};

std::string Name(const DemoPath& path) {
  return std::string(path.language) + "_" + path.branch;
}
void PrintTo(const DemoPath& path, std::ostream* out) { *out << Name(path); }

// The line pitch of a message window: the text font's line plus the ruby band.
int Pitch(const char* font, int size, int ruby_size) {
  if (TTF_WasInit() == 0) TTF_Init();
  return Font::Open(font, size)->Data()->LineSkip() +
         Font::Open(font, ruby_size)->Data()->LineSkip();
}

// Light text on the dark panel; the half-transparent choice lines count too.
bool Ink(const Picture& p, int x, int y) { return p.Red(x, y) + p.Green(x, y) + p.Blue(x, y) > 300; }
// The story text, a warm white (nothing else this bright and pale shows
// behind the window's lower part).
bool White(const Picture& p, int x, int y) {
  return p.Red(x, y) > 200 && p.Green(x, y) > 200 && p.Blue(x, y) > 180;
}
// The ruby colour, a pale blue (the story text is a warm white).
bool Ruby(const Picture& p, int x, int y) {
  return p.Blue(x, y) > 180 && p.Blue(x, y) > p.Red(x, y) + 30;
}
// The key-wait marker, yellow.
bool Marker(const Picture& p, int x, int y) {
  return p.Red(x, y) > 150 && p.Green(x, y) > 100 && p.Blue(x, y) < 130;
}
// The title's dark blue.
bool Title(const Picture& p, int x, int y) {
  return p.Red(x, y) < 60 && p.Green(x, y) < 100 && p.Blue(x, y) > 90;
}

int InkInLine(const Picture& p, int line, int pitch) {
  return p.Count(kTextLeft, kTextTop + line * pitch, kTextRight, kTextTop + (line + 1) * pitch, Ink);
}
int InWindow(const Picture& p, int pitch,
             const std::function<bool(const Picture&, int, int)>& test) {
  return p.Count(kTextLeft, kTextTop, kTextRight, kTextTop + kLines * pitch, test);
}

bool Sky(const Picture& p, int x, int y) {
  return p.Blue(x, y) > 180 && p.Blue(x, y) > p.Red(x, y) + 40;
}
bool LibraryWall(const Picture& p, int x, int y) {
  return p.Red(x, y) > p.Blue(x, y) && p.Red(x, y) + p.Green(x, y) + p.Blue(x, y) < 300;
}
bool SunsetSky(const Picture& p, int x, int y) {
  return p.Green(x, y) < 100 && p.Blue(x, y) > p.Green(x, y);
}
// Tessa's red dress, in the middle of the window.
bool Dress(const Picture& p) {
  return p.Red(400, 380) > 180 && p.Green(400, 380) < 140 && p.Blue(400, 380) < 140;
}
// A point of the panel over the hills: dark with the panel, green without it.
bool PanelShown(const Picture& p) { return p.Green(700, 560) < 80; }

class DemoEndToEnd : public ::testing::TestWithParam<DemoPath> {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    ASSERT_TRUE(display != nullptr && *display != '\0') << "needs an X server (make test)";
    ASSERT_TRUE(std::filesystem::exists(demo_dir_ / "main.dat")) << "build the demo_game target";
  }

  // Waits until the demo says page `n` is on screen, and grabs it once the
  // marker shows.
  Picture KeyWait(int n) {
    EXPECT_TRUE(game_->WaitFor("[demo] key wait " + std::to_string(n) + "\n", 60))
        << game_->Out() << game_->Err();
    Picture page =
        window_.GrabUntil([&](const Picture& p) { return InWindow(p, pitch_, Marker) > 5; });
    EXPECT_GT(InWindow(page, pitch_, Marker), 5) << "no key-wait marker at wait " << n;
    return page;
  }

  const std::filesystem::path demo_dir_ = std::filesystem::path(TESSEL_BUILD_DIR) / "demo";
  std::unique_ptr<test::ChildProcess> game_;
  test::XWindow window_;
  int pitch_ = 0;
};

TEST_P(DemoEndToEnd, PlaysALanguageAndABranchToTheEnd) {
  const std::string language = GetParam().language;
  const std::string branch = GetParam().branch;
  const bool japanese = language == "ja";
  const int chooser_pitch = Pitch("VL-PGothic-Regular.ttf", 22, 11);
  pitch_ = japanese ? chooser_pitch : Pitch("DejaVuSans.ttf", 20, 10);
  ASSERT_GT(chooser_pitch, 0);
  ASSERT_GT(pitch_, 0);

  // Centred on the screen, away from the small windows other tests open at
  // its corner: pixels are read from the screen, so nothing may cover it.
  game_ = test::StartTessel({"main.tsl"}, demo_dir_, {"SDL_VIDEO_CENTERED=1"});
  ASSERT_TRUE(game_->WaitFor("[demo] choose a language\n", 60)) << game_->Out() << game_->Err();
  window_ = test::XWindow::Find("Tessel demo");
  ASSERT_TRUE(window_.Valid());

  // The title screen, once its fades are over: the sky, the title grown to
  // its size, the prompt and the two languages as choice lines.
  Picture first = window_.GrabUntil([&](const Picture& p) {
    return Sky(p, 120, 300) && p.Count(250, 110, 550, 210, Title) > 2000 &&
           InkInLine(p, 2, chooser_pitch) > 50;
  });
  ASSERT_TRUE(first.Valid());
  ASSERT_EQ(first.width, 800);
  EXPECT_TRUE(Sky(first, 120, 300));
  EXPECT_GT(first.Count(250, 110, 550, 210, Title), 2000);
  EXPECT_GT(InkInLine(first, 0, chooser_pitch), 200);  // the prompt
  EXPECT_GT(InkInLine(first, 1, chooser_pitch), 50);   // English
  EXPECT_GT(InkInLine(first, 2, chooser_pitch), 50);   // 日本語
  EXPECT_EQ(InkInLine(first, 3, chooser_pitch), 0);
  const int language_line = japanese ? 2 : 1;
  window_.MoveAndClick(200, kTextTop + language_line * chooser_pitch + chooser_pitch / 2);

  // Page 1: two lines typed over the sky; ruby only in Japanese.
  Picture page = KeyWait(1);
  EXPECT_TRUE(Sky(page, 120, 300));
  EXPECT_EQ(page.Count(250, 110, 550, 210, Title), 0);  // the title has faded out
  EXPECT_GT(InkInLine(page, 0, pitch_), 200);
  EXPECT_GT(InkInLine(page, 1, pitch_), 200);
  EXPECT_EQ(InkInLine(page, 2, pitch_), 0);
  if (japanese) {
    // The ruby sits in the band above the second line, under the first.
    const int band_top = kTextTop + pitch_;
    EXPECT_GT(page.Count(kTextLeft, band_top, kTextRight, band_top + pitch_ / 3, Ruby), 20);
  } else {
    EXPECT_EQ(InWindow(page, pitch_, Ruby), 0);
  }
  window_.Key("Return");

  // The paragraph goes on below without clearing; then a page end.
  page = KeyWait(2);
  EXPECT_GT(InkInLine(page, 2, pitch_), 200);
  window_.Key("Return");

  // Page 2: Tessa has spun in; H hides the text, the right button shows it.
  page = KeyWait(3);
  EXPECT_TRUE(Dress(page));
  EXPECT_TRUE(PanelShown(page));
  EXPECT_EQ(InkInLine(page, 2, pitch_), 0);  // the page was cleared
  if (japanese && branch == "garden") {
    // The README's picture: Japanese with ruby, Tessa, the marker.
    window_.SaveScaled(demo_dir_ / "screenshot.png", 400);
  }
  window_.Key("h");
  ASSERT_TRUE(game_->WaitFor("[demo] text hidden\n"));
  page = window_.GrabUntil([](const Picture& p) { return !PanelShown(p); });
  EXPECT_FALSE(PanelShown(page));
  EXPECT_EQ(InWindow(page, pitch_, White), 0);
  window_.MoveAndClick(700, 100, 3);
  ASSERT_TRUE(game_->WaitFor("[demo] text shown\n"));
  page = window_.GrabUntil(PanelShown);
  EXPECT_GT(InkInLine(page, 0, pitch_), 200);
  window_.Key("Return");

  // The choice, on a page of its own: the question and two choice lines.
  KeyWait(4);
  window_.Key("Return");
  ASSERT_TRUE(game_->WaitFor("-> Push Alternative\n"));
  ASSERT_TRUE(game_->WaitFor("-> Push Alternative\n"));
  page = window_.GrabUntil([&](const Picture& p) { return InkInLine(p, 2, pitch_) > 50; });
  EXPECT_GT(InkInLine(page, 0, pitch_), 100);
  EXPECT_GT(InkInLine(page, 1, pitch_), 50);
  EXPECT_GT(InkInLine(page, 2, pitch_), 50);
  EXPECT_EQ(InkInLine(page, 3, pitch_), 0);
  const int branch_line = branch == "garden" ? 1 : 2;
  window_.MoveAndClick(200, kTextTop + branch_line * pitch_ + pitch_ / 2);

  // The branch's own background.
  page = KeyWait(5);
  if (branch == "garden") {
    EXPECT_TRUE(Sky(page, 20, 30));
  } else {
    EXPECT_TRUE(LibraryWall(page, 20, 30));
  }
  window_.Key("Return");
  KeyWait(6);
  window_.Key("Return");

  // The common ending, at sunset; the last Return ends the game.
  page = KeyWait(7);
  EXPECT_TRUE(SunsetSky(page, 20, 30));
  window_.Key("Return");
  // Tessa has faded out; the glow's light is added onto the sun.
  page = KeyWait(8);
  EXPECT_FALSE(Dress(page));
  EXPECT_GT(page.Blue(400, 300), 150);
  window_.Key("Return");

  const test::ProcessResult result = game_->Finish(60);
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  const std::string start = language + "/start.tsl";
  const std::string chosen = language + "/" + branch + ".tsl";
  const std::string ending = language + "/ending.tsl";
  EXPECT_EQ(test::FirstMissingInOrder(
                result.out,
                {"Reading Script main.tsl\n", "[demo] choose a language\n",
                 "Reading Script " + start + "\n", "\t-> Push " + start + "\n",
                 "[demo] key wait 1\n", "[demo] key wait 4\n", "Reading Script " + chosen + "\n",
                 "\t\t-> Push " + chosen + "\n", "[demo] branch: " + branch + "\n",
                 "[demo] key wait 6\n", "\t\t\t<- Pop " + chosen + "\n",
                 "\t\tLeave point " + start + "\n", "Reading Script " + ending + "\n",
                 "\t\t-> Push " + ending + "\n", "[demo] ending\n", "[demo] key wait 8\n",
                 "\t\t\t<- Pop " + ending + "\n", "\t\t<- Pop " + start + "\n",
                 "\tLeave point main.tsl\n", "[demo] the end\n", "Profile Result Output Begin.\n"}),
            "")
      << result.out;
  EXPECT_EQ(result.out.find("[demo] key wait 9\n"), std::string::npos);
  // Nothing went wrong on the way: no script error, no released object, no
  // missing file, picture, sound or font.
  for (const char* problem : {"!! Panic !!", "doesn't exist", "Can't Load image",
                              "Can't open music file", "was not found"}) {
    EXPECT_EQ(result.out.find(problem), std::string::npos) << problem << "\n" << result.out;
  }
  for (const char* problem : {"released", "is not a live", ".tsl:", ".lua:"}) {
    EXPECT_EQ(result.err.find(problem), std::string::npos) << problem << "\n" << result.err;
  }
}

INSTANTIATE_TEST_SUITE_P(LanguagesAndBranches, DemoEndToEnd,
                         ::testing::Values(DemoPath{"en", "garden"}, DemoPath{"en", "library"},
                                           DemoPath{"ja", "garden"}, DemoPath{"ja", "library"}),
                         [](const auto& info) { return Name(info.param); });

}  // namespace
}  // namespace tessel
