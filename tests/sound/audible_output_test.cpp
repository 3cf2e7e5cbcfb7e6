// What the mixer writes, through SDL's disk audio driver.
#include "sound/SoundTestSupport.h"

namespace tessel::test {
namespace {

using AudibleOutputTest = DiskAudioTest;

// The test tones peak at 8000; a looped 440 Hz sine reaches near that in any
// 200 ms of output.
constexpr int kLoud = 6000;

TEST_F(AudibleOutputTest, AChunkIsHeardAndSilentWhilePausedOrStopped) {
  EXPECT_EQ(PeakFromNow(), 0);
  Run("a = CreateChunk('tone.wav') PlaySoundData(a, -1)");
  EXPECT_GT(PeakFromNow(), kLoud);
  Run("PauseSoundData(a)");
  EXPECT_EQ(PeakFromNow(), 0);
  Run("ResumeSoundData(a)");
  EXPECT_GT(PeakFromNow(), kLoud);
  Run("SetSoundDataVolume(a, 32)");  // a quarter
  int quiet = PeakFromNow();
  EXPECT_GT(quiet, 1500);
  EXPECT_LT(quiet, 2500);
  Run("SetSoundDataVolume(a, 500)");  // taken as the full 128
  EXPECT_GT(PeakFromNow(), kLoud);
  Run("StopSoundData(a)");
  EXPECT_EQ(PeakFromNow(), 0);
  Run("ResumeSoundData(a)");
  EXPECT_EQ(PeakFromNow(), 0);
}

TEST_F(AudibleOutputTest, MusicIsHeardAndSilentWhilePaused) {
  Run("m = CreateMusic('tone.ogg') PlaySoundData(m, -1)");
  EXPECT_GT(PeakFromNow(), kLoud);
  Run("PauseSoundData(m)");
  EXPECT_EQ(PeakFromNow(), 0);
  Run("ResumeSoundData(m)");
  EXPECT_GT(PeakFromNow(), kLoud);
  Run("ReleaseSoundData(m)");
  EXPECT_EQ(PeakFromNow(), 0);
}

TEST_F(AudibleOutputTest, SoundsFromAnArchiveAreHeardAndMusicOutlivesTheArchive) {
  Run("ar = ArchiveLoad('sounds.dat') m = CreateMusic('bgm/theme.ogg') c = CreateChunk('se/hit.wav')"
      "PlaySoundData(m, -1) ArchiveRelease(ar)");
  EXPECT_GT(PeakFromNow(400), kLoud);  // the music keeps reading its own stream
  Run("StopSoundData(m) PlaySoundData(c, -1)");
  EXPECT_GT(PeakFromNow(), kLoud);
}

TEST_F(AudibleOutputTest, ATrackerModuleIsHeard) {
  Run("m = CreateMusic('tune.mod') PlaySoundData(m, -1)");
  EXPECT_GT(PeakFromNow(), 1000);
}

TEST_F(AudibleOutputTest, ReleasingAPlayingChunkSilencesItAtOnce) {
  Run("a = CreateChunk('tone.wav') PlaySoundData(a, -1)");
  EXPECT_GT(PeakFromNow(), kLoud);
  Run("ReleaseSoundData(a)");
  EXPECT_EQ(PeakFromNow(), 0);
}

TEST_F(AudibleOutputTest, AFadeOutEndsInSilence) {
  Run("a = CreateChunk('tone.wav') m = CreateMusic('tone.ogg')"
      "PlaySoundData(a, -1) PlaySoundData(m, -1)");
  EXPECT_GT(PeakFromNow(), kLoud);
  Run("FadeOutSoundData(a, 200) FadeOutSoundData(m, 200)");
  EXPECT_TRUE(WaitUntil([] { return Mix_Playing(-1) == 0 && Mix_PlayingMusic() == 0; }));
  EXPECT_EQ(PeakFromNow(), 0);
}

}  // namespace
}  // namespace tessel::test
