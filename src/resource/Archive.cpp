#include "resource/Archive.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

#include "resource/ArchiveStream.h"
#include "resource/DiskPath.h"

namespace tessel {
namespace {

std::uint32_t Read24(const unsigned char* bytes) {
  return std::uint32_t(bytes[0]) | (std::uint32_t(bytes[1]) << 8) | (std::uint32_t(bytes[2]) << 16);
}

std::uint32_t Read32(const unsigned char* bytes) {
  return Read24(bytes) | (std::uint32_t(bytes[3]) << 24);
}

bool ReadAt(std::FILE* file, std::uint64_t offset, void* buffer, std::size_t size) {
  if (::fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
  return std::fread(buffer, 1, size, file) == size;
}

std::vector<Archive*>& MountedArchives() {
  static auto& archives = *new std::vector<Archive*>;
  return archives;
}

}  // namespace

Archive::Archive(std::string path) : path_(std::move(path)) {
  open_ = Open();
  if (!open_ && file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

Archive::~Archive() {
  ArchiveList::Unmount(this);
  if (file_ != nullptr) std::fclose(file_);
}

bool Archive::Open() {
  file_ = std::fopen(path_.c_str(), "rb");
  if (file_ == nullptr) return false;
  struct stat info {};
  if (::fstat(::fileno(file_), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) return false;
  file_size_ = static_cast<std::uint64_t>(info.st_size);

  if (!ReadAt(file_, 0, block_.data(), block_.size())) return false;
  const std::uint32_t table_blocks = Read24(&block_[0]);  // A
  const std::uint32_t total_blocks = Read24(&block_[3]);  // T
  // The header lies inside the table, so A is at least 1; the directory
  // follows the table. Both must be in the file before anything is allocated.
  if (table_blocks == 0 || total_blocks < table_blocks) return false;
  if (std::uint64_t(total_blocks) * kBlockSize > file_size_) return false;
  table_blocks_ = table_blocks;
  directory_blocks_ = total_blocks - table_blocks;

  std::vector<unsigned char> table(table_blocks_ * kBlockSize);
  std::vector<unsigned char> directory(directory_blocks_ * kBlockSize);
  if (!ReadAt(file_, 0, table.data(), table.size())) return false;
  if (std::fread(directory.data(), 1, directory.size(), file_) != directory.size()) return false;
  record_capacity_ = directory.size() / 3;

  IndexEntries(table, directory);
  return true;
}

void Archive::IndexEntries(const std::vector<unsigned char>& table,
                           const std::vector<unsigned char>& directory) {
  const std::uint64_t table_elements = table.size() / 3;
  for (std::uint64_t record = 0; record < record_capacity_; ++record) {
    const unsigned char* bytes = &directory[record * 3];
    const unsigned flag = bytes[0];
    const unsigned slot = bytes[1] | (unsigned(bytes[2]) << 8);
    if (flag == 0 || slot == 0) break;  // either one ends the directory
    ArchiveEntry entry;
    if (slot >= table_elements || !ReadEntry(Read24(&table[std::size_t(slot) * 3]), entry)) {
      ++skipped_;
      continue;
    }
    entries_.push_back(std::move(entry));
  }
  // Keys view the names in entries_, which no longer moves. try_emplace keeps
  // the first occurrence, as a front-to-back search would find it.
  index_.reserve(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    index_.try_emplace(entries_[i].name, i);
    auto [it, fresh] = folded_index_.try_emplace(FoldedName(entries_[i].name), i);
    if (!fresh && entries_[i].name < entries_[it->second].name) it->second = i;
  }
}

bool Archive::ReadEntry(std::uint64_t block, ArchiveEntry& entry) {
  const std::uint64_t offset = block * kBlockSize;
  if (offset >= file_size_ || file_size_ - offset < kMinHeaderLength) return false;
  // The last entry's block may stop at the end of its data.
  const std::size_t available = static_cast<std::size_t>(std::min(kBlockSize, file_size_ - offset));
  if (!ReadAt(file_, offset, block_.data(), available)) return false;
  const std::uint32_t header_length = Read32(&block_[0]);  // H
  const std::uint32_t data_length = Read32(&block_[4]);    // N
  if (header_length < kMinHeaderLength || header_length > kMaxHeaderLength) return false;
  if (header_length > available) return false;
  const auto* name = reinterpret_cast<const char*>(&block_[kMinHeaderLength]);
  const std::size_t field = header_length - kMinHeaderLength;
  const void* zero = std::memchr(name, 0, field);
  if (zero == nullptr) return false;
  const std::uint64_t start = offset + header_length;
  if (data_length > file_size_ - start) return false;
  // Stream positions are ints; a longer entry could not be addressed.
  if (data_length > static_cast<std::uint32_t>(std::numeric_limits<int>::max())) return false;
  entry.name.assign(name, static_cast<const char*>(zero) - name);
  entry.start = start;
  entry.length = data_length;
  return true;
}

const ArchiveEntry* Archive::Find(std::string_view name) const {
  auto it = index_.find(name);
  return it == index_.end() ? nullptr : &entries_[it->second];
}

const ArchiveEntry* Archive::FindFolded(std::string_view name) const {
  auto it = folded_index_.find(FoldedName(name));
  return it == folded_index_.end() ? nullptr : &entries_[it->second];
}

SDL_RWops* Archive::OpenStream(std::string_view name) const {
  const ArchiveEntry* entry = Find(name);
  return entry != nullptr ? OpenStream(*entry) : nullptr;
}

SDL_RWops* Archive::OpenStream(const ArchiveEntry& entry) const {
  return OpenArchiveStream(path_, entry.start, entry.length);
}

void ArchiveList::Mount(Archive* archive) {
  if (archive != nullptr) MountedArchives().push_back(archive);
}

void ArchiveList::Unmount(const Archive* archive) {
  auto& archives = MountedArchives();
  archives.erase(std::remove(archives.begin(), archives.end(), archive), archives.end());
}

const std::vector<Archive*>& ArchiveList::Mounted() { return MountedArchives(); }

SDL_RWops* ArchiveList::Find(std::string_view name) {
  for (Archive* archive : MountedArchives()) {
    if (const ArchiveEntry* entry = archive->Find(name)) return archive->OpenStream(*entry);
  }
  return nullptr;
}

SDL_RWops* ArchiveList::FindFolded(std::string_view name) {
  for (Archive* archive : MountedArchives()) {
    if (const ArchiveEntry* entry = archive->FindFolded(name)) return archive->OpenStream(*entry);
  }
  return nullptr;
}

Archive* LoadArchive(std::string_view base, std::string_view name) {
  std::optional<std::string> path = ResolveDiskPath(base, name);
  if (!path) return nullptr;
  auto archive = std::make_unique<Archive>(*path);
  if (!archive->IsOpen()) return nullptr;  // destroyed here, never registered
  Archive* mounted = Registry().Add(std::move(archive));
  ArchiveList::Mount(mounted);
  return mounted;
}

}  // namespace tessel
