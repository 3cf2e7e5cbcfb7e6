// `tessel --autoplay` on small games written by the tests: the real binary
// plays every path of a choice tree, finds the problems on each branch with
// their lines, jumps over long pauses, and shoots decodable screenshots.
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "support/TestSupport.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;

// Opens the window and a scenario layer; the rest of the file follows.
std::u16string Opening(const std::u16string& rest) {
  return u"{InitWindow(320, 240)\n"
         u"font = CreateNewFont('DejaVuSans.ttf', 14)\n"
         u"page = CreateScenarioLayer(300, 200, font, font) LayerAddFront(page)\n"
         u"EnableScenarioLayer(page)}\n" +
         rest;
}

// Two levels of choices: four endings. One ending loads a picture that is
// not there, another calls a function nobody defined; one file is never
// reached by any choice.
test::TestGame ChoiceTree() {
  test::TestGame game;
  game.Scenario("main.tsl", Opening(u"Welcome to the tree.\n"
                                    u"\n"
                                    u"$Left$left.tsl$$Right$right.tsl$\n"
                                    u"Back in main.\n"
                                    u"\n"));
  game.Scenario("left.tsl", u"In the left room.\n"
                            u"\n"
                            u"$Up$left_up.tsl$$Down$left_down.tsl$\n");
  game.Scenario("right.tsl", u"In the right room.\n"
                             u"\n"
                             u"$Up$right_up.tsl$$Down$right_down.tsl$\n");
  game.Scenario("left_up.tsl", u"Left and up.\n\n");
  game.Scenario("left_down.tsl", u"Left and down.\n"
                                 u"{picture = LoadTexImage('nothere.png')}\n"
                                 u"@gone.tsl\n"
                                 u"The end.\n\n");
  game.Scenario("right_up.tsl", u"Right and up.\n"
                                u"\n"
                                u"{NobodyDefinedThis()}\n");
  game.Scenario("right_down.tsl", u"Right and down.\n\n");
  game.Scenario("unused.tsl", u"Nobody comes here.\n\n");
  return game;
}

std::string Section(const std::string& report, const std::string& title) {
  const std::size_t start = report.find(title);
  if (start == std::string::npos) return {};
  const std::size_t end = report.find("\n\n", start);
  return report.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

TEST(Autoplay, AllExploresEveryPathOnceAndReportsEachProblemWithItsLine) {
  test::TempDir dir;
  ChoiceTree().WriteLoose(dir.Path());
  auto result = test::RunTessel({"--autoplay", "--choose=all", "--max-seconds=240", "."},
                                dir.Path(), {}, 300);
  const std::string& report = result.out;
  EXPECT_EQ(result.status, 1) << report << result.err;

  EXPECT_NE(report.find("Paths played: 4\n"), std::string::npos) << report;
  // Each ending exactly once.
  const std::string paths = Section(report, "Paths played:");
  for (const char* pair : {"main.tsl:7#1 left.tsl:3#1", "main.tsl:7#1 left.tsl:3#2",
                           "main.tsl:7#2 right.tsl:3#1", "main.tsl:7#2 right.tsl:3#2"}) {
    std::size_t first = paths.find(pair);
    EXPECT_NE(first, std::string::npos) << pair << "\n" << report;
    EXPECT_EQ(paths.find(pair, first + 1), std::string::npos) << pair << "\n" << report;
  }
  EXPECT_NE(report.find("Choice lists: 3 seen, 6 of 6 choices taken"), std::string::npos) << report;
  EXPECT_NE(report.find("Scenario files reached: 7\n"), std::string::npos) << report;
  EXPECT_EQ(Section(report, "Scenario files never reached:"),
            "Scenario files never reached: 1\n  unused.tsl")
      << report;

  const std::string problems = Section(report, "Problems:");
  EXPECT_NE(problems.find("Problems: 3\n"), std::string::npos) << report;
  EXPECT_NE(problems.find("left_down.tsl:3: missing file: scenario file 'gone.tsl' does not exist"),
            std::string::npos)
      << report;
  EXPECT_NE(problems.find("left_down.tsl:2: missing file: picture 'nothere.png' does not exist"),
            std::string::npos)
      << report;
  EXPECT_NE(problems.find("right_up.tsl:3: script error:"), std::string::npos) << report;
  EXPECT_NE(problems.find("NobodyDefinedThis"), std::string::npos) << report;
  EXPECT_NE(report.find("exit status 1"), std::string::npos) << report;
}

TEST(Autoplay, FirstPlaysOnePathAndACleanGameExitsZero) {
  test::TempDir dir;
  ChoiceTree().WriteLoose(dir.Path());
  auto result = test::RunTessel({"--autoplay", "."}, dir.Path(), {}, 120);
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("Paths played: 1\n  p01: main.tsl:7#1 left.tsl:3#1 (the story ended)"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("Problems: 0\n"), std::string::npos) << result.out;
  // The files no choice of this path led to.
  EXPECT_NE(result.out.find("Scenario files never reached: 5\n"), std::string::npos) << result.out;
}

TEST(Autoplay, RandomWithASeedPlaysTheSamePathTwice) {
  test::TempDir dir;
  ChoiceTree().WriteLoose(dir.Path());
  auto first = test::RunTessel({"--autoplay", "--choose=random:7", "."}, dir.Path(), {}, 120);
  auto second = test::RunTessel({"--autoplay", "--choose=random:7", "."}, dir.Path(), {}, 120);
  const std::string paths = Section(first.out, "Paths played:");
  EXPECT_NE(paths.find("p01: main.tsl:7#"), std::string::npos) << first.out;
  EXPECT_EQ(paths, Section(second.out, "Paths played:"));
  EXPECT_NE(first.out.find("--choose=random:7"), std::string::npos) << first.out;
}

TEST(Autoplay, AnHourOfTextPlaysInSeconds) {
  test::TempDir dir;
  test::TestGame game;
  // 120 characters at 30 s each, and a wait of an hour: an hour and a half.
  std::u16string text;
  for (int i = 0; i < 4; ++i) text += u"The slowest story ever told, one letter at a time.\n";
  game.Scenario("main.tsl", Opening(u"{ChgMesWait(page, 30000)}" + text + u"\n"
                                    u"{MesWndWait(page, 3600000)}Still here.\n\n"));
  game.WriteLoose(dir.Path());
  auto result = test::RunTessel({"--autoplay", "--max-seconds=120", "."}, dir.Path(), {}, 150);
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("(the story ended)"), std::string::npos) << result.out;
}

TEST(Autoplay, ProblemsOfTheBootAndPanicsAreReported) {
  test::TempDir dir;
  test::TestGame game;
  // A key-wait callback that fails outside any command ends the run.
  game.Scenario("main.tsl", Opening(u"{function Broken(x, y) local t = nil; return t.field end\n"
                                    u"SetMesKeywaitFunc(page, 'Broken', '', '', 8)}\n"
                                    u"First paragraph.\n\n"
                                    u"Never shown.\n\n"));
  game.WriteLoose(dir.Path());
  auto result = test::RunTessel({"--autoplay", "."}, dir.Path(), {}, 120);
  EXPECT_EQ(result.status, 1) << result.out << result.err;
  EXPECT_NE(result.out.find("(panic)"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("main.tsl:5: panic:"), std::string::npos) << result.out;
}

TEST(Autoplay, AGameThatLeavesThroughOsExitEndsItsPathCleanly) {
  test::TempDir dir;
  test::TestGame game;
  game.Scenario("main.tsl", Opening(u"Goodbye.\n\n{os.exit(0)}Never shown.\n\n"));
  game.WriteLoose(dir.Path());
  auto result = test::RunTessel({"--autoplay", "."}, dir.Path(), {}, 120);
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("p01: no choice (the game exited)"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("Scenario files reached: 1\n"), std::string::npos) << result.out;
}

TEST(Autoplay, MaxSecondsStopsAGameThatNeverEnds) {
  test::TempDir dir;
  test::TestGame game;
  // Every choice leads back to the same list: the path never ends by itself.
  game.Scenario("main.tsl", Opening(u"{n = 0}\n"
                                    u"Again.\n\n"
                                    u"$Once more$main2.tsl$\n"));
  game.Scenario("main2.tsl", u"{n = n + 1}Round.\n\n$Once more$main2.tsl$\n");
  game.WriteLoose(dir.Path());
  auto result = test::RunTessel({"--autoplay", "--max-seconds=3", "."}, dir.Path(), {}, 120);
  EXPECT_EQ(result.status, 3) << result.out << result.err;
  EXPECT_NE(result.out.find("Out of time"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("exit status 3"), std::string::npos) << result.out;
}

TEST(Autoplay, ScreenshotsAreNamedByPathFileAndLineAndDecode) {
  test::TempDir dir;
  ChoiceTree().WriteLoose(dir.Path());
  auto result = test::RunTessel(
      {"--autoplay", "--choose=all", "--screenshots=shots", "--max-seconds=240", "."}, dir.Path(),
      {}, 300);
  ASSERT_EQ(result.status, 1) << result.out << result.err;
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.Path() / "shots")) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  ASSERT_FALSE(names.empty());
  for (const std::string& name : names) {
    EXPECT_TRUE(name.size() > 8 && name[0] == 'p' && name[3] == '-' && name[7] == '-') << name;
    EXPECT_NE(name.find(".tsl-L"), std::string::npos) << name;
    EXPECT_TRUE(name.ends_with("-wait.png") || name.ends_with("-choice.png")) << name;
  }
  // The first path shows the welcome, the first list, the left room and its list.
  EXPECT_NE(std::find(names.begin(), names.end(), "p01-001-main.tsl-L6-wait.png"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "p01-002-main.tsl-L7-choice.png"), names.end());
  // Later paths start where they part from the one before.
  for (const std::string& name : names) {
    if (name.rfind("p01-", 0) != 0) {
      EXPECT_EQ(name.find("main.tsl-L6"), std::string::npos) << name;
    }
  }

  SDL_Surface* picture = IMG_Load((dir.Path() / "shots" / "p01-001-main.tsl-L6-wait.png").c_str());
  ASSERT_NE(picture, nullptr) << IMG_GetError();
  EXPECT_EQ(picture->w, 320);
  EXPECT_EQ(picture->h, 240);
  // The welcome text is on the page: some pixel is light.
  SDL_Surface* rgba = SDL_ConvertSurface(picture, picture->format, 0);
  int light = 0;
  SDL_LockSurface(rgba);
  for (int y = 0; y < rgba->h; ++y) {
    for (int x = 0; x < rgba->w; ++x) {
      Uint8 r = 0, g = 0, b = 0;
      const auto* row = static_cast<const Uint8*>(rgba->pixels) + y * rgba->pitch;
      Uint32 pixel = 0;
      std::memcpy(&pixel, row + x * rgba->format->BytesPerPixel, rgba->format->BytesPerPixel);
      SDL_GetRGB(pixel, rgba->format, &r, &g, &b);
      if (r + g + b > 300) ++light;
    }
  }
  SDL_UnlockSurface(rgba);
  EXPECT_GT(light, 20);
  SDL_FreeSurface(rgba);
  SDL_FreeSurface(picture);
}

// What a new author's first game ran into, packed as it would ship: a font
// that is nowhere, a call whose name differs from its file only in case, a
// picture missing in a module's function, a two-line choice list and a page
// that overflows its window. Each is reported where the author looks for it.
TEST(Autoplay, ReportsWhatWouldOtherwiseFailUnseenWhereTheAuthorLooks) {
  test::TempDir dir;
  test::TestGame game;
  game.Scenario("main.tsl", u"{InitWindow(320, 240)\n"                                      // 1
                            u"font = CreateNewFont('DejaVuSans.ttf', 14)\n"                  // 2
                            u"page = CreateScenarioLayer(300, 200, font, font)\n"            // 3
                            u"LayerAddFront(page) EnableScenarioLayer(page)}\n"              // 4
                            u"{odd = CreateNewFont('NoSuchFont.ttf', 14)}\n"                 // 5
                            u"{require('lib')\n"                                             // 6
                            u"ShowMissing()}\n"                                              // 7
                            u"@Lamp.tsl\n"                                                   // 8
                            u"$One$branch.tsl$\n"                                            // 9
                            u"$Two$branch.tsl$\n"                                            // 10
                            u"{ResizeMesWnd(page, 300, 40)}First line.\\\n"                 // 11
                            u"Second line, below the window.\n"                              // 12
                            u"\n");
  game.Scenario("lamp.tsl", u"The lamp is lit.\n\n");
  game.Scenario("branch.tsl", u"A branch.\n\n\n");
  game.File("lib.lua", "-- helpers\nfunction ShowMissing()\n  return LoadTexImage('missing.png')\nend\n");
  game.WritePacked(dir.Path());
  auto result = test::RunTessel({"--autoplay", "--screenshots=shots", "."}, dir.Path(), {}, 120);
  const std::string& report = result.out;
  EXPECT_EQ(result.status, 1) << report << result.err;
  EXPECT_NE(report.find("p01: main.tsl:9#1 (the story ended)"), std::string::npos) << report;
  EXPECT_TRUE(fs::exists(dir.Path() / "shots" / "p01-002-main.tsl-L9-choice.png")) << report;
  EXPECT_NE(report.find("  Lamp.tsl\n"), std::string::npos) << report;

  const std::string problems = Section(report, "Problems:");
  EXPECT_NE(problems.find("Problems: 3\n"), std::string::npos) << report << result.err;
  EXPECT_NE(problems.find("main.tsl:5: missing file: font 'NoSuchFont.ttf'"), std::string::npos)
      << report;
  EXPECT_NE(problems.find("lib.lua:3: missing file: picture 'missing.png' does not exist (called "
                          "from main.tsl:7)"),
            std::string::npos)
      << report;
  EXPECT_NE(problems.find("main.tsl:12: text overflow: text does not fit in the message window "
                          "(300 x 40 pixels)"),
            std::string::npos)
      << report;
}

TEST(Autoplay, TheDemoPlaysCleanOnEveryPath) {
  const fs::path demo = fs::path(TESSEL_BUILD_DIR) / "demo";
  ASSERT_TRUE(fs::exists(demo / "main.dat")) << "build the demo_game target";
  test::TempDir dir;
  auto result = test::RunTessel({"--autoplay", "--choose=all", "--max-seconds=280", demo.string()},
                                dir.Path(), {}, 300);
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("Problems: 0\n"), std::string::npos) << result.out;
}

}  // namespace
}  // namespace tessel
