// Loose files under the base directory: regular files only, whole content,
// and the fallback for names written on Windows (backslashes, any case).
#include <SDL.h>
#include <unistd.h>

#include "ArchiveTestSupport.h"
#include "resource/Archive.h"
#include "resource/BaseDirectory.h"
#include "resource/DiskPath.h"
#include "resource/ResourceFile.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

class DiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = dir_.Path().string() + "/";
    SetBaseDirectory(base_);
  }
  void TearDown() override {
    Registry().ReleaseAll();
    SetBaseDirectory("");
  }
  std::optional<std::string> Resolve(std::string_view name) { return ResolveDiskPath(base_, name); }

  test::TempDir dir_;
  std::string base_;
};

using WindowsNames = DiskTest;
using DiskLookup = DiskTest;

TEST_F(WindowsNames, ExactNameAlwaysWins) {
  dir_.Write("Data/Image.png", "exact");
  dir_.Write("data/image.png", "other case");
  EXPECT_EQ(Resolve("Data/Image.png"), base_ + "Data/Image.png");
  EXPECT_EQ(Resolve("data/image.png"), base_ + "data/image.png");
  EXPECT_EQ(ReadResource("Data/Image.png"), "exact");
}

TEST_F(WindowsNames, BackslashesAndLetterCaseAreFolded) {
  dir_.Write("scripts/sub/Main.tsl", "main");
  EXPECT_EQ(Resolve("scripts\\sub\\Main.tsl"), base_ + "scripts/sub/Main.tsl");
  EXPECT_EQ(Resolve("SCRIPTS\\Sub/main.TSL"), base_ + "scripts/sub/Main.tsl");
  EXPECT_EQ(ReadResource("Scripts\\SUB\\MAIN.tsl"), "main");
  EXPECT_EQ(Resolve("scripts\\\\sub\\.\\main.tsl"), base_ + "scripts/sub/Main.tsl");
  EXPECT_EQ(Resolve("scripts\\sub\\"), std::nullopt);  // names a folder
  EXPECT_EQ(Resolve("scripts\\sub\\main.tsl\\"), std::nullopt);
  EXPECT_EQ(Resolve("scripts\\main.tsl"), std::nullopt);
  // Only ASCII letters fold: the bytes of other scripts are compared as they are.
  dir_.Write("\xC3\xA9t\xC3\xA9.txt", "summer");
  EXPECT_EQ(Resolve("\xC3\xA9T\xC3\xA9.TXT"), base_ + "\xC3\xA9t\xC3\xA9.txt");
  EXPECT_EQ(Resolve("\xC3\x89t\xC3\x89.txt"), std::nullopt);
}

TEST_F(WindowsNames, BytewiseSmallestOfSeveralCaseVariantsWins) {
  dir_.Write("img.png", "lower");
  dir_.Write("IMG.png", "upper");
  dir_.Write("Img.png", "mixed");
  EXPECT_EQ(Resolve("iMG.PNG"), base_ + "IMG.png");
  // A folder variant that does not hold the file gives way to one that does.
  dir_.Write("Sound/other.ogg", "x");
  dir_.Write("sound/bgm.ogg", "music");
  dir_.Write("SOUND", "a file, not a folder");
  EXPECT_EQ(Resolve("SoUnD\\BGM.ogg"), base_ + "sound/bgm.ogg");
  dir_.Write("Sound/bgm.ogg", "first");
  EXPECT_EQ(Resolve("SoUnD\\BGM.ogg"), base_ + "Sound/bgm.ogg");
}

TEST_F(WindowsNames, ExactNamesWinEverywhereThenArchivesBeforeTheDiskFallback) {
  dir_.Write("main.tsl", "loose");
  dir_.Write("pack.dat", test::ArchiveBytes({{"Main.tsl", "packed"}}));
  ASSERT_NE(LoadArchive(base_, "pack.dat"), nullptr);
  EXPECT_EQ(ReadResource("Main.tsl"), "packed");
  EXPECT_EQ(ReadResource("main.tsl"), "loose");   // exact on disk beats folded in the archive
  EXPECT_EQ(ReadResource("MAIN.TSL"), "packed");  // exact nowhere: the archive, as a packed game
}

TEST_F(WindowsNames, ArchiveNamesUseTheFallbackToo) {
  dir_.Write("Packs/Extra.DAT", test::ArchiveBytes({{"bonus.txt", "bonus"}}));
  ASSERT_NE(LoadArchive(base_, "packs\\extra.dat"), nullptr);
  EXPECT_EQ(ReadResource("bonus.txt"), "bonus");
}

TEST_F(WindowsNames, BaseWithoutTrailingSeparatorJoinsTheName) {
  dir_.Write("game-main.tsl", "joined");
  EXPECT_EQ(ResolveDiskPath(base_ + "game-", "MAIN.tsl"), base_ + "game-main.tsl");
  EXPECT_EQ(ResolveDiskPath(base_ + "game-", "main.tsl"), base_ + "game-main.tsl");
}

TEST_F(DiskLookup, FoldersAreNotFiles) {
  std::filesystem::create_directories(dir_.Path() / "images");
  EXPECT_EQ(Resolve("images"), std::nullopt);
  EXPECT_EQ(Resolve(""), std::nullopt);
  EXPECT_EQ(ReadResource("images"), std::nullopt);
  EXPECT_EQ(ReadResource(""), std::nullopt);  // the base directory itself
  EXPECT_EQ(OpenResource("images"), nullptr);
  EXPECT_FALSE(ResourceFile("IMAGES", true).IsOpen());
  EXPECT_EQ(ResolveDiskPath("/dev/", "null"), std::nullopt);  // a device is no file either
}

TEST_F(DiskLookup, WholeContentWithZeroBytes) {
  const std::string binary("a\0b\0\xFF\x00z", 7);
  dir_.Write("blob.bin", binary);
  EXPECT_EQ(ReadResource("blob.bin"), binary);
  dir_.Write("empty.txt", "");
  EXPECT_EQ(ReadResource("empty.txt"), "");
  EXPECT_EQ(ReadResource("blob.bin" + std::string(1, '\0')), std::nullopt);
}

TEST_F(DiskLookup, StreamsStartAtZeroAndReportTheirSize) {
  dir_.Write("ten.txt", "0123456789");
  ResourceFile file("ten.txt", true);
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Tell(), 0);
  file.Seek(6, RW_SEEK_SET);
  EXPECT_EQ(file.Size(), 10);
  EXPECT_EQ(file.Tell(), 6);
  // Negative counts must not reach fread as huge sizes.
  char small[4] = {};
  EXPECT_EQ(file.Read(small, -1, 1), 0);
  EXPECT_EQ(file.Read(small, 1, -4), 0);
  EXPECT_EQ(file.Tell(), 6);
  // Owns-stream false: the stream is handed on and stays open.
  auto borrowed = std::make_unique<ResourceFile>("ten.txt", false);
  SDL_RWops* stream = borrowed->Stream();
  borrowed.reset();
  EXPECT_EQ(test::ReadRest(stream), "0123456789");
  SDL_RWclose(stream);
}

TEST_F(DiskLookup, MissingNameSetsTheMediaLayerError) {
  EXPECT_FALSE(ResourceFile("nothing.png", true).IsOpen());
  EXPECT_EQ(std::string(SDL_GetError()), "Couldn't open " + base_ + "nothing.png");
}

}  // namespace
}  // namespace tessel
