#pragma once

// The archive lookup done the slow way, straight from the file format: walk
// the directory from record 1, read each entry's header, compare names. The
// engine answers from an index built at open; tests and the fuzz target check
// that both always agree. Entries the engine skips as malformed are skipped
// here too, by the same rules, written independently.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace tessel::test {

struct ReferenceHit {
  std::uint64_t start = 0;
  std::uint32_t length = 0;
};

inline std::uint32_t ReferenceRead(const std::string& file, std::uint64_t offset, int bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) {
    value |= std::uint32_t(static_cast<unsigned char>(file[offset + i])) << (8 * i);
  }
  return value;
}

// nullopt when the archive would be refused or the name is not in it.
inline std::optional<ReferenceHit> ReferenceFind(const std::string& file, std::string_view name) {
  const std::uint64_t size = file.size();
  if (size < 256) return std::nullopt;
  const std::uint64_t a = ReferenceRead(file, 0, 3);
  const std::uint64_t t = ReferenceRead(file, 3, 3);
  if (a == 0 || t < a || t * 256 > size) return std::nullopt;
  const std::uint64_t records = (t - a) * 256 / 3;
  const std::uint64_t elements = a * 256 / 3;
  for (std::uint64_t i = 1; i <= records; ++i) {
    const std::uint64_t record = a * 256 + 3 * (i - 1);
    const std::uint32_t flag = ReferenceRead(file, record, 1);
    const std::uint32_t slot = ReferenceRead(file, record + 1, 2);
    if (flag == 0 || slot == 0) break;
    if (slot >= elements) continue;
    const std::uint64_t at = std::uint64_t(ReferenceRead(file, 3 * std::uint64_t(slot), 3)) * 256;
    if (at + 16 > size) continue;
    const std::uint64_t h = ReferenceRead(file, at, 4);
    const std::uint64_t n = ReferenceRead(file, at + 4, 4);
    if (h < 16 || h > 256 || at + h > size) continue;
    const char* field = file.data() + at + 16;
    const void* zero = std::memchr(field, 0, h - 16);
    if (zero == nullptr) continue;
    if (at + h + n > size || n > 0x7FFFFFFF) continue;
    if (std::string_view(field, static_cast<const char*>(zero) - field) == name) {
      return ReferenceHit{at + h, static_cast<std::uint32_t>(n)};
    }
  }
  return std::nullopt;
}

}  // namespace tessel::test
