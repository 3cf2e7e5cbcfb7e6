// Sound chunks on mixer channels, observed through the mixer's own queries.
#include <climits>

#include "sound/Audio.h"
#include "sound/SoundData.h"
#include "sound/SoundTestSupport.h"

namespace tessel::test {
namespace {

using ChunkChannelTest = SoundTest;

TEST_F(ChunkChannelTest, PlayPauseResumeStopFollowTheChannel) {
  Run("a = CreateChunk('tone.wav') PlaySoundData(a, -1)");
  EXPECT_EQ(Mix_Playing(0), 1);
  EXPECT_EQ(Mix_Paused(0), 0);
  Run("PauseSoundData(a)");
  EXPECT_EQ(Mix_Paused(0), 1);
  Run("ResumeSoundData(a)");
  EXPECT_EQ(Mix_Paused(0), 0);
  EXPECT_EQ(Mix_Playing(0), 1);
  Run("StopSoundData(a)");
  EXPECT_EQ(Mix_Playing(0), 0);
  Run("ResumeSoundData(a)");  // a stopped sound does not come back
  EXPECT_EQ(Mix_Playing(0), 0);
  Run("PlaySoundData(a, 0)");  // and can be started again
  EXPECT_EQ(Mix_Playing(0), 1);
}

TEST_F(ChunkChannelTest, TwoChunksOnOneChannelCutEachOffAndShareItsControl) {
  Run("a = CreateChunk('tone.wav') b = CreateChunk('short.wav')"
      "SetChannelToChunkData(a, 3) SetChannelToChunkData(b, 3)"
      "PlaySoundData(a, -1) PlaySoundData(b, -1)");
  EXPECT_EQ(Mix_GetChunk(3), Object<ChunkData>("b")->Chunk());
  EXPECT_EQ(Mix_Playing(-1), 1);
  Run("StopSoundData(a)");  // control is by channel: this stops b
  EXPECT_EQ(Mix_Playing(3), 0);
}

TEST_F(ChunkChannelTest, ChannelMinusOneStartsOnFreeChannelsAndControlsAll) {
  Run("a = CreateChunk('tone.wav') SetChannelToChunkData(a, -1)"
      "b = CreateChunk('tone.wav') SetChannelToChunkData(b, 5) PlaySoundData(b, -1)"
      "PlaySoundData(a, -1) PlaySoundData(a, -1)");
  EXPECT_EQ(Mix_Playing(-1), 3);
  EXPECT_EQ(Mix_GetChunk(0), Object<ChunkData>("a")->Chunk());
  EXPECT_EQ(Mix_GetChunk(1), Object<ChunkData>("a")->Chunk());
  Run("PauseSoundData(a)");
  EXPECT_EQ(Mix_Paused(-1), 3);
  Run("ResumeSoundData(a)");
  EXPECT_EQ(Mix_Paused(-1), 0);
  Run("StopSoundData(a)");
  EXPECT_EQ(Mix_Playing(-1), 0);

  // With every channel busy, a start on -1 starts nothing.
  Run("AllocateChunkChannel(2) PlaySoundData(a, -1) PlaySoundData(a, -1) PlaySoundData(a, -1)");
  EXPECT_EQ(Mix_Playing(-1), 2);
}

TEST_F(ChunkChannelTest, ChannelsOutsideTheAllocatedOnesAreRefusedWithALogLine) {
  Run("a = CreateChunk('tone.wav')");
  for (long long channel : {8LL, 100000LL, -2LL, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX)}) {
    std::string set = "SetChannelToChunkData(a, " + std::to_string(channel) + ")";
    std::string log = RunCapturingLog(set +
                                      " PlaySoundData(a, 0) FadeInSoundData(a, 100, 0) PauseSoundData(a)"
                                      " ResumeSoundData(a) FadeOutSoundData(a, 100) StopSoundData(a)");
    EXPECT_EQ(Object<ChunkData>("a")->Channel(), channel);  // any value is kept
    EXPECT_NE(log.find("Sound channel " + std::to_string(channel) + " is not allocated"), std::string::npos)
        << log;
    EXPECT_EQ(Mix_Playing(-1), 0);
  }
  Run("SetChannelToChunkData(a, 7.9) PlaySoundData(a, 0)");  // truncated toward zero
  EXPECT_EQ(Mix_Playing(7), 1);
}

TEST_F(ChunkChannelTest, AllocatingFewerChannelsHaltsTheDroppedOnes) {
  Run("a = CreateChunk('tone.wav') SetChannelToChunkData(a, 5) PlaySoundData(a, -1)"
      "b = CreateChunk('tone.wav') SetChannelToChunkData(b, 1) PlaySoundData(b, -1)");
  EXPECT_EQ(ChunkChannelCount(), 8);
  EXPECT_EQ(Mix_Playing(-1), 2);
  Run("AllocateChunkChannel(2)");
  EXPECT_EQ(ChunkChannelCount(), 2);
  EXPECT_EQ(Mix_Playing(-1), 1);
  EXPECT_EQ(Mix_Playing(1), 1);
  std::string log = RunCapturingLog("PlaySoundData(a, 0)");  // channel 5 is gone
  EXPECT_NE(log.find("not allocated"), std::string::npos);

  Run("AllocateChunkChannel(-3)");
  EXPECT_EQ(ChunkChannelCount(), 2);
  Run("AllocateChunkChannel(5000)");
  EXPECT_EQ(ChunkChannelCount(), kMaxChunkChannels);
  Run("AllocateChunkChannel(0) SetChannelToChunkData(b, -1) PlaySoundData(b, 0) StopSoundData(b)");
  EXPECT_EQ(ChunkChannelCount(), 0);
  EXPECT_EQ(Mix_Playing(-1), 0);
  Run("AllocateChunkChannel(8) PlaySoundData(a, 0)");
  EXPECT_EQ(Mix_Playing(5), 1);
}

TEST_F(ChunkChannelTest, VolumeIsClampedAndNegativeChangesNothing) {
  Run("a = CreateChunk('tone.wav') m = CreateMusic('tone.ogg')");
  Mix_Chunk* chunk = Object<ChunkData>("a")->Chunk();
  EXPECT_EQ(Mix_VolumeChunk(chunk, -1), 128);
  Run("SetSoundDataVolume(a, 64)");
  EXPECT_EQ(Mix_VolumeChunk(chunk, -1), 64);
  Run("SetSoundDataVolume(a, 200)");
  EXPECT_EQ(Mix_VolumeChunk(chunk, -1), 128);
  Run("SetSoundDataVolume(a, 0) SetSoundDataVolume(a, -1)");
  EXPECT_EQ(Mix_VolumeChunk(chunk, -1), 0);

  EXPECT_EQ(Mix_VolumeMusic(-1), 128);
  Run("SetSoundDataVolume(m, 30)");
  EXPECT_EQ(Mix_VolumeMusic(-1), 30);
  Run("SetSoundDataVolume(m, -1)");
  EXPECT_EQ(Mix_VolumeMusic(-1), 30);
  Run("SetSoundDataVolume(m, 1000)");
  EXPECT_EQ(Mix_VolumeMusic(-1), 128);
}

TEST_F(ChunkChannelTest, FadesOfZeroOrLessArePlainPlaysAndStops) {
  Run("a = CreateChunk('tone.wav')");
  for (const char* ms : {"0", "-1", "-2147483648"}) {
    Run(std::string("FadeInSoundData(a, ") + ms + ", -1)");
    EXPECT_EQ(Mix_Playing(0), 1) << ms;
    EXPECT_EQ(Mix_FadingChannel(0), MIX_NO_FADING) << ms;
    Run(std::string("FadeOutSoundData(a, ") + ms + ")");
    EXPECT_EQ(Mix_Playing(0), 0) << ms;
  }
}

TEST_F(ChunkChannelTest, FadesRunInRealTimeAndKeepTheLoopCount) {
  // Milliseconds come before loops: a 0.1 s sound fading in over 0.3 s with
  // loops -1 is still playing long after its own length.
  Run("a = CreateChunk('short.wav') FadeInSoundData(a, 300, -1)");
  EXPECT_EQ(Mix_FadingChannel(0), MIX_FADING_IN);
  EXPECT_TRUE(WaitUntil([] { return Mix_FadingChannel(0) == MIX_NO_FADING; }));
  Pump(200);
  EXPECT_EQ(Mix_Playing(0), 1);

  Run("FadeOutSoundData(a, 200)");
  EXPECT_EQ(Mix_FadingChannel(0), MIX_FADING_OUT);
  EXPECT_TRUE(WaitUntil([] { return Mix_Playing(0) == 0; }));

  // Loop count 0 plays once.
  Run("FadeInSoundData(a, 50, 0)");
  EXPECT_TRUE(WaitUntil([] { return Mix_Playing(0) == 0; }, 2000));
}

TEST_F(ChunkChannelTest, ReleasingAChunkSilencesOnlyItsOwnChannels) {
  Run("a = CreateChunk('tone.wav') b = CreateChunk('tone.wav')"
      "PlaySoundData(a, -1) SetChannelToChunkData(a, 2) PlaySoundData(a, -1)"
      "SetChannelToChunkData(b, 1) PlaySoundData(b, -1)");
  EXPECT_EQ(Mix_Playing(-1), 3);
  Run("ReleaseSoundData(a)");  // a's channel is 2, but channel 0 plays it too
  EXPECT_EQ(Mix_Playing(0), 0);
  EXPECT_EQ(Mix_Playing(2), 0);
  EXPECT_EQ(Mix_Playing(1), 1);
}

}  // namespace
}  // namespace tessel::test
