// Sounds saved and loaded: chunks on their channels with their volume and
// loops, a paused music at its position, the channel count and music volume,
// a released sound left released.
#include "sound/Audio.h"
#include "sound/MusicTrack.h"
#include "sound/SoundData.h"
#include "sound/SoundTestSupport.h"
#include "support/SaveTestSupport.h"

namespace tessel::test {
namespace {

using SoundSaveTest = SoundTest;

TEST_F(SoundSaveTest, WhatPlaysAndAtWhatVolumeComesBack) {
  ManualClock clock;
  RunCapturingLog(
      "AllocateChunkChannel(4) gone = CreateChunk('short.wav') ReleaseSoundData(gone) "
      "a = CreateChunk('tone.wav') SetChannelToChunkData(a, 2) SetSoundDataVolume(a, 40) "
      "PlaySoundData(a, 3) b = CreateChunk('short.wav') "
      "m = CreateMusic('tone.ogg') PlaySoundData(m, -1) SetSoundDataVolume(m, 70)");
  clock.Advance(300);
  Run("PauseSoundData(m)");
  const std::vector<std::uint8_t> saved = SaveEngineState();
  const std::uint32_t played = MusicTrack::Get().PlayedMs();
  EXPECT_EQ(played, 300u);

  RunCapturingLog("StopSoundData(a) ReleaseSoundData(b) AllocateChunkChannel(8) ResumeSoundData(m) "
                  "SetSoundDataVolume(m, 10) x = CreateMusic('tone.wav') PlaySoundData(x, 0)");
  ::testing::internal::CaptureStdout();  // the sounds' reading messages
  const std::string error = LoadEngineState(saved);
  ::testing::internal::GetCapturedStdout();
  ASSERT_EQ(error, "");

  EXPECT_EQ(ChunkChannelCount(), 4);
  ChunkData* a = Object<ChunkData>("a");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Channel(), 2);
  EXPECT_EQ(Mix_Playing(2), 1);
  EXPECT_EQ(Mix_GetChunk(2), a->Chunk());
  EXPECT_EQ(Mix_VolumeChunk(a->Chunk(), -1), 40);
  EXPECT_NE(Object<ChunkData>("b"), nullptr);
  EXPECT_EQ(Object<ChunkData>("gone"), nullptr);
  EXPECT_EQ(Object<MusicData>("x"), nullptr);
  MusicData* m = Object<MusicData>("m");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(MusicTrack::Get().Current(), m->Music());
  EXPECT_EQ(MusicTrack::Get().Loops(), -1);
  EXPECT_EQ(Mix_PausedMusic(), 1);
  EXPECT_EQ(Mix_VolumeMusic(-1), 70);
  EXPECT_EQ(MusicTrack::Get().PlayedMs(), played);  // Ogg seeks: it goes on where it was
  EXPECT_EQ(SaveEngineState(), saved);
}

}  // namespace
}  // namespace tessel::test
