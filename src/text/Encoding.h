#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessel {

// Conversions between the engine's three encodings: UTF-8 (script strings),
// UTF-16 code units (scenario text, rendering) and Shift-JIS (file names of
// call lines, the window caption on a Japanese system). Plain functions.
//
// Every input is read like a C string: it ends at the end of the view or at
// its first zero (byte or unit), whichever comes first. Nothing past that end
// is ever read.

// Number of UTF-16 units DecodeUtf8 yields for the text: one per character,
// counted by the same lead-byte rule, so the two always agree.
std::size_t CountUtf8Characters(std::string_view utf8);

// UTF-8 -> UTF-16 by the lead byte, without checking continuation bytes:
//   00..7F one byte; C0..DF two bytes; F0..F4 a four-byte sequence, which
//   becomes one U+FFFD (the text is Basic Multilingual Plane only); any other
//   lead byte three bytes. A sequence cut off by the end becomes one U+FFFD.
std::u16string DecodeUtf8(std::string_view utf8);

// Whether the text is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF, no cut-off sequence). Zero bytes count as text here.
bool IsValidUtf8(std::string_view bytes);

// Bytes EncodeUtf8 writes for the text, without a terminator.
std::size_t Utf8Length(std::u16string_view utf16);

// UTF-16 -> UTF-8. A surrogate pair becomes its four-byte sequence; a lone
// surrogate is written as U+FFFD (EF BF BD), so the result is always
// well-formed UTF-8 (the window system rejects anything else).
std::string EncodeUtf8(std::u16string_view utf16);

// UTF-16 -> Shift-JIS. Below 0x100 the JIS X 0201 rule applies (0x20..0x7D
// except the backslash map to themselves, U+00A5 to 0x5C, the rest is
// dropped); above, the JIS X 0208 table. Anything else, including units only
// JIS X 0212 has, is dropped: Shift-JIS cannot show them.
std::string ToShiftJis(std::u16string_view utf16);

}  // namespace tessel
