// Script commands of the sound family: chunks on mixer channels and music.
#include "core/DebugLog.h"
#include "script/CommandFamilies.h"
#include "sound/Audio.h"
#include "sound/SoundData.h"

namespace tessel {
namespace {

constexpr const char* kSound = "sound";
constexpr const char* kChunk = "sound chunk";

// A missing or non-string file name is a missing file: the message, and an
// object without sound.
class CreateChunk final : public ScriptFunction {
  int Invoke() override {
    const char* name = IsStringTypeArg(1) ? ArgString(1) : nullptr;
    return PushObject(Registry().Add(LoadChunk(name)));
  }
};

class CreateMusic final : public ScriptFunction {
  int Invoke() override {
    const char* name = IsStringTypeArg(1) ? ArgString(1) : nullptr;
    return PushObject(Registry().Add(LoadMusic(name)));
  }
};

class PlaySoundData final : public ScriptFunction {
  int Invoke() override {
    auto* sound = ArgObject<SoundData>(1);
    if (sound == nullptr) return BadHandle(1, kSound, 0);
    sound->Play(ArgInt(2));
    return 0;
  }
};

class StopSoundData final : public ScriptFunction {
  int Invoke() override {
    auto* sound = ArgObject<SoundData>(1);
    if (sound == nullptr) return BadHandle(1, kSound, 0);
    sound->Stop();
    return 0;
  }
};

class PauseSoundData final : public ScriptFunction {
  int Invoke() override {
    auto* sound = ArgObject<SoundData>(1);
    if (sound == nullptr) return BadHandle(1, kSound, 0);
    sound->Pause();
    return 0;
  }
};

class ResumeSoundData final : public ScriptFunction {
  int Invoke() override {
    auto* sound = ArgObject<SoundData>(1);
    if (sound == nullptr) return BadHandle(1, kSound, 0);
    sound->Resume();
    return 0;
  }
};

// Milliseconds come before the loop count.
class FadeInSoundData final : public ScriptFunction {
  int Invoke() override {
    auto* sound = ArgObject<SoundData>(1);
    if (sound == nullptr) return BadHandle(1, kSound, 0);
    sound->FadeIn(ArgInt(2), ArgInt(3));
    return 0;
  }
};

class FadeOutSoundData final : public ScriptFunction {
  int Invoke() override {
    auto* sound = ArgObject<SoundData>(1);
    if (sound == nullptr) return BadHandle(1, kSound, 0);
    sound->FadeOut(ArgInt(2));
    return 0;
  }
};

class SetSoundDataVolume final : public ScriptFunction {
  int Invoke() override {
    auto* sound = ArgObject<SoundData>(1);
    if (sound == nullptr) return BadHandle(1, kSound, 0);
    sound->SetVolume(ArgInt(2));
    return 0;
  }
};

class SetChannelToChunkData final : public ScriptFunction {
  int Invoke() override {
    auto* chunk = ArgObject<ChunkData>(1);
    if (chunk == nullptr) return BadHandle(1, kChunk, 0);
    chunk->SetChannel(ArgInt(2));
    return 0;
  }
};

// Silences only this object's own sound (its chunk on whatever channels play
// it; the music track only if its music is the current one), then destroys it.
class ReleaseSoundData final : public ScriptFunction {
  int Invoke() override {
    auto* sound = ArgObject<SoundData>(1);
    if (sound == nullptr) return BadHandle(1, kSound, 0);
    Registry().Release(sound);
    return 0;
  }
};

// The new count is not returned.
class AllocateChunkChannel final : public ScriptFunction {
  int Invoke() override {
    int count = ArgInt(1);
    if (!AudioIsOpen()) return 0;
    if (count < 0) {
      DebugLog::Print("AllocateChunkChannel: a negative count (%d) changes nothing.\n", count);
      return 0;
    }
    if (count > kMaxChunkChannels) {
      DebugLog::Print("AllocateChunkChannel: %d channels are too many; allocating %d.\n", count,
                      kMaxChunkChannels);
    }
    AllocateChunkChannels(count);
    return 0;
  }
};

constexpr CommandEntry kCommands[] = {
    {"AllocateChunkChannel", MakeCommand<AllocateChunkChannel>},
    {"CreateChunk", MakeCommand<CreateChunk>},
    {"CreateMusic", MakeCommand<CreateMusic>},
    {"PlaySoundData", MakeCommand<PlaySoundData>},
    {"StopSoundData", MakeCommand<StopSoundData>},
    {"SetChannelToChunkData", MakeCommand<SetChannelToChunkData>},
    {"FadeInSoundData", MakeCommand<FadeInSoundData>},
    {"FadeOutSoundData", MakeCommand<FadeOutSoundData>},
    {"PauseSoundData", MakeCommand<PauseSoundData>},
    {"ResumeSoundData", MakeCommand<ResumeSoundData>},
    {"ReleaseSoundData", MakeCommand<ReleaseSoundData>},
    {"SetSoundDataVolume", MakeCommand<SetSoundDataVolume>},
};

}  // namespace

std::span<const CommandEntry> SoundCommands() { return kCommands; }

}  // namespace tessel
