// ArchiveLoad and ArchiveRelease as scripts call them, with every kind of bad argument.
#include "ArchiveTestSupport.h"
#include "resource/Archive.h"
#include "resource/BaseDirectory.h"
#include "resource/ResourceFile.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

class ArchiveCommands : public test::ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    SetBaseDirectory(dir_.Path().string() + "/");
    dir_.Write("data/Pack.dat", test::ArchiveBytes({{"story.tsl", "packed story"}}));
    dir_.Write("story.tsl", "loose story");
    dir_.Write("broken.dat", "not an archive, long enough? no.");
  }
  void TearDown() override {
    ScriptTest::TearDown();
    SetBaseDirectory("");
  }

  test::TempDir dir_;
};

TEST_F(ArchiveCommands, LoadMountsAndReleaseUnmounts) {
  Run("pack = ArchiveLoad('data/Pack.dat')");
  ASSERT_FALSE(IsNil("pack"));
  EXPECT_EQ(ArchiveList::Mounted().size(), 1u);
  EXPECT_EQ(ReadResource("story.tsl"), "packed story");

  SDL_RWops* stream = OpenResource("story.tsl");  // e.g. music still playing
  Run("ArchiveRelease(pack)");
  EXPECT_TRUE(ArchiveList::Mounted().empty());
  EXPECT_EQ(Registry().Count(), 0u);
  EXPECT_EQ(ReadResource("story.tsl"), "loose story");
  EXPECT_EQ(test::ReadRest(stream), "packed story");
  SDL_RWclose(stream);
}

TEST_F(ArchiveCommands, LoadFindsWindowsStyleNames) {
  Run("pack = ArchiveLoad('DATA\\\\pack.DAT')");
  EXPECT_FALSE(IsNil("pack"));
  EXPECT_EQ(ReadResource("story.tsl"), "packed story");
}

TEST_F(ArchiveCommands, LoadOfAnythingButAnArchiveNameGivesNil) {
  Run("missing = ArchiveLoad('nothing.dat')\n"
      "broken = ArchiveLoad('broken.dat')\n"
      "folder = ArchiveLoad('data')\n"
      "none = ArchiveLoad()\n"
      "number = ArchiveLoad(12)\n"
      "tbl = ArchiveLoad({})\n"
      "zero = ArchiveLoad('data/Pack.dat\\0.png')\n"
      "count = select('#', ArchiveLoad(nil))");
  for (const char* name : {"missing", "broken", "folder", "none", "number", "tbl", "zero"}) {
    EXPECT_TRUE(IsNil(name)) << name;
  }
  EXPECT_EQ(Number("count"), 1);
  // Archives that did not open are gone at once, not kept until shutdown.
  EXPECT_EQ(Registry().Count(), 0u);
  EXPECT_TRUE(ArchiveList::Mounted().empty());
}

TEST_F(ArchiveCommands, ReleaseChecksItsHandle) {
  Run("pack = ArchiveLoad('data/Pack.dat')\n"
      "handler = CreateEventHandler()");
  testing::internal::CaptureStderr();
  Run("ArchiveRelease()\n"
      "ArchiveRelease(nil)\n"
      "ArchiveRelease(3)\n"
      "ArchiveRelease('data/Pack.dat')\n"
      "ArchiveRelease(handler)\n"
      "count = select('#', ArchiveRelease(handler))");
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(Number("count"), 0);
  EXPECT_NE(log.find("ArchiveRelease: argument 1 is not a live archive."), std::string::npos) << log;
  EXPECT_EQ(ArchiveList::Mounted().size(), 1u);
  EXPECT_EQ(Registry().Count(), 2u);

  Run("ArchiveRelease(pack)");
  testing::internal::CaptureStderr();
  Run("ArchiveRelease(pack)");  // released twice
  log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("not a live archive"), std::string::npos) << log;
  EXPECT_EQ(Registry().Count(), 1u);
}

}  // namespace
}  // namespace tessel
