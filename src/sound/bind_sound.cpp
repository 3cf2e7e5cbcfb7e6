// Script commands of the sound family: chunks on mixer channels and music.
#include "core/DebugLog.h"
#include "script/CommandFamilies.h"
#include "script/HandleCommand.h"
#include "sound/Audio.h"
#include "sound/SoundData.h"

namespace tessel {
namespace {

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

class PlaySoundData final : public HandleCommand<SoundData> {
  int Run(SoundData& sound) override {
    sound.Play(ArgInt(2));
    return 0;
  }
};

class StopSoundData final : public HandleCommand<SoundData> {
  int Run(SoundData& sound) override {
    sound.Stop();
    return 0;
  }
};

class PauseSoundData final : public HandleCommand<SoundData> {
  int Run(SoundData& sound) override {
    sound.Pause();
    return 0;
  }
};

class ResumeSoundData final : public HandleCommand<SoundData> {
  int Run(SoundData& sound) override {
    sound.Resume();
    return 0;
  }
};

// Milliseconds come before the loop count.
class FadeInSoundData final : public HandleCommand<SoundData> {
  int Run(SoundData& sound) override {
    sound.FadeIn(ArgInt(2), ArgInt(3));
    return 0;
  }
};

class FadeOutSoundData final : public HandleCommand<SoundData> {
  int Run(SoundData& sound) override {
    sound.FadeOut(ArgInt(2));
    return 0;
  }
};

class SetSoundDataVolume final : public HandleCommand<SoundData> {
  int Run(SoundData& sound) override {
    sound.SetVolume(ArgInt(2));
    return 0;
  }
};

class SetChannelToChunkData final : public HandleCommand<ChunkData> {
  int Run(ChunkData& chunk) override {
    chunk.SetChannel(ArgInt(2));
    return 0;
  }
};

// Silences only this object's own sound (its chunk on whatever channels play
// it; the music track only if its music is the current one), then destroys it.
class ReleaseSoundData final : public HandleCommand<SoundData> {
  int Run(SoundData& sound) override {
    Registry().Release(&sound);
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
    {"CreateChunk", MakeCommand<CreateChunk>, 37},
    {"CreateMusic", MakeCommand<CreateMusic>, 38},
    {"PlaySoundData", MakeCommand<PlaySoundData>, 39},
    {"StopSoundData", MakeCommand<StopSoundData>, 40},
    {"PauseSoundData", MakeCommand<PauseSoundData>, 44},
    {"ResumeSoundData", MakeCommand<ResumeSoundData>, 45},
    {"FadeInSoundData", MakeCommand<FadeInSoundData>, 42},
    {"FadeOutSoundData", MakeCommand<FadeOutSoundData>, 43},
    {"SetSoundDataVolume", MakeCommand<SetSoundDataVolume>, 47},
    {"SetChannelToChunkData", MakeCommand<SetChannelToChunkData>, 41},
    {"AllocateChunkChannel", MakeCommand<AllocateChunkChannel>, 36},
    {"ReleaseSoundData", MakeCommand<ReleaseSoundData>, 46},
};

}  // namespace

std::span<const CommandEntry> SoundCommands() { return kCommands; }

}  // namespace tessel
