// Every sound command with bad handles, odd arguments, missing files and no
// audio device: nothing crashes, leaks or reaches the mixer with bad input.
#include "sound/Audio.h"
#include "sound/SoundData.h"
#include "sound/SoundTestSupport.h"

namespace tessel::test {
namespace {

// Each command with the argument `x` first, then plausible other arguments.
std::string AllCommandsOn(const std::string& x) {
  return "r1 = PlaySoundData(" + x + ", -1) r2 = StopSoundData(" + x + ") r3 = PauseSoundData(" + x +
         ") r4 = ResumeSoundData(" + x + ") r5 = FadeInSoundData(" + x + ", 100, 0) r6 = FadeOutSoundData(" +
         x + ", 100) r7 = SetSoundDataVolume(" + x + ", 64) r8 = SetChannelToChunkData(" + x +
         ", 2) r9 = ReleaseSoundData(" + x + ")\n";
}

class SoundCommandSafetyTest : public SoundTest {
 protected:
  void ExpectNoResults() {
    for (int i = 1; i <= 9; ++i) EXPECT_TRUE(IsNil("r" + std::to_string(i))) << "r" << i;
  }
};

TEST_F(SoundCommandSafetyTest, BadHandlesAreAnErrorLineAndNilResults) {
  Run("a = CreateChunk('tone.wav') m = CreateMusic('tone.ogg') PlaySoundData(a, -1) PlaySoundData(m, -1)"
      "dead = CreateChunk('tone.wav') ReleaseSoundData(dead) deadm = CreateMusic('tone.ogg') ReleaseSoundData(deadm)"
      "h = CreateEventHandler()");
  for (const char* arg : {"nil", "0", "12", "'tone.wav'", "{}", "dead", "deadm", "h", "print"}) {
    ::testing::internal::CaptureStderr();
    Run(AllCommandsOn(arg) + "AllocateChunkChannel(" + arg + ")");
    const std::string log = ::testing::internal::GetCapturedStderr();
    ExpectNoResults();
    EXPECT_NE(log.find("PlaySoundData: argument 1 is not a live sound"), std::string::npos) << arg << log;
    EXPECT_NE(log.find("SetChannelToChunkData: argument 1 is not a live sound chunk"), std::string::npos)
        << arg;
    // Nothing reached the live sounds (AllocateChunkChannel of a non-number is 0 channels).
    EXPECT_EQ(Mix_PlayingMusic(), 1) << arg;
    Run("AllocateChunkChannel(8) PlaySoundData(a, -1)");
  }
  // A music is not a chunk: it has no channel.
  ::testing::internal::CaptureStderr();
  Run("SetChannelToChunkData(m, 3)");
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("not a live sound chunk"), std::string::npos);
  EXPECT_EQ(Registry().Find(GlobalHandle("h")) != nullptr, true);  // the foreign object is untouched
}

TEST_F(SoundCommandSafetyTest, MissingAndUndecodableFilesGiveObjectsWithoutSound) {
  std::string log = RunCapturingLog("a = CreateChunk('nope.wav')");
  EXPECT_EQ(log, "Can't open music file : nope.wav\n");
  log = RunCapturingLog("m = CreateMusic('nope.ogg')");
  EXPECT_EQ(log, "Can't open music file : nope.ogg\n");
  log = RunCapturingLog("j = CreateMusic('junk.bin')");
  EXPECT_EQ(log.rfind("Can't open music file : junk.bin\n", 0), 0u) << log;
  EXPECT_GT(log.size(), std::string("Can't open music file : junk.bin\n").size() + 1);  // the mixer's reason
  EXPECT_EQ(log.back(), '\n');
  log = RunCapturingLog("k = CreateChunk('junk.bin')");
  EXPECT_EQ(log.rfind("Can't open music file : junk.bin\n", 0), 0u) << log;
  log = RunCapturingLog("n = CreateChunk(12) n2 = CreateMusic() n3 = CreateMusic({})");
  EXPECT_EQ(log, "Can't open music file : (no name)\n"
                     "Can't open music file : (no name)\n"
                     "Can't open music file : (no name)\n");

  for (const char* name : {"a", "m", "j", "k", "n", "n2", "n3"}) {
    ASSERT_NE(GlobalHandle(name), nullptr) << name;
    EXPECT_FALSE(Object<SoundData>(name)->HasSound()) << name;
    Run(AllCommandsOn(name));  // every operation does nothing, and release works
    EXPECT_EQ(Object<SoundData>(name), nullptr);
  }
  EXPECT_EQ(Mix_Playing(-1), 0);
  EXPECT_EQ(Mix_PlayingMusic(), 0);
}

TEST_F(SoundCommandSafetyTest, CreateAndReleaseCyclesLeaveNoDescriptorOpen) {
  Run("ar = ArchiveLoad('sounds.dat')"
      "for i = 1, 3 do ReleaseSoundData(CreateMusic('tone.ogg')) end");  // libraries settle
  const int before = OpenDescriptorCount();
  Run("for i = 1, 500 do"
      "  local m = CreateMusic('tone.ogg') PlaySoundData(m, -1) ReleaseSoundData(m)"
      "  ReleaseSoundData(CreateMusic('tone.wav'))"
      "  ReleaseSoundData(CreateMusic('junk.bin'))"
      "  local c = CreateChunk('short.wav') PlaySoundData(c, 0) ReleaseSoundData(c)"
      "  ReleaseSoundData(CreateChunk('junk.bin'))"
      "  local a = CreateMusic('bgm/theme.ogg') PlaySoundData(a, -1) ReleaseSoundData(a)"
      "  ReleaseSoundData(CreateChunk('se/hit.wav'))"
      "end");
  EXPECT_EQ(OpenDescriptorCount(), before);
  EXPECT_EQ(Registry().Count(), 1u);  // the archive
}

TEST_F(SoundCommandSafetyTest, ObjectsThatOutliveTheDeviceKeepNothing) {
  Run("a = CreateChunk('tone.wav') m = CreateMusic('tone.ogg') PlaySoundData(a, -1) PlaySoundData(m, -1)");
  CloseAudio();
  EXPECT_FALSE(Object<ChunkData>("a")->HasSound());
  EXPECT_FALSE(Object<MusicData>("m")->HasSound());
  Run(AllCommandsOn("a") + AllCommandsOn("m") + "AllocateChunkChannel(4)");
  EXPECT_EQ(ChunkChannelCount(), 0);
}

TEST_F(SoundCommandSafetyTest, AnEmptySoundLoopingForeverDoesNotHangTheMixer) {
  dir_.Write("empty.wav", WavFile(0.0));
  Run("e = CreateChunk('empty.wav') PlaySoundData(e, -1) FadeInSoundData(e, 100, -1)");
  Pump(200);
  Run("StopSoundData(e) ReleaseSoundData(e)");
}

class ClosedAudioTest : public SoundCommandSafetyTest {
 protected:
  bool OpensAudio() const override { return false; }
};

TEST_F(ClosedAudioTest, EveryCommandIsSafeWithoutADevice) {
  std::string log = RunCapturingLog("a = CreateChunk('tone.wav') m = CreateMusic('tone.ogg') h = CreateEventHandler()");
  EXPECT_EQ(log,
            "Can't open music file : tone.wav\nAudio device hasn't been opened\n"
            "Can't open music file : tone.ogg\nAudio device hasn't been opened\n");
  ASSERT_NE(Object<ChunkData>("a"), nullptr);
  ASSERT_NE(Object<MusicData>("m"), nullptr);
  Run("AllocateChunkChannel(4) AllocateChunkChannel(-1) AllocateChunkChannel(100000)"
      "SetChannelToChunkData(a, 99) SetChannelToChunkData(a, -1)");
  EXPECT_EQ(ChunkChannelCount(), 0);
  for (const char* arg : {"a", "m", "nil", "3", "h", "a"}) {  // "a" twice: released by then
    Run(AllCommandsOn(arg));
    ExpectNoResults();
  }
  EXPECT_EQ(Registry().Count(), 1u);  // the event handler
}

}  // namespace
}  // namespace tessel::test
