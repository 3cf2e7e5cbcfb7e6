#include "resource/ResourceFile.h"

#include <SDL.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <limits>

#include "resource/Archive.h"
#include "resource/BaseDirectory.h"
#include "resource/DiskPath.h"

namespace tessel {
namespace {

SDL_RWops* OpenDiskFile(std::string_view name) {
  std::optional<std::string> path = ResolveDiskPath(BaseDirectory(), name);
  if (!path) {
    SDL_SetError("Couldn't open %s", (BaseDirectory() + std::string(name)).c_str());
    return nullptr;
  }
  std::FILE* file = std::fopen(path->c_str(), "rb");
  if (file == nullptr) {
    SDL_SetError("Couldn't open %s", path->c_str());
    return nullptr;
  }
  // Checked again on the open handle: the path may have changed since. Stream
  // positions are ints, so a larger file could not be read whole.
  struct stat info {};
  if (::fstat(::fileno(file), &info) != 0 || !S_ISREG(info.st_mode) ||
      info.st_size > std::numeric_limits<int>::max()) {
    std::fclose(file);
    SDL_SetError("Couldn't open %s", path->c_str());
    return nullptr;
  }
  SDL_RWops* stream = SDL_RWFromFP(file, 1);
  if (stream == nullptr) std::fclose(file);
  return stream;
}

}  // namespace

ResourceFile::ResourceFile(std::string_view name, bool owns_stream) : owns_stream_(owns_stream) {
  // A zero byte would cut the name short on disk but not in an archive: such
  // a name is found nowhere.
  if (name.find('\0') != std::string_view::npos) return;
  // An exact name wins wherever it is; only then do names match ignoring
  // case (and '\\' for '/'), in the archives first, as they do on disk, so a
  // packed game finds the same files as the loose one.
  stream_ = ArchiveList::Find(name);
  if (stream_ == nullptr && !IsRegularFile(BaseDirectory() + std::string(name))) {
    stream_ = ArchiveList::FindFolded(name);
  }
  if (stream_ == nullptr) stream_ = OpenDiskFile(name);
  if (stream_ != nullptr) SDL_RWseek(stream_, 0, RW_SEEK_SET);
}

ResourceFile::~ResourceFile() {
  if (stream_ != nullptr && owns_stream_) SDL_RWclose(stream_);
}

int ResourceFile::Read(void* buffer, int size, int count) {
  // The disk stream hands the counts to fread as size_t: a negative one would
  // become a huge read into a small buffer.
  if (stream_ == nullptr || buffer == nullptr || size <= 0 || count <= 0) return 0;
  return SDL_RWread(stream_, buffer, size, count);
}

int ResourceFile::Tell() { return stream_ != nullptr ? SDL_RWtell(stream_) : -1; }

int ResourceFile::Seek(int offset, int whence) {
  return stream_ != nullptr ? SDL_RWseek(stream_, offset, whence) : -1;
}

int ResourceFile::Write(const void* buffer, int size, int count) {
  if (stream_ == nullptr || buffer == nullptr || size <= 0 || count <= 0) return -1;
  return SDL_RWwrite(stream_, buffer, size, count);
}

void ResourceFile::Close() {
  if (stream_ != nullptr) SDL_RWclose(stream_);
  stream_ = nullptr;
}

std::int64_t ResourceFile::Size() {
  const int position = Tell();
  if (position < 0) return -1;
  const int start = Seek(0, RW_SEEK_SET);
  const int end = Seek(0, RW_SEEK_END);
  const int back = Seek(position, RW_SEEK_SET);
  if (start < 0 || end < 0 || back < 0) return -1;
  return std::int64_t(end) - start;
}

SDL_RWops* ResourceFile::TakeStream() {
  SDL_RWops* stream = stream_;
  stream_ = nullptr;
  return stream;
}

SDL_RWops* OpenResource(const std::string& name) {
  ResourceFile file(name, true);
  return file.TakeStream();
}

std::optional<std::string> ReadResource(const std::string& name) {
  ResourceFile file(name, true);
  if (!file.IsOpen()) return std::nullopt;
  const std::int64_t size = file.Size();
  if (size < 0) return std::nullopt;
  std::string text(static_cast<std::size_t>(size), '\0');
  std::size_t done = 0;
  while (done < text.size()) {
    const int chunk = static_cast<int>(
        std::min<std::size_t>(text.size() - done, std::numeric_limits<int>::max()));
    const int got = file.Read(text.data() + done, 1, chunk);
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  text.resize(done);  // a file that shrank meanwhile gives what was read
  return text;
}

}  // namespace tessel
