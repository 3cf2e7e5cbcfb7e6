#include "pack/FileSource.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace tessel {

// Streams a file's bytes into the archive, checking that it keeps its size.
ArchiveSource FileSource(std::string name, const std::filesystem::path& file, std::uint64_t size) {
  ArchiveSource source;
  source.name = std::move(name);
  source.size = size;
  source.produce = [file](const ArchiveSource::Emit& emit, std::string& error) {
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (in == nullptr) {
      error = file.string() + ": cannot read: " + std::strerror(errno);
      return false;
    }
    std::vector<char> buffer(1 << 16);
    bool ok = true;
    while (std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in)) {
      if (!emit(buffer.data(), got)) {
        ok = false;
        break;
      }
    }
    if (ok && std::ferror(in)) {
      error = file.string() + ": cannot read: " + std::strerror(errno);
      ok = false;
    }
    std::fclose(in);
    return ok;
  };
  return source;
}

}  // namespace tessel
