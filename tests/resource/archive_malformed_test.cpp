// Archives with broken tables are refused, broken entries are skipped, and no
// byte outside the file or the buffers is ever read (the sanitizers watch).
#include <random>

#include "ArchiveTestSupport.h"
#include "ReferenceLookup.h"
#include "resource/Archive.h"
#include "resource/ResourceFile.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

using test::ArchiveBytes;
using test::Patch;

class MalformedArchive : public ::testing::Test {
 protected:
  void TearDown() override { Registry().ReleaseAll(); }

  std::unique_ptr<Archive> Open(const std::string& bytes) {
    auto path = dir_.Write("a.dat", bytes);
    return std::make_unique<Archive>(path.string());
  }

  test::TempDir dir_;
};

// Three entries; one table block and one directory block, entries from block 2.
const test::EntryList kThree = {{"one", "1111"}, {"two", "2222"}, {"three", "3333"}};
constexpr std::size_t kDirectory = 256;
constexpr std::size_t kSecondEntry = 3 * 256;  // block of "two"

TEST_F(MalformedArchive, BrokenTablesAreRefused) {
  const std::string good = ArchiveBytes(kThree);
  ASSERT_TRUE(Open(good)->IsOpen());

  std::vector<std::pair<const char*, std::string>> cases;
  cases.emplace_back("empty file", "");
  cases.emplace_back("shorter than a block", good.substr(0, 100));
  cases.emplace_back("cut inside the directory", good.substr(0, 300));
  std::string a_zero = good;
  Patch(a_zero, 0, 0, 3);
  cases.emplace_back("A is 0", a_zero);
  std::string t_below_a = good;
  Patch(t_below_a, 0, 3, 3);
  Patch(t_below_a, 3, 2, 3);
  cases.emplace_back("T below A", t_below_a);
  std::string t_huge = good;
  Patch(t_huge, 3, 0xFFFFFF, 3);
  cases.emplace_back("T past the end of the file", t_huge);
  std::string a_huge = good;
  Patch(a_huge, 0, 0xFFFFFF, 3);
  cases.emplace_back("A past the end of the file", a_huge);
  for (const auto& [what, bytes] : cases) {
    auto archive = Open(bytes);
    EXPECT_FALSE(archive->IsOpen()) << what;
    EXPECT_TRUE(archive->Entries().empty()) << what;
    EXPECT_EQ(archive->Find("one"), nullptr) << what;
  }
}

TEST_F(MalformedArchive, FolderIsNotAnArchive) {
  std::filesystem::create_directory(dir_.Path() / "folder.dat");
  EXPECT_FALSE(Archive((dir_.Path() / "folder.dat").string()).IsOpen());
  EXPECT_FALSE(Archive((dir_.Path() / "missing.dat").string()).IsOpen());
  EXPECT_EQ(LoadArchive(dir_.Path().string() + "/", "folder.dat"), nullptr);
  EXPECT_EQ(Registry().Count(), 0u);
}

TEST_F(MalformedArchive, BadEntriesAreSkippedAndTheRestStillFound) {
  const std::string good = ArchiveBytes(kThree);
  std::vector<std::pair<const char*, std::string>> cases;
  std::string slot_outside = good;
  Patch(slot_outside, kDirectory + 3 + 1, 85, 2);  // one table block holds elements 0..84
  cases.emplace_back("slot outside the table", slot_outside);
  std::string block_outside = good;
  Patch(block_outside, 3 * 3, 0xFFFFFF, 3);  // table element of "two"
  cases.emplace_back("block past the end of the file", block_outside);
  for (std::uint32_t h : {0u, 15u, 257u, 0xFFFFFFFFu}) {
    std::string bad_h = good;
    Patch(bad_h, kSecondEntry, h, 4);
    cases.emplace_back("H outside 16..256", bad_h);
  }
  std::string no_zero = good;
  Patch(no_zero, kSecondEntry, 19, 4);  // the field holds "two" and no zero byte
  cases.emplace_back("name without its zero byte", no_zero);
  std::string h_full_block = good;
  Patch(h_full_block, kSecondEntry, 256, 4);  // the zero byte is inside 256 bytes, data past the end
  Patch(h_full_block, kSecondEntry + 4, 0xFFFFFF00, 4);
  cases.emplace_back("data past the end of the file", h_full_block);
  std::string n_huge = good;
  Patch(n_huge, kSecondEntry + 4, 0xFFFFFFFF, 4);
  cases.emplace_back("N beyond the file", n_huge);

  for (const auto& [what, bytes] : cases) {
    auto archive = Open(bytes);
    ASSERT_TRUE(archive->IsOpen()) << what;
    EXPECT_EQ(archive->SkippedEntries(), 1u) << what;
    EXPECT_EQ(archive->Find("two"), nullptr) << what;
    ASSERT_NE(archive->Find("one"), nullptr) << what;
    ASSERT_NE(archive->Find("three"), nullptr) << what;
    SDL_RWops* stream = archive->OpenStream("three");
    EXPECT_EQ(test::ReadRest(stream), "3333") << what;
    SDL_RWclose(stream);
  }
}

TEST_F(MalformedArchive, TruncatedLastEntryIsSkippedUnpaddedOneIsRead) {
  const std::string good = ArchiveBytes(kThree);
  const std::size_t third = 4 * 256;
  const std::size_t data_end = third + 16 + 6 + 4;  // header, "three\0", data
  auto unpadded = Open(good.substr(0, data_end));
  ASSERT_TRUE(unpadded->IsOpen());
  EXPECT_NE(unpadded->Find("three"), nullptr);
  auto cut = Open(good.substr(0, data_end - 1));
  ASSERT_TRUE(cut->IsOpen());
  EXPECT_EQ(cut->Find("three"), nullptr);
  EXPECT_NE(cut->Find("two"), nullptr);
  auto header_cut = Open(good.substr(0, third + 10));
  ASSERT_TRUE(header_cut->IsOpen());
  EXPECT_EQ(header_cut->Find("three"), nullptr);
}

TEST_F(MalformedArchive, ShuffledBytesNeverChangeWhatTheSearchFinds) {
  // Random archives with duplicate names and random damage: the index must
  // answer every name exactly as the linear search over the file does.
  std::mt19937 random(20240611);
  const char* names[] = {"a", "b", "dir/c", "Dir/c", "long-name-of-an-entry.tsl", "x"};
  for (int round = 0; round < 300; ++round) {
    test::EntryList entries;
    const int count = static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) {
      entries.emplace_back(names[random() % 6], std::string(random() % 700, char('a' + i)));
    }
    std::string bytes = ArchiveBytes(entries);
    const int damage = static_cast<int>(random() % 4);
    for (int i = 0; i < damage && !bytes.empty(); ++i) {
      bytes[random() % bytes.size()] = static_cast<char>(random());
    }
    if (random() % 4 == 0 && !bytes.empty()) bytes.resize(random() % bytes.size());
    auto archive = Open(bytes);
    for (const char* name : names) {
      auto expected = test::ReferenceFind(bytes, name);
      const ArchiveEntry* found = archive->Find(name);
      ASSERT_EQ(found != nullptr, expected.has_value()) << "round " << round << " name " << name;
      if (found != nullptr) {
        EXPECT_EQ(found->start, expected->start);
        EXPECT_EQ(found->length, expected->length);
        SDL_RWops* stream = archive->OpenStream(*found);
        EXPECT_EQ(test::ReadRest(stream), bytes.substr(expected->start, expected->length));
        SDL_RWclose(stream);
      }
    }
  }
}

}  // namespace
}  // namespace tessel
