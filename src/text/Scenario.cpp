#include "text/Scenario.h"

#include <utility>

#include "text/Encoding.h"

namespace tessel {

Scenario::Scenario(std::u16string text, bool has_byte_order_mark)
    : has_byte_order_mark(has_byte_order_mark), text(std::move(text)) {}

void Scenario::ResolveByteOrder() {
  if (!has_byte_order_mark) {
    byte_order = kAsStored;
    return;
  }
  const char16_t first = RawUnit(position);
  if (first == 0xFEFF || first == 0xFFFE) {
    byte_order = first;
    ++position;
    return;
  }
  const bool big_endian = (first & 0x00FF) == 0 && (first & 0xFF00) != 0;
  byte_order = big_endian ? 0xFFFE : kAsStored;
}

std::unique_ptr<Scenario> Scenario::FromFileBytes(std::string_view bytes) {
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  if (bytes.starts_with(kUtf8Mark)) {
    return std::make_unique<Scenario>(DecodeUtf8(bytes.substr(kUtf8Mark.size())), false);
  }
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const bool utf16_mark = bytes.size() >= 2 && ((byte(0) == 0xFF && byte(1) == 0xFE) ||
                                                (byte(0) == 0xFE && byte(1) == 0xFF));
  // UTF-16 text of any script has zero bytes (ASCII, line ends); UTF-8 has
  // none, so a clean UTF-8 file is not misread as byte-swapped UTF-16.
  if (!utf16_mark && bytes.find('\0') == bytes.npos && IsValidUtf8(bytes)) {
    return std::make_unique<Scenario>(DecodeUtf8(bytes), false);
  }
  std::u16string units(bytes.size() / 2, u'\0');  // an odd last byte is dropped
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(byte(2 * i) | byte(2 * i + 1) << 8);
  }
  return std::make_unique<Scenario>(std::move(units), true);
}

}  // namespace tessel
