#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "resource/ArchiveWriter.h"

namespace tessel::test {

using EntryList = std::vector<std::pair<std::string, std::string>>;

inline std::vector<ArchiveSource> Sources(const EntryList& entries) {
  std::vector<ArchiveSource> sources;
  for (const auto& [name, data] : entries) {
    ArchiveSource source;
    source.name = name;
    source.data = data;
    sources.push_back(std::move(source));
  }
  return sources;
}

// The bytes of an archive holding these entries in this order.
inline std::string ArchiveBytes(const EntryList& entries) {
  std::string bytes;
  std::string error;
  EXPECT_TRUE(BuildArchive(Sources(entries), bytes, error)) << error;
  return bytes;
}

// Little-endian patch of `bytes` bytes at `offset`, for malformed archives.
inline void Patch(std::string& archive, std::size_t offset, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) archive[offset + i] = static_cast<char>(value >> (8 * i));
}

// Everything left in a stream.
inline std::string ReadRest(SDL_RWops* stream) {
  std::string text;
  char buffer[300];
  while (int got = SDL_RWread(stream, buffer, 1, sizeof buffer)) {
    if (got < 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return text;
}

}  // namespace tessel::test
