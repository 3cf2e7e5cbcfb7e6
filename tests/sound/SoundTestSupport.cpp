#include "sound/SoundTestSupport.h"

#include <SDL.h>
#include <dirent.h>

extern "C" {
#include <lua.h>
}

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include "event/EventHandler.h"
#include "resource/ArchiveWriter.h"
#include "resource/BaseDirectory.h"
#include "script/ScriptHost.h"
#include "sound/Audio.h"

namespace tessel::test {
namespace {

constexpr int kRate = 44100;
constexpr std::uintmax_t kFrameBytes = 4;         // 16-bit stereo
constexpr std::uintmax_t kBufferBytes = 2048 * 4;  // one mixing buffer

}  // namespace

int OpenDescriptorCount() {
  int count = 0;
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return -1;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] != '.') ++count;
  }
  closedir(dir);
  return count - 1;  // the directory stream itself
}

void SoundTest::SetUp() {
  ScriptTest::SetUp();
  dir_.Write("tone.wav", WavFile(1.0));
  dir_.Write("short.wav", WavFile(0.1));
  dir_.Write("tone.ogg", OggFile(1.0));
  dir_.Write("tune.mod", ModFile());
  dir_.Write("junk.bin", std::string(4096, 'x'));
  std::vector<ArchiveSource> entries(2);
  entries[0].name = "se/hit.wav";
  entries[0].data = WavFile(1.0);
  entries[1].name = "bgm/theme.ogg";
  entries[1].data = OggFile(1.0);
  ASSERT_TRUE(WriteArchive((dir_.Path() / "sounds.dat").string(), entries));
  SetBaseDirectory(dir_.Path().string() + "/");
  setenv("SDL_AUDIODRIVER", Driver(), 1);
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
  if (OpensAudio()) {
    ASSERT_TRUE(OpenAudio()) << SDL_GetError();
  }
}

void SoundTest::TearDown() {
  ScriptTest::TearDown();  // releases every object, while audio is still open
  CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SetBaseDirectory("");
}

bool SoundTest::WaitUntil(const std::function<bool()>& done, int timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    DispatchEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

void SoundTest::Pump(int milliseconds) {
  WaitUntil([] { return false; }, milliseconds);
}

std::string SoundTest::RunCapturingLog(const std::string& code) {
  std::fflush(stdout);
  ::testing::internal::CaptureStdout();
  Run(code);
  std::fflush(stdout);
  return ::testing::internal::GetCapturedStdout();
}

void DiskAudioTest::SetUp() {
  output_ = dir_.Path() / "out.raw";
  setenv("SDL_DISKAUDIOFILE", output_.c_str(), 1);
  SoundTest::SetUp();
}

void DiskAudioTest::TearDown() {
  SoundTest::TearDown();
  unsetenv("SDL_DISKAUDIOFILE");
}

std::uintmax_t DiskAudioTest::Written() const {
  std::error_code error;
  std::uintmax_t size = std::filesystem::file_size(output_, error);
  return error ? 0 : size;
}

int DiskAudioTest::PeakFromNow(int milliseconds) {
  // The buffer being written now (and one the device may hold) was mixed
  // before the caller's last command.
  const std::uintmax_t from = Written() / kBufferBytes * kBufferBytes + 3 * kBufferBytes;
  const std::uintmax_t length = kFrameBytes * kRate * static_cast<std::uintmax_t>(milliseconds) / 1000;
  if (!WaitUntil([&] { return Written() >= from + length; }, 3000 + milliseconds)) return -1;
  std::ifstream in(output_, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(from));
  std::vector<char> bytes(length);
  in.read(bytes.data(), static_cast<std::streamsize>(length));
  int peak = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto sample = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8));
    peak = std::max(peak, std::abs(static_cast<int>(sample)));
  }
  return peak;
}

}  // namespace tessel::test
