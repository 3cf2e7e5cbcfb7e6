#pragma once

#include <SDL_mixer.h>

#include <cstdint>

namespace tessel {

// The mixer's single music track, shared by every music object.
//
// The mixer blocks its caller while the track fades out (in 100 ms steps, and
// forever while the track is paused) when asked to free, play or fade in a
// music. The track therefore never makes those calls during a fade-out: a play
// or fade-in then becomes one pending start, which Update() makes once the
// fade-out has ended. No operation here waits.
class MusicTrack {
 public:
  static MusicTrack& Get();

  // Plays (or fades in) this music, or, during a fade-out, makes it the
  // pending start, replacing an earlier one. Loops go to the mixer unchanged.
  void Play(Mix_Music* music, int loops);
  // A fade shorter than the mixer's fade step is a plain play.
  void FadeIn(Mix_Music* music, int milliseconds, int loops);
  // Fades whatever plays; 0 or less is a stop. Drops a pending start: the
  // script's latest wish for the track is silence.
  void FadeOut(int milliseconds);
  // Halts whatever plays and cancels a pending start.
  void Stop();
  // Pausing also holds a pending start, since the fade-out stops with it.
  void Pause();
  void Resume();
  // 0..128 (more is 128); a negative volume changes nothing.
  void SetVolume(int volume);

  // Called before a music is freed: halts it if it is the current music (so
  // freeing it cannot wait for its fade-out) and drops a pending start of it.
  void Forget(Mix_Music* music);

  // Makes the pending start once no fade-out runs. Called from the idle pass
  // and before every other operation, so the order of requests is kept.
  void Update();

  // Audio closed: forget everything without calling the mixer.
  void Reset();

  // The music started last (by a play, a fade-in or a pending start) and not
  // stopped or forgotten since; it may have ended on its own.
  Mix_Music* Current() const { return current_; }
  Mix_Music* Pending() const { return pending_.music; }
  // The loop count of the current music's start, and milliseconds it has
  // played since (pauses left out), for a save.
  int Loops() const { return loops_; }
  std::uint32_t PlayedMs() const;
  // A loaded game's music: started with its loops and moved to `played_ms`
  // where the decoder can seek (from its start elsewhere), paused if it was.
  void Restore(Mix_Music* music, int loops, std::uint32_t played_ms, bool paused);

 private:
  struct Start {
    Mix_Music* music = nullptr;
    int loops = 0;
    int fade_ms = 0;  // 0: a plain play
  };

  static bool FadeOutRunning();
  void Begin(const Start& start);
  void Request(const Start& start);

  Mix_Music* current_ = nullptr;
  Start pending_;
  int loops_ = 0;
  std::uint32_t started_ = 0;       // Ticks() at the start, moved on by pauses
  std::uint32_t paused_since_ = 0;  // Ticks() at the pause, while paused
};

// Fade times are capped here: beyond it the mixer's integer volume ramps
// overflow (a fade of hours is no fade a game wants anyway).
constexpr int kLongestFadeMs = 60 * 60 * 1000;

}  // namespace tessel
