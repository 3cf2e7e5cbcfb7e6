#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tessel {

// One entry to store: its name and its data, given whole or as a producer
// that hands out exactly `size` bytes through `emit`.
struct ArchiveSource {
  using Emit = std::function<bool(const char* bytes, std::size_t count)>;

  std::string name;
  std::string data;
  // When set, used instead of `data`; returns false (with `error` filled) on failure.
  std::function<bool(const Emit& emit, std::string& error)> produce;
  std::uint64_t size = 0;  // the producer's byte count

  std::uint64_t Length() const { return produce ? size : data.size(); }
};

// Longest name a header can hold: 256 - 16 header bytes, less the zero byte.
inline constexpr std::size_t kMaxArchiveNameLength = 239;

// Lays the entries out in the given order (duplicate names are stored as
// given; readers take the first). Each entry starts on a block of its own,
// behind the block-address table and the directory. False with a message in
// `error` when an entry cannot be stored (empty name, zero byte, name too
// long, data too large) or the archive outgrows the format.
bool BuildArchive(std::span<const ArchiveSource> entries, std::string& bytes, std::string& error);

// Writes the archive to `path` through a temporary file beside it, so a failed
// write leaves any earlier archive there untouched.
bool WriteArchive(const std::string& path, std::span<const ArchiveSource> entries, std::string& error);
bool WriteArchive(const std::string& path, std::span<const ArchiveSource> entries);

}  // namespace tessel
