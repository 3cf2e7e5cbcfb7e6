#include "sound/Audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include "app/DebugLog.h"

namespace tessel {
namespace {
bool g_open = false;
}

bool OpenAudio() {
  if (g_open) return true;
  if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 2048) != 0) {
    DebugLog::Print("Unable to open audio!\n");
    return false;
  }
  g_open = true;
  return true;
}

void CloseAudio() {
  if (!g_open) return;
  Mix_CloseAudio();
  g_open = false;
}

bool AudioIsOpen() { return g_open; }

}  // namespace tessel
