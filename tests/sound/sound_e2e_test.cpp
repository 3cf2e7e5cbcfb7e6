// The real engine plays a game's music and effect from main.dat through SDL's
// disk audio driver; what it wrote must be sound, and the exit clean.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "sound/TestSounds.h"
#include "support/TestSupport.h"

namespace tessel::test {
namespace {

int PeakOfFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  int peak = 0;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto sample = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                            (static_cast<std::uint8_t>(bytes[i + 1]) << 8));
    peak = std::max(peak, std::abs(static_cast<int>(sample)));
  }
  return peak;
}

TEST(SoundEndToEnd, GameFromArchivePlaysMusicAndAnEffectAndExitsCleanly) {
  TempDir dir;
  TestGame game;
  game.File("bgm/theme.ogg", OggFile(2.0));
  game.File("se/chime.wav", WavFile(0.5));
  // A scripted effect on an invisible layer ends the game after 800 ms.
  game.Scenario("main.tsl",
                u"{InitWindow(64, 48)\n"
                u" music = CreateMusic('bgm/theme.ogg') FadeInSoundData(music, 200, -1)\n"
                u" chime = CreateChunk('se/chime.wav') SetChannelToChunkData(chime, 1)\n"
                u" PlaySoundData(chime, 0)\n"
                u" function Quit() print('quitting') SystemExit() end\n"
                u" local layer = CreateLayer(LoadTexImage(1, 1))\n"
                u" EffectCopy(layer, 1000, 800, false, '', '', 'Quit')}\n");
  std::filesystem::path game_dir = dir.Path() / "game";
  game.WritePacked(game_dir);
  std::filesystem::path output = dir.Path() / "audio.raw";
  auto result = RunTessel({"main.tsl"}, game_dir,
                          {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + output.string()});
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("quitting\n"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("Unable to open audio!"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("Can't open music file"), std::string::npos) << result.out;
  EXPECT_EQ(result.err.find("released"), std::string::npos) << result.err;
  ASSERT_TRUE(std::filesystem::exists(output));
  EXPECT_GT(std::filesystem::file_size(output), 44100u);  // at least a quarter second of stereo
  EXPECT_GT(PeakOfFile(output), 4000);
}

}  // namespace
}  // namespace tessel::test
