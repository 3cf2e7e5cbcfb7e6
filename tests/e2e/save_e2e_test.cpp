#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace tessel {
namespace {

// One process saves the game's data and quits; a second, started afresh,
// loads it. The switch happens once the calling block has returned, so the
// block that follows sees the data of the first process, closures and all.
TEST(SaveE2E, DataSavedByOneRunIsWhatTheNextRunLoads) {
  test::TempDir dir;
  const std::string save_dir = "--save-dir=" + (dir.Path() / "data").string();
  // One game for both runs: the save holds the story position too, and a
  // story file that changed since would resume elsewhere.
  test::TestGame game;
  game.Scenario("main.tsl",
                u"{SetGameId('e2e')\n"
                u"if not GetSaveInfo('quick') then\n"
                u"  local hits = 2\n"
                u"  function Hit() hits = hits + 1 return hits end\n"
                u"  party = {leader = {name = 'Aoi'}, gold = 0/0}\n"
                u"  party.leader.party = party\n"
                u"  Hit()\n"
                u"  print('saved', SaveGame('quick', 'Before the gate'))\n"
                u"  os.exit(0)\n"
                u"end\n"
                u"info = GetSaveInfo('quick')\n"
                u"print('info', info.title, info.file, info.line, ListSaves()[1])\n"
                u"party = 'mine'\n"
                u"print('load', LoadGame('quick'), party)}\n"
                u"{print('after', Hit(), party.leader.name, party.leader.party == party,\n"
                u"      party.gold ~= party.gold)\n"
                u"print('refused', LoadGame('missing'), LoadGame(0))\n"
                u"os.exit(0)}\n");
  game.WriteLoose(dir.Path());
  auto first = test::RunTessel({save_dir, "main.tsl"}, dir.Path());
  ASSERT_NE(first.out.find("saved\ttrue"), std::string::npos) << first.out << first.err;

  auto second = test::RunTessel({save_dir, "main.tsl"}, dir.Path());
  EXPECT_EQ(test::FirstMissingInOrder(second.out, {"info\tBefore the gate\tmain.tsl\t14\tquick",
                                                    "load\ttrue\tmine", "after\t4\tAoi\ttrue\ttrue",
                                                    "there is no save in this slot",
                                                    "refused\tfalse\tfalse"}),
            "")
      << second.out << second.err;
}

}  // namespace
}  // namespace tessel
