// The single music track: replacing, global control, fades and the pending
// start that keeps every command from waiting for a fade-out.
#include <chrono>

#include "sound/Audio.h"
#include "sound/MusicTrack.h"
#include "sound/SoundData.h"
#include "sound/SoundTestSupport.h"

namespace tessel::test {
namespace {

using Clock = std::chrono::steady_clock;

long ElapsedMs(Clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// Waiting inside the mixer lasts 100 ms at least; a command that returns
// sooner than this did not wait.
constexpr long kNoWaitMs = 80;

class MusicTrackTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    Run("a = CreateMusic('tone.ogg') b = CreateMusic('tone.wav') c = CreateMusic('tune.mod')");
  }
  Mix_Music* M(const char* global) { return Object<MusicData>(global)->Music(); }
  static MusicTrack& Track() { return MusicTrack::Get(); }
  // Runs Lua and says how long it took.
  long Timed(const std::string& code) {
    auto start = Clock::now();
    Run(code);
    return ElapsedMs(start);
  }
};

TEST_F(MusicTrackTest, TheFormatsOfThisMixerLoad) {
  EXPECT_EQ(Mix_GetMusicType(M("a")), MUS_OGG);
  EXPECT_EQ(Mix_GetMusicType(M("b")), MUS_WAV);
  EXPECT_EQ(Mix_GetMusicType(M("c")), MUS_MOD);
  Run("PlaySoundData(c, -1)");
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  Run("e = CreateChunk('tone.ogg')");
  EXPECT_TRUE(Object<ChunkData>("e")->HasSound());
}

TEST_F(MusicTrackTest, PlayingAnotherMusicReplacesItAndStopOnEitherStops) {
  Run("PlaySoundData(a, -1)");
  EXPECT_EQ(Track().Current(), M("a"));
  Run("PlaySoundData(b, -1)");
  EXPECT_EQ(Track().Current(), M("b"));
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  Run("StopSoundData(a)");  // music control is global
  EXPECT_EQ(Mix_PlayingMusic(), 0);
  EXPECT_EQ(Track().Current(), nullptr);

  Run("PlaySoundData(a, -1) PauseSoundData(b)");
  EXPECT_EQ(Mix_PausedMusic(), 1);
  Run("ResumeSoundData(c)");
  EXPECT_EQ(Mix_PausedMusic(), 0);
  Run("StopSoundData(b)");
  EXPECT_EQ(Mix_PlayingMusic(), 0);
}

TEST_F(MusicTrackTest, ReleasingAnIdleMusicLeavesAnotherPlaying) {
  Run("PlaySoundData(a, -1) PlaySoundData(b, -1) ReleaseSoundData(a)");
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  EXPECT_EQ(Track().Current(), M("b"));
  Run("ReleaseSoundData(c)");
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  Run("ReleaseSoundData(b)");  // the current music stops with its object
  EXPECT_EQ(Mix_PlayingMusic(), 0);
  EXPECT_EQ(Track().Current(), nullptr);
}

TEST_F(MusicTrackTest, FadesOfZeroOrLessArePlainPlaysAndStops) {
  for (const char* ms : {"0", "-1", "-2147483648"}) {
    Run(std::string("FadeInSoundData(a, ") + ms + ", -1)");
    EXPECT_EQ(Mix_PlayingMusic(), 1) << ms;
    EXPECT_EQ(Mix_FadingMusic(), MIX_NO_FADING) << ms;
    Run(std::string("FadeOutSoundData(a, ") + ms + ")");
    EXPECT_EQ(Mix_PlayingMusic(), 0) << ms;
  }
  // A fade-in too short for one mixer step, then a fade-out before the mixer
  // ran: the mixer would divide by its zero steps.
  Run("FadeInSoundData(a, 10, -1) FadeOutSoundData(a, 1000)");
  EXPECT_EQ(Mix_FadingMusic(), MIX_FADING_OUT);
  Run("FadeInSoundData(b, 2147483647, -1) FadeOutSoundData(b, 2147483647)");
  EXPECT_EQ(Mix_FadingMusic(), MIX_FADING_OUT);
}

TEST_F(MusicTrackTest, FadesRunInRealTime) {
  Run("FadeInSoundData(a, 300, -1)");
  EXPECT_EQ(Mix_FadingMusic(), MIX_FADING_IN);
  EXPECT_TRUE(WaitUntil([] { return Mix_FadingMusic() == MIX_NO_FADING; }));
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  Run("FadeOutSoundData(b, 300)");
  EXPECT_EQ(Mix_FadingMusic(), MIX_FADING_OUT);
  EXPECT_TRUE(WaitUntil([] { return Mix_PlayingMusic() == 0; }));
}

TEST_F(MusicTrackTest, APlayDuringAFadeOutStartsOnceTheFadeOutHasEnded) {
  Run("PlaySoundData(a, -1) FadeOutSoundData(a, 400)");
  EXPECT_LT(Timed("PlaySoundData(b, -1)"), kNoWaitMs);
  EXPECT_EQ(Track().Pending(), M("b"));
  EXPECT_EQ(Track().Current(), M("a"));
  EXPECT_EQ(Mix_FadingMusic(), MIX_FADING_OUT);
  EXPECT_TRUE(WaitUntil([&] { return Track().Current() == M("b"); }));
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  EXPECT_EQ(Track().Pending(), nullptr);

  // A fade-in waits the same way and then fades in.
  Run("FadeOutSoundData(b, 300)");
  EXPECT_LT(Timed("FadeInSoundData(a, 500, -1)"), kNoWaitMs);
  EXPECT_TRUE(WaitUntil([&] { return Track().Current() == M("a"); }));
  EXPECT_EQ(Mix_FadingMusic(), MIX_FADING_IN);
}

TEST_F(MusicTrackTest, ALaterPlayReplacesThePendingStartAndStopCancelsIt) {
  Run("PlaySoundData(a, -1) FadeOutSoundData(a, 300) PlaySoundData(b, -1) PlaySoundData(c, -1)");
  EXPECT_EQ(Track().Pending(), M("c"));
  EXPECT_TRUE(WaitUntil([&] { return Track().Current() == M("c"); }));

  Run("FadeOutSoundData(c, 300) PlaySoundData(a, -1) StopSoundData(b)");
  EXPECT_EQ(Track().Pending(), nullptr);
  EXPECT_EQ(Mix_PlayingMusic(), 0);
  Pump(400);
  EXPECT_EQ(Mix_PlayingMusic(), 0);

  // A fade-out asks for silence, so it drops a pending start too.
  Run("PlaySoundData(a, -1) FadeOutSoundData(a, 300) PlaySoundData(b, -1) FadeOutSoundData(a, 300)");
  EXPECT_EQ(Track().Pending(), nullptr);
  EXPECT_TRUE(WaitUntil([] { return Mix_PlayingMusic() == 0; }));
}

TEST_F(MusicTrackTest, ReleasingThePendingMusicCancelsItsStart) {
  Run("PlaySoundData(a, -1) FadeOutSoundData(a, 300) PlaySoundData(b, -1) ReleaseSoundData(b)");
  EXPECT_EQ(Track().Pending(), nullptr);
  EXPECT_TRUE(WaitUntil([] { return Mix_PlayingMusic() == 0; }));
  Pump(100);
  EXPECT_EQ(Mix_PlayingMusic(), 0);
}

TEST_F(MusicTrackTest, ReleasingAMusicDuringItsFadeOutDoesNotWait) {
  Run("PlaySoundData(a, -1) FadeOutSoundData(a, 3000) PlaySoundData(b, -1)");
  EXPECT_LT(Timed("ReleaseSoundData(a)"), kNoWaitMs);
  // The fade-out is over (its music is gone), so the pending start begins.
  EXPECT_TRUE(WaitUntil([&] { return Track().Current() == M("b"); }, 1000));
}

TEST_F(MusicTrackTest, PauseDuringAFadeOutHoldsThePendingStart) {
  Run("PlaySoundData(a, -1) FadeOutSoundData(a, 300) PauseSoundData(a)");
  EXPECT_LT(Timed("PlaySoundData(b, -1)"), kNoWaitMs);
  Pump(600);  // the fade-out stands still while paused
  EXPECT_EQ(Track().Pending(), M("b"));
  EXPECT_EQ(Mix_PausedMusic(), 1);
  Run("ResumeSoundData(a)");
  EXPECT_TRUE(WaitUntil([&] { return Track().Current() == M("b"); }));
  EXPECT_EQ(Mix_PlayingMusic(), 1);
}

TEST_F(MusicTrackTest, ExitDuringAPausedFadeOutWithAPendingStartIsPrompt) {
  Run("PlaySoundData(a, -1) FadeOutSoundData(a, 1000) PauseSoundData(a) PlaySoundData(b, -1)");
  auto start = Clock::now();
  Registry().ReleaseAll();
  CloseAudio();
  EXPECT_LT(ElapsedMs(start), 1000);
}

}  // namespace
}  // namespace tessel::test
