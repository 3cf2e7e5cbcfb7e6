#include "text/Encoding.h"

#include <cstdint>

#include "text/JisTables.h"

namespace tessel {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The text up to its first zero byte or unit: what a C string would hold.
template <class CharT>
std::basic_string_view<CharT> UpToTerminator(std::basic_string_view<CharT> text) {
  std::size_t end = text.find(CharT(0));
  return end == text.npos ? text : text.substr(0, end);
}

struct Utf8Sequence {
  char16_t unit;
  std::size_t length;  // bytes consumed, never past the end of the text
};

// The one rule shared by counting and decoding, so a count taken first is
// always the exact length of the decoded text.
Utf8Sequence ReadSequence(std::string_view text, std::size_t offset) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[offset + i]); };
  const std::size_t left = text.size() - offset;
  const std::uint8_t lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 3;
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  }
  // A lead byte near the end has no room for its trail bytes: stop at the end
  // rather than read the terminator (and what follows it) as a character.
  if (left < length) return {kReplacement, left};
  switch (length) {
    case 2:
      return {static_cast<char16_t>((lead & 0x1F) << 6 | (byte(1) & 0x3F)), 2};
    case 4:
      // Outside the Basic Multilingual Plane (emoji and the like): one
      // replacement character, not four unrelated units.
      return {kReplacement, 4};
    default:
      return {static_cast<char16_t>((lead & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F)),
              3};
  }
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::size_t CountUtf8Characters(std::string_view utf8) {
  utf8 = UpToTerminator(utf8);
  std::size_t count = 0;
  for (std::size_t offset = 0; offset < utf8.size(); offset += ReadSequence(utf8, offset).length) {
    ++count;
  }
  return count;
}

std::u16string DecodeUtf8(std::string_view utf8) {
  utf8 = UpToTerminator(utf8);
  std::u16string result;
  result.reserve(utf8.size());
  for (std::size_t offset = 0; offset < utf8.size();) {
    Utf8Sequence sequence = ReadSequence(utf8, offset);
    result.push_back(sequence.unit);
    offset += sequence.length;
  }
  return result;
}

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::uint8_t lead = static_cast<std::uint8_t>(bytes[i]);
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;  // range of the first trail byte
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;   // overlong
      if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;   // overlong
      if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
      return false;
    }
    if (bytes.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const std::uint8_t trail = static_cast<std::uint8_t>(bytes[i + k]);
      if (trail < (k == 1 ? low : 0x80) || trail > (k == 1 ? high : 0xBF)) return false;
    }
    i += length;
  }
  return true;
}

std::size_t Utf8Length(std::u16string_view utf16) {
  utf16 = UpToTerminator(utf16);
  std::size_t length = 0;
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t unit = utf16[i];
    if (unit < 0x80) {
      length += 1;
    } else if (unit < 0x800) {
      length += 2;
    } else if (IsHighSurrogate(unit) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
      length += 4;
      ++i;
    } else {
      length += 3;  // a lone surrogate is written as U+FFFD, also three bytes
    }
  }
  return length;
}

std::string EncodeUtf8(std::u16string_view utf16) {
  utf16 = UpToTerminator(utf16);
  std::string result;
  result.reserve(Utf8Length(utf16));
  const auto put = [&](unsigned value) { result.push_back(static_cast<char>(value)); };
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t code = utf16[i];
    if (IsHighSurrogate(utf16[i]) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
      code = 0x10000 + ((code - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(utf16[i]) || IsLowSurrogate(utf16[i])) {
      code = kReplacement;
    }
    if (code < 0x80) {
      put(code);
    } else if (code < 0x800) {
      put(0xC0 | code >> 6);
      put(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      put(0xE0 | code >> 12);
      put(0x80 | (code >> 6 & 0x3F));
      put(0x80 | (code & 0x3F));
    } else {
      put(0xF0 | code >> 18);
      put(0x80 | (code >> 12 & 0x3F));
      put(0x80 | (code >> 6 & 0x3F));
      put(0x80 | (code & 0x3F));
    }
  }
  return result;
}

std::string ToShiftJis(std::u16string_view utf16) {
  utf16 = UpToTerminator(utf16);
  std::string result;
  result.reserve(utf16.size() * 2);
  for (char16_t unit : utf16) {
    if (unit < 0x100) {
      // JIS X 0201 Roman: ASCII except that 0x5C is the yen sign and 0x7E an
      // overline, so the backslash and the tilde have no code.
      if ((unit >= 0x20 && unit <= 0x5B) || (unit >= 0x5D && unit <= 0x7D)) {
        result.push_back(static_cast<char>(unit));
      } else if (unit == 0xA5) {
        result.push_back(0x5C);
      }
      continue;
    }
    const std::uint16_t jis = JisX0208FromUnicode(unit);
    if (jis == 0) continue;
    const unsigned j1 = jis >> 8;
    const unsigned j2 = jis & 0xFF;
    const unsigned s1 = ((j1 - 1) >> 1) + (j1 < 0x5F ? 0x71 : 0xB1);
    unsigned s2;
    if (j1 & 1) {
      s2 = j2 + (j2 < 0x60 ? 0x1F : 0x20);
    } else {
      s2 = j2 + 0x7E;
    }
    result.push_back(static_cast<char>(s1));
    result.push_back(static_cast<char>(s2));
  }
  return result;
}

}  // namespace tessel
