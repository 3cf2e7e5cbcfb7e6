// The author tool, run as a real program: archives it writes are what the
// engine reads, list and extract give the packed files back, errors say which
// file is wrong and end with a non-zero status.
#include <fstream>
#include <sstream>

#include "ArchiveTestSupport.h"
#include "resource/Archive.h"
#include "resource/BaseDirectory.h"
#include "resource/ResourceFile.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

class TesselPack : public ::testing::Test {
 protected:
  void TearDown() override {
    Registry().ReleaseAll();
    SetBaseDirectory("");
  }

  test::ProcessResult Pack(std::vector<std::string> args) {
    args.insert(args.begin(), TESSEL_PACK);
    return test::RunProcess(args, dir_.Path());
  }

  // A small game folder with nested files, a binary file and an empty one.
  void MakeGame() {
    dir_.Write("game/main.tsl", test::Utf16File(u"main"));
    dir_.Write("game/funcdef.tsl", "InitWindow InitWindow\n");
    dir_.Write("game/images/bg 1.png", std::string("\x89PNG\0\r\n", 7) + std::string(700, '\x01'));
    dir_.Write("game/images/Zed.png", "z");
    dir_.Write("game/sound/empty.ogg", "");
  }

  test::TempDir dir_;
};

TEST_F(TesselPack, FolderRoundTrip) {
  MakeGame();
  auto created = Pack({"create", "main.dat", "game"});
  ASSERT_EQ(created.status, 0) << created.err;

  // Names relative to the folder, '/' separators, bytewise order.
  auto listed = Pack({"list", "main.dat"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out,
            "22\tfuncdef.tsl\n"
            "1\timages/Zed.png\n"
            "707\timages/bg 1.png\n"
            "10\tmain.tsl\n"
            "0\tsound/empty.ogg\n");

  // The engine reads every file back from the archive.
  Archive* archive = LoadArchive(dir_.Path().string() + "/", "main.dat");
  ASSERT_NE(archive, nullptr);
  EXPECT_EQ(archive->SkippedEntries(), 0u);
  for (const char* name : {"main.tsl", "funcdef.tsl", "images/bg 1.png", "images/Zed.png", "sound/empty.ogg"}) {
    EXPECT_EQ(ReadResource(name), Slurp(dir_.Path() / "game" / name)) << name;
  }

  auto extracted = Pack({"extract", "-C", "out", "main.dat"});
  ASSERT_EQ(extracted.status, 0) << extracted.err;
  for (const char* name : {"main.tsl", "funcdef.tsl", "images/bg 1.png", "images/Zed.png", "sound/empty.ogg"}) {
    EXPECT_EQ(Slurp(dir_.Path() / "out" / name), Slurp(dir_.Path() / "game" / name)) << name;
  }

  // Packing is deterministic.
  ASSERT_EQ(Pack({"create", "again.dat", "game"}).status, 0);
  EXPECT_EQ(Slurp(dir_.Path() / "again.dat"), Slurp(dir_.Path() / "main.dat"));
}

TEST_F(TesselPack, ArchiveInsideThePackedFolderDoesNotPackItself) {
  MakeGame();
  ASSERT_EQ(Pack({"create", "game/main.dat", "game"}).status, 0);
  auto again = Pack({"create", "game/main.dat", "game"});
  ASSERT_EQ(again.status, 0) << again.err;
  auto listed = Pack({"list", "game/main.dat"});
  EXPECT_EQ(listed.out.find("main.dat"), std::string::npos) << listed.out;
}

TEST_F(TesselPack, FileListKeepsOrderAndNames) {
  MakeGame();
  auto created = Pack({"create", "-C", "game", "list.dat", "sound/empty.ogg", "./main.tsl", "images/Zed.png"});
  ASSERT_EQ(created.status, 0) << created.err;
  auto listed = Pack({"list", "list.dat"});
  EXPECT_EQ(listed.out, "0\tsound/empty.ogg\n10\tmain.tsl\n1\timages/Zed.png\n");

  auto one = Pack({"extract", "-C", "out", "list.dat", "images/Zed.png"});
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(Slurp(dir_.Path() / "out/images/Zed.png"), "z");
  EXPECT_FALSE(fs::exists(dir_.Path() / "out/main.tsl"));
}

TEST_F(TesselPack, ErrorsNameTheFileAndFail) {
  MakeGame();
  auto help = Pack({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("tessel-pack create ARCHIVE FOLDER"), std::string::npos);

  auto no_command = Pack({});
  EXPECT_EQ(no_command.status, 2);
  auto unknown = Pack({"squash", "x"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown command squash"), std::string::npos);

  auto missing = Pack({"create", "-C", "game", "x.dat", "main.tsl", "nope.tsl"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("game/nope.tsl"), std::string::npos) << missing.err;
  EXPECT_FALSE(fs::exists(dir_.Path() / "x.dat"));

  auto folder_in_list = Pack({"create", "x.dat", "game/main.tsl", "game/images"});
  EXPECT_EQ(folder_in_list.status, 1);
  EXPECT_NE(folder_in_list.err.find("game/images"), std::string::npos) << folder_in_list.err;

  auto outside = Pack({"create", "-C", "game", "x.dat", "../game/main.tsl"});
  EXPECT_EQ(outside.status, 1);
  EXPECT_NE(outside.err.find("../game/main.tsl"), std::string::npos) << outside.err;

  dir_.Write("game/" + std::string(240, 'n'), "long");
  auto long_name = Pack({"create", "y.dat", "game"});
  EXPECT_EQ(long_name.status, 1);
  EXPECT_NE(long_name.err.find("longer than 239 bytes"), std::string::npos) << long_name.err;

  dir_.Write("junk.dat", "this is not an archive");
  auto junk = Pack({"list", "junk.dat"});
  EXPECT_EQ(junk.status, 1);
  EXPECT_NE(junk.err.find("junk.dat"), std::string::npos);
  auto absent = Pack({"list", "absent.dat"});
  EXPECT_EQ(absent.status, 1);
  EXPECT_NE(absent.err.find("absent.dat"), std::string::npos);

  ASSERT_EQ(Pack({"create", "-C", "game", "ok.dat", "main.tsl"}).status, 0);
  auto no_entry = Pack({"extract", "ok.dat", "other.tsl"});
  EXPECT_EQ(no_entry.status, 1);
  EXPECT_NE(no_entry.err.find("no entry named other.tsl"), std::string::npos);
}

TEST_F(TesselPack, ExtractNeverWritesOutsideTheTarget) {
  std::string error;
  auto sources = test::Sources({{"../escaped.txt", "bad"}, {"/tmp-abs.txt", "bad"},
                                {"a/../../up.txt", "bad"}, {"fine.txt", "good"}, {"fine.txt", "later copy"}});
  ASSERT_TRUE(WriteArchive((dir_.Path() / "evil.dat").string(), sources, error)) << error;
  fs::create_directory(dir_.Path() / "out");
  auto extracted = Pack({"extract", "-C", "out", "evil.dat"});
  EXPECT_EQ(extracted.status, 1);
  EXPECT_NE(extracted.err.find("../escaped.txt"), std::string::npos) << extracted.err;
  EXPECT_FALSE(fs::exists(dir_.Path() / "escaped.txt"));
  EXPECT_FALSE(fs::exists(dir_.Path() / "up.txt"));
  EXPECT_EQ(Slurp(dir_.Path() / "out/fine.txt"), "good");  // the copy the engine reads
}

TEST(ArchiveWriter, RefusesWhatTheFormatCannotHold) {
  std::string bytes;
  std::string error;
  EXPECT_FALSE(BuildArchive(test::Sources({{"", "x"}}), bytes, error));
  EXPECT_FALSE(BuildArchive(test::Sources({{std::string("a\0b", 3), "x"}}), bytes, error));
  EXPECT_FALSE(BuildArchive(test::Sources({{std::string(240, 'n'), "x"}}), bytes, error));
  EXPECT_TRUE(BuildArchive(test::Sources({{std::string(239, 'n'), "x"}}), bytes, error)) << error;
  EXPECT_EQ(bytes.size() % 256, 0u);
  test::EntryList many(65535, {"e", ""});
  EXPECT_FALSE(BuildArchive(test::Sources(many), bytes, error));
  EXPECT_NE(error.find("too many entries"), std::string::npos);
}

}  // namespace
}  // namespace tessel
