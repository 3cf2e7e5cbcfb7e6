#pragma once

#include <SDL_mixer.h>

#include <map>
#include <memory>
#include <string>

#include "script/EngineObject.h"

struct SDL_RWops;

namespace tessel {

// A sound a script holds: a chunk (decoded whole, played on a mixer channel)
// or a music (streamed on the single music track). Both answer the same
// operations. An object whose file was missing or undecodable holds no sound,
// and then every operation does nothing.
class SoundData : public EngineObject {
 public:
  // What a script's command calls it when a handle is not a live one.
  static constexpr const char* kHandleName = "sound";

  SoundData();
  ~SoundData() override;

  virtual void Play(int loops) = 0;
  virtual void Pause() = 0;
  virtual void Stop() = 0;
  // A fade of 0 ms or less is a plain play.
  virtual void FadeIn(int milliseconds, int loops) = 0;
  // A fade of 0 ms or less is a stop.
  virtual void FadeOut(int milliseconds) = 0;
  virtual void Resume() = 0;
  // 0..128 (more is 128); a negative volume changes nothing.
  virtual void SetVolume(int volume) = 0;

  virtual bool HasSound() const = 0;
  // Frees what the mixer holds for this object (audio is closing); the
  // object stays, without sound.
  virtual void Unload() = 0;

  // The file it was decoded from, so a loaded game decodes it again.
  const std::string& FileName() const { return file_name_; }
  void SetFileName(std::string name) { file_name_ = std::move(name); }

 private:
  std::string file_name_;
};

// A sound effect. Control is by channel, not by chunk: pause, stop, resume and
// fade-out act on whatever plays on the channel, and channel -1 means the
// first free channel when starting and every channel otherwise.
class ChunkData final : public SoundData {
 public:
  static constexpr const char* kHandleName = "sound chunk";

  explicit ChunkData(Mix_Chunk* chunk) : chunk_(chunk) {}
  // Freeing the chunk silences every channel that plays it, and only those.
  ~ChunkData() override;

  void Play(int loops) override;
  void Pause() override;
  void Stop() override;
  void FadeIn(int milliseconds, int loops) override;
  void FadeOut(int milliseconds) override;
  void Resume() override;
  void SetVolume(int volume) override;
  bool HasSound() const override { return chunk_ != nullptr; }
  void Unload() override;

  // Any value is kept; one outside the allocated channels is refused when used.
  void SetChannel(int channel) { channel_ = channel; }
  int Channel() const { return channel_; }
  Mix_Chunk* Chunk() const { return chunk_; }

  static constexpr const char* kSaveKind = "sound chunk";
  const char* SaveKind() const override { return kSaveKind; }
  // File, channel, volume and the channels it plays on (SoundSaves.cpp).
  void SaveState(SaveWriter& out) const override;
  // A loaded game's sound, started again on that channel (from its start:
  // the mixer cannot seek in a chunk), paused if it was.
  void Restart(int channel, int loops, bool paused);

 private:
  // Whether this object may make a call on its channel now (logs why not).
  bool ChannelUsable() const;
  void NoteStarted(int channel, int loops);

  Mix_Chunk* chunk_;
  int channel_ = 0;
  std::map<int, int> loops_;  // the loop count of the last start on each channel
};

// A piece of music. Play and fade-in use this object's music; the other
// operations act on the music track, whichever object started what plays.
class MusicData final : public SoundData {
 public:
  // Owns both: the mixer reads the stream while the music plays.
  MusicData(Mix_Music* music, SDL_RWops* stream) : music_(music), stream_(stream) {}
  // Halts its own music if it is the current one, frees it, then closes its stream.
  ~MusicData() override;

  void Play(int loops) override;
  void Pause() override;
  void Stop() override;
  void FadeIn(int milliseconds, int loops) override;
  void FadeOut(int milliseconds) override;
  void Resume() override;
  void SetVolume(int volume) override;
  bool HasSound() const override { return music_ != nullptr; }
  void Unload() override;

  Mix_Music* Music() const { return music_; }

  static constexpr const char* kSaveKind = "music";
  const char* SaveKind() const override { return kSaveKind; }
  void SaveState(SaveWriter& out) const override;

 private:
  Mix_Music* music_;
  SDL_RWops* stream_;
};

// Decode a named resource (archives first, then the base directory). They
// always return an object; when the name is null, the file is missing, audio
// is closed or the data cannot be decoded, they print "Can't open music file :
// <name>" (and the reason for the last two) and the object holds no sound.
std::unique_ptr<ChunkData> LoadChunk(const char* name);
std::unique_ptr<MusicData> LoadMusic(const char* name);

// Unload() on every live sound object (before the mixer closes).
void UnloadAllSoundData();

}  // namespace tessel
