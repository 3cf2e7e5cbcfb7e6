#include "sound/SoundSaves.h"

#include "core/SaveSections.h"
#include "script/ObjectSaves.h"
#include "sound/Audio.h"
#include "sound/MusicTrack.h"
#include "sound/SoundData.h"

namespace tessel {
namespace {

constexpr std::size_t kMaxNameLength = 4096;

struct Playing {
  std::int32_t channel = 0;
  std::int32_t loops = 0;
  bool paused = false;
};

ObjectBuilder ReadChunk(SaveReader& in) {
  const std::string name = in.String(kMaxNameLength);
  const std::int32_t channel = in.I32();
  const std::int32_t volume = in.I32();
  std::vector<Playing> playing(in.Count(9));
  for (Playing& on : playing) {
    on.channel = in.I32();
    on.loops = in.I32();
    on.paused = in.Bool();
    if (in.Ok() && (on.channel < 0 || on.channel >= kMaxChunkChannels)) in.Fail("a channel is out of range");
  }
  if (!in.Ok()) return {};
  return [name, channel, volume, playing]() -> std::unique_ptr<EngineObject> {
    std::unique_ptr<ChunkData> chunk = LoadChunk(name.c_str());
    chunk->SetChannel(channel);
    chunk->SetVolume(volume);
    for (const Playing& on : playing) chunk->Restart(on.channel, on.loops, on.paused);
    return chunk;
  };
}

ObjectBuilder ReadMusic(SaveReader& in) {
  const std::string name = in.String(kMaxNameLength);
  const bool playing = in.Bool();
  const std::int32_t loops = in.I32();
  const std::uint32_t played_ms = in.U32();
  const bool paused = in.Bool();
  if (!in.Ok()) return {};
  return [=]() -> std::unique_ptr<EngineObject> {
    std::unique_ptr<MusicData> music = LoadMusic(name.c_str());
    if (playing) MusicTrack::Get().Restore(music->Music(), loops, played_ms, paused);
    return music;
  };
}

void WriteMixer(SaveWriter& out) {
  out.I32(ChunkChannelCount());
  out.I32(AudioIsOpen() ? Mix_VolumeMusic(-1) : MIX_MAX_VOLUME);
}

std::function<void()> ReadMixer(SaveReader& in) {
  const std::int32_t channels = in.I32();
  const std::int32_t volume = in.I32();
  if (in.Ok() && (channels < 0 || channels > kMaxChunkChannels)) in.Fail("the channel count is out of range");
  if (!in.Ok()) return {};
  return [channels, volume] {
    // A game saved without sound leaves this machine's channels as they are.
    if (channels > 0) AllocateChunkChannels(channels);
    MusicTrack::Get().SetVolume(volume);
  };
}

}  // namespace

void ChunkData::SaveState(SaveWriter& out) const {
  out.String(FileName());
  out.I32(channel_);
  out.I32(chunk_ != nullptr ? Mix_VolumeChunk(chunk_, -1) : -1);
  std::vector<Playing> playing;
  for (int channel = 0; chunk_ != nullptr && channel < ChunkChannelCount(); ++channel) {
    if (Mix_Playing(channel) == 0 || Mix_GetChunk(channel) != chunk_) continue;
    if (Mix_FadingChannel(channel) == MIX_FADING_OUT) continue;  // ending anyway
    auto loops = loops_.find(channel);
    playing.push_back({channel, loops != loops_.end() ? loops->second : 0, Mix_Paused(channel) != 0});
  }
  out.U32(static_cast<std::uint32_t>(playing.size()));
  for (const Playing& on : playing) {
    out.I32(on.channel);
    out.I32(on.loops);
    out.Bool(on.paused);
  }
}

void ChunkData::Restart(int channel, int loops, bool paused) {
  if (chunk_ == nullptr || !AudioIsOpen() || channel >= ChunkChannelCount()) return;
  NoteStarted(Mix_PlayChannelTimed(channel, chunk_, loops, -1), loops);
  if (paused) Mix_Pause(channel);
}

void MusicData::SaveState(SaveWriter& out) const {
  MusicTrack& track = MusicTrack::Get();
  const bool playing = music_ != nullptr && AudioIsOpen() && track.Current() == music_ &&
                       Mix_PlayingMusic() != 0 && Mix_FadingMusic() != MIX_FADING_OUT;
  out.String(FileName());
  out.Bool(playing);
  out.I32(playing ? track.Loops() : 0);
  out.U32(playing ? track.PlayedMs() : 0);
  out.Bool(playing && Mix_PausedMusic() != 0);
}

void RegisterSoundSaveSections() {
  RegisterSaveSection({"mixer", 390, WriteMixer, ReadMixer});
  RegisterObjectKind(ChunkData::kSaveKind, ReadChunk);
  RegisterObjectKind(MusicData::kSaveKind, ReadMusic);
  RegisterObjectSection("sounds", 400, {ChunkData::kSaveKind, MusicData::kSaveKind});
  // The replaced game falls silent before its sounds are freed.
  AddSaveResetStep("sound", [] {
    if (!AudioIsOpen()) return;
    MusicTrack::Get().Stop();
    Mix_HaltChannel(-1);
  });
}

}  // namespace tessel
