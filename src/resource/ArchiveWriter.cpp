#include "resource/ArchiveWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

namespace tessel {
namespace {

constexpr std::uint64_t kBlock = 256;
constexpr std::uint64_t kMaxBlock = 0xFFFFFF;  // block numbers are 3 bytes
constexpr std::uint64_t kHeaderFixed = 16;
constexpr std::size_t kFirstSlot = 2;          // elements 0 and 1 hold A and T
constexpr std::size_t kMaxSlot = 0xFFFF;       // directory slots are 2 bytes

std::uint64_t BlocksFor(std::uint64_t bytes) { return (bytes + kBlock - 1) / kBlock; }

void Put24(unsigned char* at, std::uint64_t value) {
  at[0] = static_cast<unsigned char>(value);
  at[1] = static_cast<unsigned char>(value >> 8);
  at[2] = static_cast<unsigned char>(value >> 16);
}

void Put32(unsigned char* at, std::uint64_t value) {
  Put24(at, value);
  at[3] = static_cast<unsigned char>(value >> 24);
}

bool CheckEntry(const ArchiveSource& entry, std::string& error) {
  if (entry.name.empty()) {
    error = "an entry has an empty name";
  } else if (entry.name.find('\0') != std::string::npos) {
    error = "entry name holds a zero byte: " + entry.name.substr(0, entry.name.find('\0'));
  } else if (entry.name.size() > kMaxArchiveNameLength) {
    error = "entry name longer than " + std::to_string(kMaxArchiveNameLength) + " bytes: " + entry.name;
  } else if (entry.Length() > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) {
    error = "entry larger than 2 GiB - 1 bytes: " + entry.name;
  } else {
    return true;
  }
  return false;
}

// The block table and the directory that lead the archive.
bool EmitTables(std::span<const ArchiveSource> entries, const ArchiveSource::Emit& emit,
                std::string& error) {
  const std::uint64_t count = entries.size();
  const std::uint64_t table_blocks = BlocksFor(3 * (count + kFirstSlot));  // A
  const std::uint64_t directory_blocks = BlocksFor(3 * (count + 1));       // room for the end record
  const std::uint64_t total_blocks = table_blocks + directory_blocks;      // T

  std::vector<unsigned char> tables(total_blocks * kBlock, 0);
  Put24(&tables[0], table_blocks);
  Put24(&tables[3], total_blocks);
  unsigned char* directory = &tables[table_blocks * kBlock];
  std::uint64_t block = total_blocks;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (block > kMaxBlock) {
      error = "archive larger than the format can address (4 GiB)";
      return false;
    }
    const std::size_t slot = kFirstSlot + i;
    Put24(&tables[slot * 3], block);
    directory[i * 3] = 1;  // in use
    directory[i * 3 + 1] = static_cast<unsigned char>(slot);
    directory[i * 3 + 2] = static_cast<unsigned char>(slot >> 8);
    block += BlocksFor(kHeaderFixed + entries[i].name.size() + 1 + entries[i].Length());
  }
  if (!emit(reinterpret_cast<const char*>(tables.data()), tables.size())) {
    error = "write failed";
    return false;
  }
  return true;
}

// One entry: its header, its data and the padding to the next block.
bool EmitEntry(const ArchiveSource& entry, const ArchiveSource::Emit& emit, std::string& error) {
  static const char kZeros[kBlock] = {};
  const std::uint64_t header_length = kHeaderFixed + entry.name.size() + 1;
  unsigned char header[kBlock] = {};
  Put32(&header[0], header_length);
  Put32(&header[4], entry.Length());
  std::memcpy(&header[kHeaderFixed], entry.name.data(), entry.name.size());
  if (!emit(reinterpret_cast<const char*>(header), header_length)) {
    error = "write failed";
    return false;
  }
  if (entry.produce) {
    std::uint64_t produced = 0;
    bool too_long = false;
    ArchiveSource::Emit counted = [&](const char* bytes, std::size_t size) {
      produced += size;
      if (produced > entry.size) {
        too_long = true;
        return false;
      }
      return emit(bytes, size);
    };
    if (!entry.produce(counted, error) || too_long || produced != entry.size) {
      if (too_long || error.empty()) error = "the data of " + entry.name + " changed size while packing";
      return false;
    }
  } else if (!emit(entry.data.data(), entry.data.size())) {
    error = "write failed";
    return false;
  }
  const std::uint64_t used = (header_length + entry.Length()) % kBlock;
  if (used != 0 && !emit(kZeros, kBlock - used)) {
    error = "write failed";
    return false;
  }
  return true;
}

bool Serialize(std::span<const ArchiveSource> entries, const ArchiveSource::Emit& emit, std::string& error) {
  if (entries.size() > kMaxSlot - kFirstSlot + 1) {
    error = "too many entries (at most " + std::to_string(kMaxSlot - kFirstSlot + 1) + ")";
    return false;
  }
  for (const ArchiveSource& entry : entries) {
    if (!CheckEntry(entry, error)) return false;
  }
  if (!EmitTables(entries, emit, error)) return false;
  for (const ArchiveSource& entry : entries) {
    if (!EmitEntry(entry, emit, error)) return false;
  }
  return true;
}

}  // namespace

bool BuildArchive(std::span<const ArchiveSource> entries, std::string& bytes, std::string& error) {
  bytes.clear();
  return Serialize(entries, [&](const char* data, std::size_t size) {
    bytes.append(data, size);
    return true;
  }, error);
}

bool WriteArchive(const std::string& path, std::span<const ArchiveSource> entries, std::string& error) {
  std::string temporary = path + ".XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    error = path + ": cannot create: " + std::strerror(errno);
    return false;
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  std::FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) {
    ::close(fd);
    ::unlink(temporary.c_str());
    error = path + ": cannot create: " + std::strerror(errno);
    return false;
  }
  int write_errno = 0;
  bool ok = Serialize(entries, [&](const char* data, std::size_t size) {
    if (std::fwrite(data, 1, size, file) == size) return true;
    write_errno = errno;
    return false;
  }, error);
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    write_errno = errno;
    error = "write failed";
  }
  if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
    ok = false;
    write_errno = errno;
    error = "cannot rename the temporary file into place";
  }
  if (!ok) {
    ::unlink(temporary.c_str());
    if (write_errno != 0) error += std::string(": ") + std::strerror(write_errno);
    error = path + ": " + error;
  }
  return ok;
}

bool WriteArchive(const std::string& path, std::span<const ArchiveSource> entries) {
  std::string error;
  return WriteArchive(path, entries, error);
}

}  // namespace tessel
