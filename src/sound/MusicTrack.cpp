#include "sound/MusicTrack.h"

#include <algorithm>

#include "core/Clock.h"
#include "sound/Audio.h"

namespace tessel {
namespace {

// The mixer fades music in steps of one mixing buffer (about 46 ms here). A
// fade-in shorter than one step has no step at all, and a fade-out started
// before the mixer has run once then divides by zero; two steps cover a device
// that doubled the buffer. Below this a fade-in is a plain play.
constexpr int kShortestMusicFadeMs = 100;

}  // namespace

MusicTrack& MusicTrack::Get() {
  static MusicTrack& track = *new MusicTrack;
  return track;
}

bool MusicTrack::FadeOutRunning() { return Mix_FadingMusic() == MIX_FADING_OUT; }

void MusicTrack::Begin(const Start& start) {
  int result = start.fade_ms > 0 ? Mix_FadeInMusic(start.music, start.loops, start.fade_ms)
                                 : Mix_PlayMusic(start.music, start.loops);
  if (result == 0) {
    current_ = start.music;
    loops_ = start.loops;
    started_ = Ticks();
  }
}

std::uint32_t MusicTrack::PlayedMs() const {
  const bool paused = AudioIsOpen() && Mix_PausedMusic() != 0;
  return (paused ? paused_since_ : Ticks()) - started_;
}

void MusicTrack::Restore(Mix_Music* music, int loops, std::uint32_t played_ms, bool paused) {
  if (!AudioIsOpen() || music == nullptr) return;
  Stop();
  Begin({music, loops, 0});
  if (current_ != music) return;
  if (played_ms > 0 && Mix_SetMusicPosition(played_ms / 1000.0) == 0) started_ -= played_ms;
  if (paused) Pause();
}

void MusicTrack::Request(const Start& start) {
  if (!AudioIsOpen() || start.music == nullptr) return;
  Update();
  // Only this thread starts fade-outs, so one that is not running now cannot
  // begin before the mixer call below, and that call does not wait.
  if (FadeOutRunning()) {
    pending_ = start;
    return;
  }
  Begin(start);
}

void MusicTrack::Play(Mix_Music* music, int loops) { Request({music, loops, 0}); }

void MusicTrack::FadeIn(Mix_Music* music, int milliseconds, int loops) {
  int fade = milliseconds < kShortestMusicFadeMs ? 0 : std::min(milliseconds, kLongestFadeMs);
  Request({music, loops, fade});
}

void MusicTrack::FadeOut(int milliseconds) {
  if (!AudioIsOpen()) return;
  if (milliseconds <= 0) {
    Stop();
    return;
  }
  Update();
  pending_ = {};
  Mix_FadeOutMusic(std::min(milliseconds, kLongestFadeMs));
}

void MusicTrack::Stop() {
  if (!AudioIsOpen()) return;
  pending_ = {};
  Mix_HaltMusic();
  current_ = nullptr;
}

void MusicTrack::Pause() {
  if (!AudioIsOpen()) return;
  Update();
  if (Mix_PausedMusic() == 0) paused_since_ = Ticks();
  Mix_PauseMusic();
}

void MusicTrack::Resume() {
  if (!AudioIsOpen()) return;
  Update();
  if (Mix_PausedMusic() != 0) started_ += Ticks() - paused_since_;
  Mix_ResumeMusic();
}

void MusicTrack::SetVolume(int volume) {
  if (!AudioIsOpen() || volume < 0) return;
  Update();
  Mix_VolumeMusic(std::min(volume, MIX_MAX_VOLUME));
}

void MusicTrack::Forget(Mix_Music* music) {
  if (music == nullptr) return;
  if (pending_.music == music) pending_ = {};
  if (current_ == music) {
    // Every start goes through this track, so the mixer plays either the
    // current music or nothing: halting cannot cut off another object's music.
    if (AudioIsOpen()) Mix_HaltMusic();
    current_ = nullptr;
  }
}

void MusicTrack::Update() {
  if (!AudioIsOpen() || pending_.music == nullptr || FadeOutRunning()) return;
  Start start = pending_;
  pending_ = {};
  Begin(start);
}

void MusicTrack::Reset() {
  current_ = nullptr;
  pending_ = {};
}

}  // namespace tessel
