#include "sound/Audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdlib>

#include "core/DebugLog.h"
#include "event/EventHandler.h"
#include "sound/MusicTrack.h"
#include "sound/SoundData.h"

namespace tessel {
namespace {

// Starts a music that waits for a fade-out once that fade-out has ended; the
// dispatch pass gives it idle time many times per frame.
class MusicTrackIdle final : public EventHandler {
 public:
  bool OnIdle() override {
    MusicTrack::Get().Update();
    return false;
  }
};

bool g_open = false;
int g_channels = 0;
// Created when audio opens and deleted when it closes (its destructor leaves
// the handler list), never at static destruction, when the list may be gone.
MusicTrackIdle* g_idle = nullptr;

// A script's os.exit (or any exit from inside the frame loop) skips the
// orderly shutdown: the audio thread must stop before the libraries it calls
// into are torn down.
void StopAudioThreadAtExit() {
  if (g_open) Mix_CloseAudio();
  g_open = false;
}

}  // namespace

bool OpenAudio() {
  if (g_open) return true;
  if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 2048) != 0) {
    DebugLog::Print("Unable to open audio!\n");
    return false;
  }
  g_open = true;
  static const bool stop_at_exit = std::atexit(StopAudioThreadAtExit) == 0;
  (void)stop_at_exit;
  g_channels = Mix_AllocateChannels(-1);  // a query: the mixer's default of 8
  if (g_idle == nullptr) g_idle = new MusicTrackIdle;
  EventHandlerList::Add(g_idle);
  return true;
}

void CloseAudio() {
  if (!g_open) return;
  // Objects normally die before this (ReleaseAll); any left must not reach
  // the mixer once it is closed.
  UnloadAllSoundData();
  MusicTrack::Get().Reset();
  Mix_CloseAudio();
  g_open = false;
  g_channels = 0;
  delete g_idle;
  g_idle = nullptr;
}

bool AudioIsOpen() { return g_open; }

int ChunkChannelCount() { return g_open ? g_channels : 0; }

void AllocateChunkChannels(int count) {
  if (!g_open || count < 0) return;
  count = std::min(count, kMaxChunkChannels);
  g_channels = Mix_AllocateChannels(count);
}

bool IsUsableChannel(int channel) {
  return g_open && (channel == -1 || (channel >= 0 && channel < g_channels));
}

}  // namespace tessel
