// Archive files come from games and downloads: any bytes must open safely, and
// the index must answer every name as the linear directory search would.
#include <SDL_rwops.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resource/Archive.h"
#include "resource/ReferenceLookup.h"  // tests/resource

namespace {

char g_scratch[] = "/tmp/fuzz-archive-XXXXXX";

// One scratch file per process, removed at exit.
std::string ScratchPath() {
  static const bool made = [] {
    int fd = ::mkstemp(g_scratch);
    if (fd < 0) std::abort();
    ::close(fd);
    std::atexit([] { ::unlink(g_scratch); });
    return true;
  }();
  (void)made;
  return g_scratch;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) std::abort();
  std::fclose(file);
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// Seeks and reads driven by the input's own bytes; every answer must stay
// inside the entry and match the file's bytes.
void ExerciseStream(const tessel::Archive& archive, const tessel::ArchiveEntry& entry,
                    const std::string& bytes) {
  SDL_RWops* stream = archive.OpenStream(entry);
  Check(stream != nullptr);
  const int length = static_cast<int>(entry.length);
  int position = 0;
  std::vector<char> buffer(static_cast<std::size_t>(length) + 8);
  for (std::size_t step = 0; step < 8; ++step) {
    const unsigned char control = static_cast<unsigned char>(bytes[(entry.start + step * 7) % bytes.size()]);
    const int offset = static_cast<int>(static_cast<signed char>(control)) * 3;
    const int whence = control % 3;
    const int result = SDL_RWseek(stream, offset, whence);
    Check(result >= 0 && result <= length);
    position = result;
    const int size = 1 + control % 5;
    const int count = static_cast<int>(buffer.size()) / size;
    const int got = SDL_RWread(stream, buffer.data(), size, count);
    Check(got >= 0 && position + got * size <= length);
    Check(std::memcmp(buffer.data(), bytes.data() + entry.start + position,
                      static_cast<std::size_t>(got) * size) == 0);
    position += got * size;
    Check(SDL_RWtell(stream) == position);
  }
  Check(SDL_RWwrite(stream, "x", 1, 1) == -1);
  SDL_RWclose(stream);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  WriteFile(ScratchPath(), bytes);
  tessel::Archive archive(ScratchPath());

  // Names to ask for: every stored one, and whatever string sits where an
  // entry header would keep its name, in every block of the file.
  std::vector<std::string> names = {"", "a", "main.tsl"};
  for (std::size_t block = 0; block * 256 + 16 < size && block < 64; ++block) {
    const char* field = bytes.data() + block * 256 + 16;
    std::size_t available = std::min<std::size_t>(240, size - block * 256 - 16);
    names.emplace_back(field, strnlen(field, available));
  }
  for (const tessel::ArchiveEntry& entry : archive.Entries()) names.push_back(entry.name);

  for (const std::string& name : names) {
    const tessel::ArchiveEntry* found = archive.Find(name);
    const auto expected = tessel::test::ReferenceFind(bytes, name);
    Check((found != nullptr) == expected.has_value());
    if (found == nullptr) continue;
    Check(found->name == name);
    Check(found->start == expected->start && found->length == expected->length);
  }
  std::size_t streams = 0;
  for (const tessel::ArchiveEntry& entry : archive.Entries()) {
    if (++streams > 16) break;
    ExerciseStream(archive, entry, bytes);
  }
  return 0;
}
