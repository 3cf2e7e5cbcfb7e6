#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/EngineObject.h"

struct SDL_RWops;

namespace tessel {

// One entry of an archive, as its directory record and header describe it.
struct ArchiveEntry {
  std::string name;          // the stored bytes up to the header's zero byte
  std::uint64_t start = 0;   // absolute offset of the data in the archive file
  std::uint32_t length = 0;  // N, the data length in bytes
};

// A file of named entries in 256-byte blocks (block-address table, directory,
// then each entry's header and raw data). Opening reads the tables and indexes
// every entry's name once, so a lookup costs one hash probe however large the
// archive is. Malformed headers refuse the archive; a malformed entry (slot
// outside the table, header length outside 16..256, name without its zero
// byte, data past the end of the file) is skipped. Nothing is ever read
// outside the buffers or the file.
// Owned by the EngineObjectRegistry when a script or the boot loaded it.
class Archive final : public EngineObject {
 public:
  // What a script's command calls it when a handle is not a live one.
  static constexpr const char* kHandleName = "archive";
  static constexpr const char* kSaveKind = "archive";
  static constexpr std::uint64_t kBlockSize = 256;
  static constexpr std::uint32_t kMinHeaderLength = 16;
  static constexpr std::uint32_t kMaxHeaderLength = 256;

  // Opens the file and reads its tables; test IsOpen afterwards.
  explicit Archive(std::string path);
  ~Archive() override;

  const char* SaveKind() const override { return kSaveKind; }
  // The path it was opened from (ResourceSaves.cpp).
  void SaveState(SaveWriter& out) const override;

  bool IsOpen() const { return open_; }
  const std::string& Path() const { return path_; }

  // The well-formed entries in directory order (duplicates included).
  const std::vector<ArchiveEntry>& Entries() const { return entries_; }
  // Directory records whose entry was malformed and left out.
  std::size_t SkippedEntries() const { return skipped_; }

  // The first entry of exactly that name in directory order, or nullptr.
  const ArchiveEntry* Find(std::string_view name) const;
  // An entry whose name equals `name` when ASCII letter case is ignored and
  // '\\' is read as '/', as the disk lookup matches names; of several, the
  // bytewise smallest name. nullptr when none does.
  const ArchiveEntry* FindFolded(std::string_view name) const;
  // A new stream on the entry's data (see ArchiveStream.h), or nullptr.
  SDL_RWops* OpenStream(std::string_view name) const;
  SDL_RWops* OpenStream(const ArchiveEntry& entry) const;

 private:
  bool Open();
  void IndexEntries(const std::vector<unsigned char>& table, const std::vector<unsigned char>& directory);
  bool ReadEntry(std::uint64_t block, ArchiveEntry& entry);

  std::array<unsigned char, kBlockSize> block_{};  // the header, then each entry's first block
  std::uint32_t table_blocks_ = 0;                 // A
  std::uint32_t directory_blocks_ = 0;             // T - A
  std::uint64_t record_capacity_ = 0;              // (T - A) * 256 / 3
  std::string path_;
  std::FILE* file_ = nullptr;  // kept open while the archive lives
  std::uint64_t file_size_ = 0;
  bool open_ = false;

  std::vector<ArchiveEntry> entries_;
  std::unordered_map<std::string_view, std::size_t> index_;  // name -> first entry; views into entries_
  std::unordered_map<std::string, std::size_t> folded_index_;  // folded name -> FindFolded's entry
  std::size_t skipped_ = 0;
};

// The mounted archives in mount order; references only, the registry owns them.
class ArchiveList {
 public:
  // Appends; a null archive is ignored.
  static void Mount(Archive* archive);
  // Takes out every occurrence.
  static void Unmount(const Archive* archive);
  static const std::vector<Archive*>& Mounted();

  // A stream on the first entry of that name: archives in mount order, then
  // directory order, names compared byte for byte. nullptr when none has it.
  static SDL_RWops* Find(std::string_view name);
  // The same with names folded (Archive::FindFolded): the first archive in
  // mount order with such an entry gives it.
  static SDL_RWops* FindFolded(std::string_view name);
};

// Opens base + name as an archive (with the Windows-name fallback of
// ResolveDiskPath), registers it in the EngineObjectRegistry and mounts it.
// An archive that does not open is destroyed at once: nullptr.
Archive* LoadArchive(std::string_view base, std::string_view name);

}  // namespace tessel
