#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessel {

// What a save says about itself, readable before its body is used.
struct SaveSummary {
  std::string title;
  std::int64_t time = 0;  // seconds since the epoch
  std::string file;       // where the reader reads next
  int line = 0;           // 1-based
};

// A small RGB picture of the screen (3 bytes a pixel, top row first).
struct SaveThumbnail {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
  bool Empty() const { return width <= 0 || height <= 0; }
};

// One part of the state: the section's tag and its bytes.
struct SaveChunk {
  std::string tag;
  std::vector<std::uint8_t> bytes;
};

struct SaveFileContent {
  std::string game_id;
  std::string engine_version;
  SaveSummary summary;
  SaveThumbnail thumbnail;
  std::vector<SaveChunk> chunks;
};

constexpr std::uint32_t kSaveFormatVersion = 1;

// The whole file's bytes (header, summary, thumbnail, sections).
std::vector<std::uint8_t> EncodeSaveFile(const SaveFileContent& content);
// The header (magic, version, game id, engine version, checksum, length)
// followed by `payload`: what EncodeSaveFile writes around the summary,
// thumbnail and sections.
std::vector<std::uint8_t> FrameSavePayload(const std::string& game_id, const std::string& engine_version,
                                           const std::vector<std::uint8_t>& payload);
// Parses and verifies the bytes: magic, length, CRC, version, game id (when
// `expected_game_id` is not empty). On a refusal, nothing and `why` says so.
std::optional<SaveFileContent> DecodeSaveFile(const std::vector<std::uint8_t>& bytes,
                                              const std::string& expected_game_id,
                                              std::string& why);

// Replaces `path` with `bytes` atomically: a temporary file in the same
// folder, written, flushed to disk and renamed over the old one, then the
// folder flushed. Makes the folder when missing. On failure the old file is
// untouched, the temporary removed, and `why` says what went wrong.
bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         std::string& why);

// The whole file, or nothing (`why` set: missing, unreadable).
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::string& why);

// Test seams for the atomic write: a hook run after the temporary file is
// written and synced, before the rename (a test kills the process there), and
// a forced write failure as on a full disk.
void SetBeforeRenameHook(void (*hook)());
void SetFailWrites(bool fail);

}  // namespace tessel
