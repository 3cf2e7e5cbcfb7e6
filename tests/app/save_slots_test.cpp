#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/save/GameFolder.h"
#include "app/save/SaveFile.h"
#include "app/save/SaveSlots.h"
#include "script/LuaSnapshot.h"
#include "script/ScriptHost.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

class SaveSlotsTest : public test::ScriptTest {
 protected:
  void SetUp() override {
    test::ScriptTest::SetUp();
    CaptureLuaBaseline(Host().State());
    PrepareSaving();
    SetSaveDirOverride(dir_.Path().string());
    SetGameId("slots");
  }
  void TearDown() override {
    SetFailWrites(false);
    ResetGameFolder();
    test::ScriptTest::TearDown();
  }
  std::vector<std::uint8_t> FileBytes(const std::string& slot) {
    std::string why;
    return ReadWholeFile(SlotPath(slot), why).value_or(std::vector<std::uint8_t>{});
  }
  void WriteBytes(const std::string& slot, const std::vector<std::uint8_t>& bytes) {
    std::string why;
    ASSERT_TRUE(WriteFileAtomically(SlotPath(slot), bytes, why)) << why;
  }
  // The save of `slot` re-encoded after `change`.
  void Rewrite(const std::string& from, const std::string& to,
               const std::function<void(SaveFileContent&)>& change) {
    std::string why;
    std::optional<SaveFileContent> content = DecodeSaveFile(FileBytes(from), "", why);
    ASSERT_TRUE(content) << why;
    change(*content);
    WriteBytes(to, EncodeSaveFile(*content));
  }
  test::TempDir dir_;
};

TEST_F(SaveSlotsTest, RoundTripAndEveryRefusalIsOneLogLineThatChangesNothing) {
  Run("story = {chapter = 2}  ok = SaveGame(3, 'Chapter two')");
  Run("ok = tostring(ok)");
  ASSERT_EQ(String("ok"), "true");
  const std::vector<std::uint8_t> good = FileBytes("3");

  auto with = [&](std::vector<std::uint8_t> bytes, const std::function<void(std::vector<std::uint8_t>&)>& f) {
    f(bytes);
    return bytes;
  };
  WriteBytes("magic", with(good, [](auto& b) { b[0] = 'X'; }));
  WriteBytes("cut", std::vector<std::uint8_t>(good.begin(), good.end() - 9));
  WriteBytes("crc", with(good, [](auto& b) { b.back() ^= 1; }));
  WriteBytes("newer", with(good, [](auto& b) { b[8] = 2; }));
  Rewrite("3", "other", [](SaveFileContent& c) { c.game_id = "another"; });
  Rewrite("3", "unknown", [](SaveFileContent& c) { c.chunks.push_back({"bogus", {1, 2}}); });
  Rewrite("3", "missing", [](SaveFileContent& c) { c.chunks.clear(); });
  Rewrite("3", "damaged", [](SaveFileContent& c) { c.chunks.back().bytes.resize(5); });
  const std::vector<std::pair<std::string, std::string>> refusals = {
      {"nothing", "there is no save in this slot"},
      {"magic", "wrong magic"},
      {"cut", "truncated"},
      {"crc", "checksum does not match"},
      {"newer", "newer than this engine reads"},
      {"other", "belongs to another game ('another'"},
      {"unknown", "does not know ('bogus')"},
      {"missing", "section is missing"},
      {"damaged", "'lua' section is damaged"},
  };
  Run("story.chapter = 5");
  for (const auto& [slot, reason] : refusals) {
    testing::internal::CaptureStdout();
    Run("ok = tostring(LoadGame('" + slot + "'))");
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(String("ok"), "false") << slot;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_NE(log.find(SlotPath(slot)), std::string::npos) << log;
    EXPECT_NE(log.find(reason), std::string::npos) << log;
    EXPECT_FALSE(LoadPending()) << slot;
    Run("chapter = story.chapter");
    EXPECT_EQ(Number("chapter"), 5) << slot;
  }

  Run("info = GetSaveInfo(3)  title = info.title  slots = table.concat(ListSaves(), ' ')");
  EXPECT_EQ(String("title"), "Chapter two");
  EXPECT_EQ(String("slots"), "3 crc cut damaged magic missing newer other unknown");
  Run("ok = tostring(LoadGame(3))  chapter = story.chapter");
  EXPECT_EQ(String("ok"), "true");
  EXPECT_EQ(Number("chapter"), 5) << "nothing changes before the script returns";
  ApplyPendingLoad();
  Run("chapter = story.chapter");
  EXPECT_EQ(Number("chapter"), 2);
  Run("gone = tostring(DeleteSave(3)) .. tostring(GetSaveInfo(3)) .. tostring(DeleteSave(3))");
  EXPECT_EQ(String("gone"), "truenilfalse");
}

TEST_F(SaveSlotsTest, AKilledOrFailedSaveLeavesThePreviousSaveWhole) {
  Run("story = 'first'  SaveGame('quick')  story = 'second'");
  const pid_t child = fork();
  if (child == 0) {
    SetBeforeRenameHook([] { raise(SIGKILL); });
    SaveToSlot("quick", "");
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

  SetFailWrites(true);
  testing::internal::CaptureStdout();
  Run("ok = tostring(SaveGame('quick'))");
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(String("ok"), "false");
  EXPECT_NE(log.find(SlotPath("quick") + " (slot quick) was not saved"), std::string::npos) << log;

  ASSERT_TRUE(RequestLoad("quick"));
  ApplyPendingLoad();
  EXPECT_EQ(String("story"), "first");
}

class SaveThumbnailTest : public test::WindowTest {
 protected:
  void SetUp() override {
    test::WindowTest::SetUp();
    CaptureLuaBaseline(Host().State());
    SetSaveDirOverride(dir_.Path().string());
  }
  void TearDown() override {
    ResetGameFolder();
    test::WindowTest::TearDown();
  }
  test::TempDir dir_;
};

// The save's picture is the frame as drawn, made small, and comes back as a
// texture image of that size; a slot without a save has none.
TEST_F(SaveThumbnailTest, TheFrameComesBackAsATextureImage) {
  Run("InitWindow(320, 200)  SetBaseColor(1, 0, 0, 1)  TakeSaveThumbnail()  SaveGame(1)");
  Run("image = LoadSaveThumbnail(1)  w, h = GetTexImageInf(image)  none = tostring(LoadSaveThumbnail(2))");
  EXPECT_EQ(Number("w"), 160);
  EXPECT_EQ(Number("h"), 100);
  EXPECT_EQ(String("none"), "nil");
  std::optional<SaveThumbnail> picture = SlotThumbnail("1");
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->rgb[0], 255);  // SetBaseColor's red
  EXPECT_EQ(picture->rgb[2], 0);
}

TEST(GameFolder, IdsSlotsAndTheFolderFollowTheirRules) {
  EXPECT_TRUE(ValidGameId("My.Game_2-x"));
  EXPECT_FALSE(ValidGameId(""));
  EXPECT_FALSE(ValidGameId("a/b"));
  EXPECT_FALSE(ValidGameId(std::string(65, 'a')));
  EXPECT_EQ(GameIdFromFolder("My Game (2)!"), "MyGame2");
  EXPECT_EQ(GameIdFromFolder(".."), "game");
  EXPECT_EQ(SlotName("007"), "7");
  EXPECT_EQ(SlotName(9999.0), "9999");
  EXPECT_FALSE(SlotName(0.0) || SlotName(1.5) || SlotName(10000.0) || SlotName("Quick") ||
               SlotName("../x") || SlotName(std::string(33, 'a')));
  EXPECT_FALSE(SetGameId(".."));
  setenv("XDG_DATA_HOME", "/xdg", 1);
  ASSERT_TRUE(SetGameId("g1"));
  EXPECT_EQ(SlotPath("auto"), "/xdg/tessel/g1/saves/auto.tsave");
  unsetenv("XDG_DATA_HOME");
  const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : ".";
  EXPECT_EQ(GameDataFolder(), home + "/.local/share/tessel/g1/");
  SetSaveDirOverride("/portable");
  EXPECT_EQ(SlotPath("5"), "/portable/saves/5.tsave");
  ResetGameFolder();
}

}  // namespace
}  // namespace tessel
