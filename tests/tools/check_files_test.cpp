// Files that call lines and choices name: looked up as the engine looks them
// up (main.dat, then the folder), missing ones reported where they are named,
// files no one reaches reported once.
#include <filesystem>

#include "CheckTestSupport.h"

namespace tessel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Calls and choices to files that exist and to files that do not, the second
// choice's target standing on the line after its text.
TestGame GameWithMissingFiles() {
  TestGame game;
  game.Scenario("main.tsl",
                u"Start.\n"                        // 1
                u"@nothere.tsl  words after it\n"  // 2
                u"@left.tsl\n"                     // 3
                u"$Left$left.tsl$\n"               // 4
                u"$Right$\n"                       // 5
                u"right.tsl$\n"                    // 6
                u"@\n"                             // 7
                u"$Spaced$ left.tsl$\n");          // 8: the engine keeps the space
  game.Scenario("left.tsl", u"$Back$main.tsl$\n");
  return game;
}

TEST_F(CheckTest, MissingFilesAreReportedWhereTheyAreNamed) {
  ProcessResult result = Check(GameWithMissingFiles());
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(
      Findings(result.out),
      ElementsAre(
          Finding("game/main.tsl:2: error:",
                  "'nothere.tsl', which this call line names, does not exist in the game folder"),
          Finding("game/main.tsl:6: error:",
                  "'right.tsl', which this choice names, does not exist"),
          Finding("game/main.tsl:7: error:", "the call line names no file"),
          Finding("game/main.tsl:8: error:",
                  "' left.tsl', which this choice names, does not exist "
                  "in the game folder (mind the spaces: they are part of the name)")));
}

TEST_F(CheckTest, MissingFilesOfAPackedGameAreNamedInItsArchive) {
  ProcessResult result = CheckPacked(GameWithMissingFiles());
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(Findings(result.out),
              ElementsAre(Finding("game/main.dat/main.tsl:2: error:",
                                  "does not exist in main.dat or in the game folder"),
                          Finding("game/main.dat/main.tsl:6: error:", "'right.tsl'"),
                          Finding("game/main.dat/main.tsl:7: error:", "names no file"),
                          Finding("game/main.dat/main.tsl:8: error:", "' left.tsl'")));
}

TEST_F(CheckTest, NamesResolveAsTheEngineResolvesThem) {
  // On disk: Windows spellings (backslashes, any letter case) and UTF-8 names.
  TestGame loose;
  loose.Scenario("main.tsl", u"@Scenes\\Chapter1.TSL\n$Go$\u3044.tsl$\n");
  loose.Scenario("scenes/chapter1.tsl", u"One.\n");
  loose.Scenario("\xE3\x81\x84.tsl", u"I.\n");
  ProcessResult on_disk = Check(loose);
  EXPECT_EQ(on_disk.status, 0) << on_disk.out;
  // Found, but only because case is ignored: tools that compare names exactly will not.
  EXPECT_THAT(Findings(on_disk.out),
              ElementsAre(Finding("game/main.tsl:1: warning:",
                                  "'Scenes\\Chapter1.TSL' finds 'scenes/chapter1.tsl' only because "
                                  "letter case is ignored")));

  // In an archive made on a Japanese system: the Shift-JIS name.
  std::filesystem::remove_all(Dir() / "game");
  TestGame packed;
  packed.Scenario("main.tsl", u"@\u3042.tsl\n");
  packed.Scenario("\x82\xA0.tsl", u"A.\n");
  ProcessResult in_archive = CheckPacked(packed);
  EXPECT_EQ(in_archive.status, 0) << in_archive.out;
  EXPECT_EQ(in_archive.out, "0 errors, 0 warnings\n");
}

// A name that differs from its file only in case, and a font that is nowhere:
// the packed game finds the file as the loose one does, and both are warned of.
TEST_F(CheckTest, CaseOnlyNamesAndMissingFontsAreWarnedOf) {
  TestGame game;
  game.Scenario("main.tsl", u"@Lamp.tsl\n{font = CreateNewFont('NoSuchFont.ttf', 12)}\n");
  game.Scenario("lamp.tsl", u"Lit.\n");
  for (bool packed : {false, true}) {
    std::filesystem::remove_all(Dir() / "game");
    ProcessResult result = packed ? CheckPacked(game) : Check(game);
    const std::string main = packed ? "game/main.dat/main.tsl" : "game/main.tsl";
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_THAT(Findings(result.out),
                ElementsAre(Finding(main + ":1: warning:",
                                    "'Lamp.tsl' finds 'lamp.tsl' only because letter case is ignored"),
                            Finding(main + ":2: warning:", "font 'NoSuchFont.ttf' is not found")))
        << (packed ? "packed" : "loose");
  }
}

// main calls a, a offers b and calls main back; c and d/e are never reached.
TestGame GameWithUnreachedFiles() {
  TestGame game;
  game.Scenario("main.tsl", u"@a.tsl\n");
  game.Scenario("a.tsl", u"$To b$b.tsl$\n@main.tsl\n");
  game.Scenario("b.tsl", u"B.\n");
  game.Scenario("c.tsl", u"C.\n");
  game.Scenario("d/e.tsl", u"E.\n");
  game.File("notes.txt", "not a scenario file");
  return game;
}

TEST_F(CheckTest, FilesThatNoCallOrChoiceReachesAreReported) {
  ProcessResult loose = Check(GameWithUnreachedFiles());
  EXPECT_EQ(loose.status, 0);
  EXPECT_THAT(Findings(loose.out), ElementsAre(Finding("game/c.tsl: warning:", "never reached"),
                                               Finding("game/d/e.tsl: warning:", "never reached")));

  std::filesystem::remove_all(Dir() / "game");
  ProcessResult packed = CheckPacked(GameWithUnreachedFiles());
  EXPECT_EQ(packed.status, 0);
  EXPECT_THAT(Findings(packed.out),
              ElementsAre(Finding("game/main.dat/c.tsl: warning:", "never reached"),
                          Finding("game/main.dat/d/e.tsl: warning:", "never reached")));
}

TEST_F(CheckTest, LooseFilesHiddenByTheArchiveAreReportedWhenTheyDiffer) {
  TestGame game;
  game.Scenario("main.tsl", u"@a.tsl\n");
  game.Scenario("a.tsl", u"Packed.\n");
  game.WritePacked(Dir() / "game");
  // The same main.tsl beside the archive is harmless; an edited a.tsl is not read.
  game.WriteLoose(Dir() / "game");
  dir_.Write("game/a.tsl", Utf16File(u"Edited.\n"));
  ProcessResult result = RunCheck({"game"});
  EXPECT_EQ(result.status, 0);
  EXPECT_THAT(Findings(result.out),
              ElementsAre(Finding(
                  "game/a.tsl: warning:",
                  "not read: main.dat holds a different a.tsl, which the engine reads instead")));
}

TEST_F(CheckTest, ArchivesThatScriptsLoadAreSearchedToo) {
  // first.tsl loads voices.dat, which holds the file main.tsl calls next.
  TestGame extra;
  extra.Scenario("inside.tsl", u"Inside.\n");
  extra.Scenario("spare.tsl", u"Never called.\n");
  extra.WritePacked(Dir() / "extra");
  TestGame game;
  game.Scenario("main.tsl", u"@first.tsl\n@inside.tsl\n");
  game.Scenario("first.tsl", u"{\n  ArchiveLoad(\"voices.dat\")\n  ArchiveLoad(\"none.dat\")\n}\n");
  game.WriteLoose(Dir() / "game");
  std::filesystem::rename(Dir() / "extra/main.dat", Dir() / "game/voices.dat");

  ProcessResult result = RunCheck({"game"});
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_THAT(Findings(result.out),
              ElementsAre(Finding("game/first.tsl:3: warning:", "archive 'none.dat' is not found"),
                          Finding("game/voices.dat/spare.tsl: warning:", "never reached")));
}

TEST_F(CheckTest, MissingFunctionListIsAnError) {
  TestGame game;
  game.Scenario("main.tsl", u"Hello.\n");
  game.WriteLoose(Dir() / "game");
  std::filesystem::remove(Dir() / "game/funcdef.tsl");
  ProcessResult result = RunCheck({"game"});
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(Findings(result.out), ElementsAre(Finding("game/funcdef.tsl: error:",
                                                        "the engine does not start without")));
  EXPECT_THAT(result.err, IsEmpty());
}

}  // namespace
}  // namespace tessel::test
