#pragma once

#include <SDL_mixer.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "script/EngineObject.h"
#include "sound/TestSounds.h"
#include "support/TestSupport.h"

namespace tessel::test {

// Entries of /proc/self/fd.
int OpenDescriptorCount();

// A script test with audio open (the dummy driver unless Driver() says
// otherwise) and a base directory holding tone.wav (1 s), short.wav (0.1 s),
// tone.ogg (1 s), tune.mod, junk.bin (not a sound) and sounds.dat, an archive
// holding se/hit.wav and bgm/theme.ogg (found nowhere else).
class SoundTest : public ScriptTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  virtual const char* Driver() const { return "dummy"; }
  virtual bool OpensAudio() const { return true; }

  // The live object of class T behind a script global, or nullptr.
  template <class T>
  T* Object(const std::string& global) {
    return GlobalObject<T>(global);
  }

  // Runs dispatch passes until `done` or the timeout; true if done.
  static bool WaitUntil(const std::function<bool()>& done, int timeout_ms = 3000);
  // Runs dispatch passes for a while.
  static void Pump(int milliseconds);
  // Runs Lua and captures what the developer log wrote meanwhile.
  std::string RunCapturingLog(const std::string& code);

  TempDir dir_;
};

// SoundTest on the disk driver: the mixer's output goes to a raw file (one
// 2048-frame buffer at a time, paced in real time) that the test reads.
class DiskAudioTest : public SoundTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  const char* Driver() const override { return "disk"; }
  // The loudest sample among `milliseconds` of output mixed after this call
  // (buffers already queued are skipped); -1 if the output stalls.
  int PeakFromNow(int milliseconds = 200);

 private:
  std::uintmax_t Written() const;
  std::filesystem::path output_;
};

}  // namespace tessel::test
