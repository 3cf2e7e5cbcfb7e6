// Reading archives: entry layout, the stream's clamped positions and whole
// objects, the directory's end, and which copy of a name wins.
#include <SDL.h>

#include <algorithm>
#include <climits>
#include <memory>

#include "ArchiveTestSupport.h"
#include "resource/Archive.h"
#include "resource/BaseDirectory.h"
#include "resource/ResourceFile.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

using test::ArchiveBytes;
using test::ReadRest;

class ArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override { SetBaseDirectory(dir_.Path().string() + "/"); }
  void TearDown() override {
    Registry().ReleaseAll();
    SetBaseDirectory("");
  }

  // Writes the archive and mounts it (owned by the registry, as scripts do).
  Archive* Mount(const std::string& file, const std::string& bytes) {
    dir_.Write(file, bytes);
    Archive* archive = LoadArchive(BaseDirectory(), file);
    EXPECT_NE(archive, nullptr) << file;
    return archive;
  }
  Archive* Mount(const std::string& file, const test::EntryList& entries) {
    return Mount(file, ArchiveBytes(entries));
  }

  test::TempDir dir_;
};

using ArchiveFormat = ArchiveTest;

TEST_F(ArchiveFormat, EntryShorterThanItsBlockReadsExactlyItsBytes) {
  const std::string big(600, 'x');  // spans three blocks
  Archive* archive = Mount("a.dat", {{"short.txt", "abc"}, {"big.bin", big}, {"after", "zzz"}});
  ASSERT_EQ(archive->Entries().size(), 3u);
  // Data starts right behind the header (16 bytes, then the name and its zero).
  const ArchiveEntry* entry = archive->Find("short.txt");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->start % Archive::kBlockSize, 16u + 9u + 1u);
  EXPECT_EQ(entry->length, 3u);
  EXPECT_EQ(ReadResource("short.txt"), "abc");
  EXPECT_EQ(ReadResource("big.bin"), big);
  EXPECT_EQ(ReadResource("after"), "zzz");
}

TEST_F(ArchiveFormat, EmptyEntryAndEmptyArchive) {
  Mount("a.dat", {{"empty", ""}});
  EXPECT_EQ(ReadResource("empty"), "");
  Archive* none = Mount("b.dat", test::EntryList{});
  EXPECT_TRUE(none->Entries().empty());
}

TEST_F(ArchiveFormat, SeeksAreClampedIntoTheEntry) {
  Mount("a.dat", {{"ten", "0123456789"}, {"next", "NEXT"}});
  SDL_RWops* stream = OpenResource("ten");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(SDL_RWseek(stream, -5, RW_SEEK_SET), 0);
  EXPECT_EQ(SDL_RWseek(stream, 25, RW_SEEK_SET), 10);
  char byte = 0;
  EXPECT_EQ(SDL_RWread(stream, &byte, 1, 1), 0);  // at the end: nothing, never the next entry
  EXPECT_EQ(SDL_RWseek(stream, -1000, RW_SEEK_CUR), 0);
  EXPECT_EQ(SDL_RWseek(stream, 4, RW_SEEK_CUR), 4);
  EXPECT_EQ(SDL_RWseek(stream, INT_MAX, RW_SEEK_CUR), 10);
  EXPECT_EQ(SDL_RWseek(stream, INT_MIN, RW_SEEK_CUR), 0);
  EXPECT_EQ(SDL_RWseek(stream, -3, RW_SEEK_END), 7);
  EXPECT_EQ(ReadRest(stream), "789");
  EXPECT_EQ(SDL_RWseek(stream, 5, RW_SEEK_END), 10);
  EXPECT_EQ(SDL_RWseek(stream, -20, RW_SEEK_END), 0);
  EXPECT_EQ(SDL_RWseek(stream, 0, 7), -1);
  EXPECT_EQ(SDL_RWtell(stream), 0);
  SDL_RWclose(stream);
}

TEST_F(ArchiveFormat, ReadsHandOutWholeObjectsOnly) {
  Mount("a.dat", {{"ten", "0123456789"}, {"next", "NEXT"}});
  SDL_RWops* stream = OpenResource("ten");
  ASSERT_NE(stream, nullptr);
  SDL_RWseek(stream, 4, RW_SEEK_SET);
  char buffer[16] = {};
  // Six bytes left: one 4-byte object, and the position moves by 4.
  EXPECT_EQ(SDL_RWread(stream, buffer, 4, 2), 1);
  EXPECT_EQ(std::string(buffer, 4), "4567");
  EXPECT_EQ(SDL_RWtell(stream), 8);
  EXPECT_EQ(SDL_RWread(stream, buffer, 4, 1), 0);
  EXPECT_EQ(SDL_RWtell(stream), 8);
  // size * count beyond 32 bits must not wrap into a read past the entry.
  SDL_RWseek(stream, 0, RW_SEEK_SET);
  EXPECT_EQ(SDL_RWread(stream, buffer, 0x40000000, 4), 0);
  EXPECT_EQ(SDL_RWread(stream, buffer, 1, INT_MAX), 10);
  EXPECT_EQ(SDL_RWread(stream, buffer, 0, 5), 0);
  EXPECT_EQ(SDL_RWread(stream, buffer, 1, -1), 0);
  SDL_RWclose(stream);
}

TEST_F(ArchiveFormat, WritesAreRefused) {
  Mount("a.dat", {{"ten", "0123456789"}});
  SDL_RWops* stream = OpenResource("ten");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(SDL_RWwrite(stream, "x", 1, 1), -1);
  EXPECT_STREQ(SDL_GetError(), "Can't write to read-only memory");
  EXPECT_EQ(ReadRest(stream), "0123456789");
  SDL_RWclose(stream);
}

TEST_F(ArchiveFormat, SizeIsTheEntryLengthAndKeepsThePosition) {
  Mount("a.dat", {{"ten", "0123456789"}, {"next", std::string(300, 'n')}});
  ResourceFile file("ten", true);
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Tell(), 0);
  EXPECT_EQ(file.Seek(3, RW_SEEK_SET), 3);
  EXPECT_EQ(file.Size(), 10);
  EXPECT_EQ(file.Tell(), 3);
  char buffer[4] = {};
  EXPECT_EQ(file.Read(buffer, 1, 4), 4);
  EXPECT_EQ(std::string(buffer, 4), "3456");
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.Size(), -1);
  EXPECT_EQ(file.Read(buffer, 1, 4), 0);
}

TEST_F(ArchiveFormat, DirectoryEndsAtAZeroFlagOrAZeroSlot) {
  const test::EntryList entries = {{"one", "1"}, {"two", "2"}, {"three", "3"}};
  std::string bytes = ArchiveBytes(entries);
  const std::size_t directory = 256;  // one table block for three entries
  std::string zero_flag = bytes;
  zero_flag[directory + 3] = 0;  // record 2: flag 0, slot still set
  std::string zero_slot = bytes;
  test::Patch(zero_slot, directory + 3 + 1, 0, 2);  // record 2: slot 0, flag still set
  for (const std::string& archive_bytes : {zero_flag, zero_slot}) {
    Archive* archive = Mount("a.dat", archive_bytes);
    EXPECT_EQ(archive->Entries().size(), 1u);
    EXPECT_NE(archive->Find("one"), nullptr);
    EXPECT_EQ(archive->Find("two"), nullptr);
    EXPECT_EQ(archive->Find("three"), nullptr);
    Registry().Release(archive);
  }
}

TEST_F(ArchiveFormat, FullDirectoryEndsAtItsLastRecord) {
  // 84 entries fill one directory block (85 records) but for the end record;
  // turning that into a live record leaves no end record at all.
  test::EntryList entries;
  for (int i = 0; i < 84; ++i) entries.emplace_back("e" + std::to_string(i), std::to_string(i));
  std::string bytes = ArchiveBytes(entries);
  ASSERT_EQ(bytes[3], 3);  // T: two table blocks and one directory block
  const std::size_t last_record = 2 * 256 + 84 * 3;
  test::Patch(bytes, last_record, 1, 1);
  test::Patch(bytes, last_record + 1, 2, 2);  // the slot of e0 again
  Archive* archive = Mount("a.dat", bytes);
  EXPECT_EQ(archive->Entries().size(), 85u);
  EXPECT_EQ(archive->Entries().back().name, "e0");
  EXPECT_EQ(ReadResource("e83"), "83");
}

TEST_F(ArchiveFormat, ArchivesComeBeforeLooseFilesAndEarlierArchivesFirst) {
  dir_.Write("shared.txt", "loose");
  dir_.Write("loose-only.txt", "only on disk");
  Archive* first = Mount("first.dat", {{"shared.txt", "first"}, {"dup", "first copy"}, {"dup", "second copy"}});
  Archive* second = Mount("second.dat", {{"shared.txt", "second"}, {"late", "second archive"}});
  EXPECT_EQ(ReadResource("shared.txt"), "first");
  EXPECT_EQ(ReadResource("dup"), "first copy");  // first occurrence in directory order
  EXPECT_EQ(ReadResource("late"), "second archive");
  EXPECT_EQ(ReadResource("loose-only.txt"), "only on disk");
  EXPECT_EQ(ReadResource("missing.txt"), std::nullopt);

  // Unmounting takes out every occurrence; the next in line answers.
  ArchiveList::Mount(first);
  ArchiveList::Unmount(first);
  EXPECT_TRUE(std::find(ArchiveList::Mounted().begin(), ArchiveList::Mounted().end(), first) ==
              ArchiveList::Mounted().end());
  EXPECT_EQ(ReadResource("shared.txt"), "second");
  Registry().Release(second);  // destroying an archive unmounts it
  EXPECT_TRUE(ArchiveList::Mounted().empty());
  EXPECT_EQ(ReadResource("shared.txt"), "loose");
}

TEST_F(ArchiveFormat, StreamOutlivesItsArchive) {
  const std::string music(5000, 'm');
  Archive* archive = Mount("a.dat", {{"music.ogg", music}});
  SDL_RWops* stream = OpenResource("music.ogg");
  ASSERT_NE(stream, nullptr);
  char head[10];
  ASSERT_EQ(SDL_RWread(stream, head, 1, 10), 10);
  Registry().Release(archive);
  EXPECT_EQ(ReadResource("music.ogg"), std::nullopt);
  EXPECT_EQ(ReadRest(stream), music.substr(10));
  EXPECT_EQ(SDL_RWseek(stream, 0, RW_SEEK_END), 5000);
  SDL_RWclose(stream);
}

// The exact name wins; a name found nowhere exactly matches ignoring case and
// reading '\\' as '/', as on disk, the bytewise smallest of several.
TEST_F(ArchiveFormat, ExactNamesWinThenNamesMatchAsOnDisk) {
  Mount("a.dat", {{"Dir/File.txt", "x"}, {"dir/file.txt", "lower"}, {"DIR/FILE.TXT", "upper"}});
  EXPECT_EQ(ReadResource("Dir/File.txt"), "x");
  EXPECT_EQ(ReadResource("dir/file.txt"), "lower");
  EXPECT_EQ(ReadResource("dIr\\fILE.txt"), "upper");
  EXPECT_EQ(ReadResource("Dir/File.txt" + std::string(1, '\0') + "more"), std::nullopt);
  EXPECT_EQ(ReadResource("Dir/File.tx"), std::nullopt);
}

TEST_F(ArchiveFormat, EntriesAreIndexedLikeTheLinearSearch) {
  // Many names, duplicates spread over the directory: each lookup answers
  // with the first occurrence, as walking the directory would.
  test::EntryList entries;
  for (int i = 0; i < 3000; ++i) {
    entries.emplace_back("n" + std::to_string(i % 1000), "copy" + std::to_string(i / 1000));
  }
  Mount("a.dat", entries);
  for (int i = 0; i < 1000; i += 37) EXPECT_EQ(ReadResource("n" + std::to_string(i)), "copy0");
}

}  // namespace
}  // namespace tessel
