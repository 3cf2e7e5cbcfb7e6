// UTF-8 from scripts and files, UTF-16 from scenario text: the count must be
// the decoded length (a caller sizes its buffer by it), and whatever is
// encoded must be well-formed UTF-8 of the announced length.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/Encoding.h"

namespace {
void Check(bool condition) {
  if (!condition) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const std::u16string decoded = tessel::DecodeUtf8(bytes);
  Check(tessel::CountUtf8Characters(bytes) == decoded.size());
  Check(decoded.size() <= bytes.size());
  const std::string encoded = tessel::EncodeUtf8(decoded);
  Check(tessel::IsValidUtf8(encoded));
  Check(encoded.size() == tessel::Utf8Length(decoded));

  // Well-formed text below U+10000 comes back unchanged, up to its first zero.
  const std::string_view text = bytes.substr(0, bytes.find('\0'));
  bool plane_zero = true;
  for (char c : text) plane_zero = plane_zero && static_cast<unsigned char>(c) < 0xF0;
  if (plane_zero && tessel::IsValidUtf8(text)) Check(encoded == text);

  // The same bytes as UTF-16 units, lone surrogates and all.
  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  }
  const std::string from_units = tessel::EncodeUtf8(units);
  Check(tessel::IsValidUtf8(from_units));
  Check(from_units.size() == tessel::Utf8Length(units));
  const std::string sjis = tessel::ToShiftJis(units);
  Check(sjis.size() <= 2 * units.size());
  return 0;
}
