// Where a font name leads: the working directory, the base directory, Windows
// paths, installed files by name, the Windows font aliases and the final
// Japanese substitute. Needs no font library: only files and fontconfig.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "text/FontLookup.h"
#include "text/FontTestSupport.h"

namespace tessel {
namespace {

using test::FamiliesOf;
using Source = FontFile::Source;

std::vector<std::string_view> Families(std::string_view name) {
  const auto families = AliasFamilies(name);
  return {families.begin(), families.end()};
}

bool HasFamily(const std::string& path, const std::string& family) {
  const auto families = FamiliesOf(path);
  return std::find(families.begin(), families.end(), family) != families.end();
}

std::string Canonical(const std::filesystem::path& path) {
  return std::filesystem::weakly_canonical(path).string();
}

class FontLookupFiles : public ::testing::Test {
 protected:
  test::TempDir work_;
  test::TempDir base_;
};

TEST_F(FontLookupFiles, NameAsGivenFromTheWorkingDirectoryComesFirst) {
  work_.Write("fonts/game.ttf", "working");
  base_.Write("fonts/game.ttf", "base");
  test::WorkingDirectory cwd(work_.Path());
  test::BaseDirectoryScope base(base_.Path().string() + "/");

  std::optional<FontFile> found = FindFontFile("fonts/game.ttf");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->source, Source::kAsGiven);
  EXPECT_EQ(Canonical(found->path), Canonical(work_.Path() / "fonts/game.ttf"));
}

TEST_F(FontLookupFiles, BaseDirectoryFollowedByTheName) {
  base_.Write("fonts/game.ttf", "base");
  test::WorkingDirectory cwd(work_.Path());
  test::BaseDirectoryScope base(base_.Path().string() + "/");

  std::optional<FontFile> found = FindFontFile("fonts/game.ttf");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->source, Source::kBaseDirectory);
  EXPECT_EQ(Canonical(found->path), Canonical(base_.Path() / "fonts/game.ttf"));
}

TEST_F(FontLookupFiles, BackslashesReadAsSlashesInBothPlaces) {
  work_.Write("data/font/a.ttf", "working");
  base_.Write("data/font/b.ttf", "base");
  test::WorkingDirectory cwd(work_.Path());
  test::BaseDirectoryScope base(base_.Path().string() + "/");

  std::optional<FontFile> in_working = FindFontFile("data\\font\\a.ttf");
  ASSERT_TRUE(in_working);
  EXPECT_EQ(in_working->source, Source::kAsGiven);
  EXPECT_EQ(Canonical(in_working->path), Canonical(work_.Path() / "data/font/a.ttf"));

  std::optional<FontFile> in_base = FindFontFile("data\\font\\b.ttf");
  ASSERT_TRUE(in_base);
  EXPECT_EQ(in_base->source, Source::kBaseDirectory);
  EXPECT_EQ(Canonical(in_base->path), Canonical(base_.Path() / "data/font/b.ttf"));
}

TEST_F(FontLookupFiles, WindowsAbsolutePathIsReducedToItsFileName) {
  base_.Write("gamefont.ttf", "base");
  test::WorkingDirectory cwd(work_.Path());
  test::BaseDirectoryScope base(base_.Path().string() + "/");

  std::optional<FontFile> found = FindFontFile("C:\\Windows\\Fonts\\gamefont.ttf");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->source, Source::kBaseDirectory);
  EXPECT_EQ(Canonical(found->path), Canonical(base_.Path() / "gamefont.ttf"));
}

TEST_F(FontLookupFiles, DirectoriesAreNotFonts) {
  std::filesystem::create_directories(work_.Path() / "folder.ttf");
  test::WorkingDirectory cwd(work_.Path());
  std::optional<FontFile> found = FindFontFile("folder.ttf");
  ASSERT_TRUE(found);  // the final substitute
  EXPECT_EQ(found->source, Source::kSubstitute);
}

TEST(WindowsFileName, DriveLetterAndNetworkPathsOnly) {
  EXPECT_EQ(WindowsFileName("C:\\Windows\\Fonts\\msgothic.ttc"), "msgothic.ttc");
  EXPECT_EQ(WindowsFileName("d:/games/x/font.TTF"), "font.TTF");
  EXPECT_EQ(WindowsFileName("\\\\server\\share\\f.ttf"), "f.ttf");
  EXPECT_EQ(WindowsFileName("fonts\\a.ttf"), "");
  EXPECT_EQ(WindowsFileName("/usr/share/fonts/a.ttf"), "");
  EXPECT_EQ(WindowsFileName("C:"), "");
  EXPECT_EQ(WindowsFileName("C:\\Windows\\Fonts\\"), "");
}

TEST(FontLookupFontconfig, InstalledFileByNameIgnoringCase) {
  std::optional<FontFile> found = FindFontFile("DEJAVUSANSMONO.TTF");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->source, Source::kFontconfigFile);
  EXPECT_TRUE(HasFamily(found->path, "DejaVu Sans Mono")) << found->path;

  // A Windows path into the fonts folder reaches the same file.
  std::optional<FontFile> windows = FindFontFile("C:\\WINDOWS\\Fonts\\dejavusansmono.ttf");
  ASSERT_TRUE(windows);
  EXPECT_EQ(windows->source, Source::kFontconfigFile);
  EXPECT_EQ(windows->path, found->path);
}

TEST(FontAliases, WindowsFontsByFamilyAndFileName) {
  const std::vector<std::string_view> gothic = {"IPAGothic", "VL Gothic"};
  const std::vector<std::string_view> pgothic = {"IPAPGothic", "VL PGothic"};
  const std::vector<std::string_view> sans = {"DejaVu Sans"};
  const std::vector<std::string_view> serif = {"DejaVu Serif"};
  const std::vector<std::string_view> mono = {"DejaVu Sans Mono"};

  for (const char* name : {"MS Gothic", "msgothic.ttc", "C:\\Windows\\Fonts\\MSGOTHIC.TTC",
                           "ＭＳ ゴシック", "MS Mincho", "msmincho.ttc", "ＭＳ　明朝"}) {
    EXPECT_EQ(Families(name), gothic) << name;
  }
  for (const char* name : {"MS PGothic", "ＭＳ Ｐゴシック", "MS UI Gothic", "Meiryo", "meiryo.ttc",
                           "メイリオ", "Yu Gothic", "YuGothM.ttc", "游ゴシック"}) {
    EXPECT_EQ(Families(name), pgothic) << name;
  }
  for (const char* name : {"Arial", "arial.ttf", "ARIALBD.TTF", "Tahoma", "tahoma.ttf", "Verdana",
                           "Segoe UI", "segoeui.ttf"}) {
    EXPECT_EQ(Families(name), sans) << name;
  }
  for (const char* name : {"Times", "Times New Roman", "times.ttf", "timesbd.ttf"}) {
    EXPECT_EQ(Families(name), serif) << name;
  }
  for (const char* name : {"Courier", "Courier New", "cour.ttf", "Consolas", "consola.ttf",
                           "Lucida Console", "lucon.ttf"}) {
    EXPECT_EQ(Families(name), mono) << name;
  }
  for (const char* name : {"Comic Sans MS", "arial.png", "gothic", "", "ms"}) {
    EXPECT_TRUE(Families(name).empty()) << name;
  }
}

TEST(FontAliases, SecondFamilyWhenTheFirstIsNotInstalled) {
  const FamilyFinder only_vl = [](std::string_view family) -> std::optional<FontFile> {
    if (family != "VL Gothic") return std::nullopt;
    return FontFile{"/fonts/vl.ttf", 0, Source::kFontconfigFile, {}};
  };
  std::optional<FontFile> found = FindAlias("msgothic.ttc", only_vl);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->path, "/fonts/vl.ttf");
  EXPECT_EQ(found->source, Source::kAlias);
  EXPECT_EQ(found->family, "VL Gothic");

  const FamilyFinder nothing = [](std::string_view) -> std::optional<FontFile> {
    return std::nullopt;
  };
  EXPECT_FALSE(FindAlias("msgothic.ttc", nothing));
  EXPECT_FALSE(FindAlias("Comic Sans MS", only_vl));
}

TEST(FontAliases, InstalledStandIns) {
  struct Case {
    const char* name;
    const char* family;
  };
  for (const Case& c : {Case{"msgothic.ttc", "IPAGothic"}, Case{"MS PGothic", "IPAPGothic"},
                        Case{"arial.ttf", "DejaVu Sans"}, Case{"Times New Roman", "DejaVu Serif"},
                        Case{"consola.ttf", "DejaVu Sans Mono"}}) {
    std::optional<FontFile> found = FindFontFile(c.name);
    ASSERT_TRUE(found) << c.name;
    EXPECT_EQ(found->source, Source::kAlias) << c.name;
    EXPECT_EQ(found->family, c.family) << c.name;
    EXPECT_TRUE(HasFamily(found->path, c.family)) << c.name << " -> " << found->path;
  }
  // The regular face, not a bold or condensed one of the family.
  std::optional<FontFile> arial = FindFontFile("arial.ttf");
  ASSERT_TRUE(arial);
  EXPECT_EQ(arial->path, FontconfigFamily("DejaVu Sans")->path);
  EXPECT_EQ(std::filesystem::path(arial->path).filename(), "DejaVuSans.ttf");
}

TEST(FontLookupFontconfig, AnythingElseBecomesAJapaneseSubstitute) {
  test::TempDir empty;
  test::WorkingDirectory cwd(empty.Path());
  std::optional<FontFile> found = FindFontFile("no-such-font-anywhere.ttf");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->source, Source::kSubstitute);
  EXPECT_FALSE(found->family.empty());
  EXPECT_TRUE(std::filesystem::is_regular_file(found->path));
  EXPECT_TRUE(test::FontHasCharacter(found->path, U'あ')) << found->path;
  EXPECT_TRUE(test::FontHasCharacter(found->path, U'漢')) << found->path;
}

TEST(FontLookupFontconfig, EmptyNameFindsNothing) { EXPECT_FALSE(FindFontFile("")); }

}  // namespace
}  // namespace tessel
