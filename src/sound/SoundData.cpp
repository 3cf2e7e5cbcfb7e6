#include "sound/SoundData.h"

#include <SDL.h>

#include <algorithm>
#include <string>
#include <cstring>
#include <vector>

#include "core/DebugLog.h"
#include "core/PlayMonitor.h"
#include "resource/ResourceFile.h"
#include "sound/Audio.h"
#include "sound/MusicTrack.h"

namespace tessel {
namespace {

// Never destroyed, so objects that outlive static destruction can still leave it.
std::vector<SoundData*>& LiveSounds() {
  static auto* live = new std::vector<SoundData*>;
  return *live;
}

constexpr const char* kAudioClosed = "Audio device hasn't been opened";

void ReportNotLoaded(const char* name, const char* reason) {
  DebugLog::Print("Can't open music file : %s\n", name != nullptr ? name : "(no name)");
  if (reason != nullptr) DebugLog::Print("%s\n", reason);
  // A closed mixer is the machine's matter, not the game's.
  if (reason == nullptr) {
    NoteProblem(ProblemKind::kMissingFile,
                "sound '" + std::string(name != nullptr ? name : "(no name)") + "' does not exist");
  } else if (std::strcmp(reason, kAudioClosed) != 0) {
    NoteProblem(ProblemKind::kBadFile, "sound '" + std::string(name) + "': " + reason);
  }
}

int ClampFade(int milliseconds) { return std::min(milliseconds, kLongestFadeMs); }

}  // namespace

SoundData::SoundData() { LiveSounds().push_back(this); }

SoundData::~SoundData() {
  auto& live = LiveSounds();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

void UnloadAllSoundData() {
  // Unloading changes no list entries, so the walk is safe.
  for (SoundData* sound : LiveSounds()) sound->Unload();
}

// ---- ChunkData ----

ChunkData::~ChunkData() { Unload(); }

void ChunkData::Unload() {
  if (chunk_ == nullptr) return;
  Mix_FreeChunk(chunk_);
  chunk_ = nullptr;
}

bool ChunkData::ChannelUsable() const {
  if (chunk_ == nullptr || !AudioIsOpen()) return false;
  if (IsUsableChannel(channel_)) return true;
  DebugLog::Print("Sound channel %d is not allocated (there are %d); nothing done.\n", channel_,
                  ChunkChannelCount());
  return false;
}

void ChunkData::NoteStarted(int channel, int loops) {
  if (channel >= 0) loops_[channel] = loops;
}

void ChunkData::Play(int loops) {
  if (ChannelUsable()) NoteStarted(Mix_PlayChannelTimed(channel_, chunk_, loops, -1), loops);
}

void ChunkData::Pause() {
  if (ChannelUsable()) Mix_Pause(channel_);
}

void ChunkData::Stop() {
  if (ChannelUsable()) Mix_HaltChannel(channel_);
}

void ChunkData::FadeIn(int milliseconds, int loops) {
  if (milliseconds <= 0) {
    Play(loops);
    return;
  }
  if (ChannelUsable()) {
    NoteStarted(Mix_FadeInChannelTimed(channel_, chunk_, loops, ClampFade(milliseconds), -1), loops);
  }
}

void ChunkData::FadeOut(int milliseconds) {
  if (milliseconds <= 0) {
    Stop();
    return;
  }
  if (ChannelUsable()) Mix_FadeOutChannel(channel_, ClampFade(milliseconds));
}

void ChunkData::Resume() {
  if (ChannelUsable()) Mix_Resume(channel_);
}

void ChunkData::SetVolume(int volume) {
  if (chunk_ == nullptr || volume < 0) return;
  Mix_VolumeChunk(chunk_, std::min(volume, MIX_MAX_VOLUME));
}

// ---- MusicData ----

MusicData::~MusicData() {
  Unload();
  if (stream_ != nullptr) SDL_RWclose(stream_);
}

void MusicData::Unload() {
  if (music_ == nullptr) return;
  // Halting first keeps the free from waiting for a fade-out of this music.
  MusicTrack::Get().Forget(music_);
  Mix_FreeMusic(music_);
  music_ = nullptr;
}

void MusicData::Play(int loops) {
  if (music_ != nullptr) MusicTrack::Get().Play(music_, loops);
}

void MusicData::Pause() {
  if (music_ != nullptr) MusicTrack::Get().Pause();
}

void MusicData::Stop() {
  if (music_ != nullptr) MusicTrack::Get().Stop();
}

void MusicData::FadeIn(int milliseconds, int loops) {
  if (music_ == nullptr) return;
  if (milliseconds <= 0) {
    Play(loops);
    return;
  }
  MusicTrack::Get().FadeIn(music_, milliseconds, loops);
}

void MusicData::FadeOut(int milliseconds) {
  if (music_ != nullptr) MusicTrack::Get().FadeOut(milliseconds);
}

void MusicData::Resume() {
  if (music_ != nullptr) MusicTrack::Get().Resume();
}

void MusicData::SetVolume(int volume) {
  if (music_ != nullptr) MusicTrack::Get().SetVolume(volume);
}

// ---- loading ----

std::unique_ptr<ChunkData> LoadChunk(const char* name) {
  if (name == nullptr) {
    ReportNotLoaded(name, nullptr);
    return std::make_unique<ChunkData>(nullptr);
  }
  if (!AudioIsOpen()) {
    ReportNotLoaded(name, kAudioClosed);
    return std::make_unique<ChunkData>(nullptr);
  }
  SDL_RWops* stream = OpenResource(name);
  if (stream == nullptr) {
    ReportNotLoaded(name, nullptr);
    return std::make_unique<ChunkData>(nullptr);
  }
  // The chunk is decoded whole; the mixer closes the stream, also on failure.
  Mix_Chunk* chunk = Mix_LoadWAV_RW(stream, 1);
  if (chunk == nullptr) ReportNotLoaded(name, Mix_GetError());
  auto sound = std::make_unique<ChunkData>(chunk);
  sound->SetFileName(name);
  return sound;
}

std::unique_ptr<MusicData> LoadMusic(const char* name) {
  if (name == nullptr) {
    ReportNotLoaded(name, nullptr);
    return std::make_unique<MusicData>(nullptr, nullptr);
  }
  if (!AudioIsOpen()) {
    ReportNotLoaded(name, kAudioClosed);
    return std::make_unique<MusicData>(nullptr, nullptr);
  }
  SDL_RWops* stream = OpenResource(name);
  if (stream == nullptr) {
    ReportNotLoaded(name, nullptr);
    return std::make_unique<MusicData>(nullptr, nullptr);
  }
  // The mixer keeps reading the stream while the music plays and never
  // closes it, also not when loading fails.
  Mix_Music* music = Mix_LoadMUS_RW(stream);
  if (music == nullptr) {
    ReportNotLoaded(name, Mix_GetError());
    SDL_RWclose(stream);
    return std::make_unique<MusicData>(nullptr, nullptr);
  }
  auto sound = std::make_unique<MusicData>(music, stream);
  sound->SetFileName(name);
  return sound;
}

}  // namespace tessel
