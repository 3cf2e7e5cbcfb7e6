#include "check/Encoding.h"

#include <cstdint>
#include <cstdio>

namespace tessel::check {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

// Counts line ends as the scenario reader does: LF, CR LF or a lone CR.
class LineCounter {
 public:
  void Feed(std::uint32_t unit, std::uint32_t next) {
    if (unit == '\n' || (unit == '\r' && next != '\n')) ++line_;
  }
  int Line() const { return line_; }

 private:
  int line_ = 1;
};

// The length of the well-formed UTF-8 sequence at `at`, or 0.
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at, std::uint32_t& code) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(at);
  std::size_t length = 0;
  std::uint32_t min = 0;
  if (lead < 0x80) {
    code = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (bytes.size() - at < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

// A UTF-8 text after its mark (or without one): the first byte that is not
// UTF-8, zero bytes, characters the engine cannot hold.
void CheckUtf8(std::string_view bytes, bool has_mark, std::vector<EncodingProblem>& out) {
  LineCounter lines;
  bool reported_wide = false;
  for (std::size_t at = 0; at < bytes.size();) {
    std::uint32_t code = 0;
    const std::size_t length = Utf8SequenceLength(bytes, at, code);
    if (length == 0) {
      out.push_back({Severity::kError, lines.Line(),
                     has_mark
                         ? "byte 0x" + Hex(static_cast<unsigned char>(bytes[at]), 2) +
                               " is not UTF-8, though the file starts with UTF-8's byte-order mark"
                         : "the file is neither UTF-16 nor UTF-8 (byte 0x" +
                               Hex(static_cast<unsigned char>(bytes[at]), 2) +
                               " is not UTF-8): save it as UTF-8 with a byte-order mark"});
      return;
    }
    if (code == 0) {
      out.push_back({Severity::kError, lines.Line(),
                     "a zero byte ends the text here: the engine reads nothing after it"});
      return;
    }
    if (code > 0xFFFF && !reported_wide) {
      reported_wide = true;
      out.push_back(
          {Severity::kWarning, lines.Line(),
           "character U+" + Hex(code, 4) + " is beyond U+FFFF: the engine reads it as U+FFFD"});
    }
    const std::uint32_t next =
        at + 1 < bytes.size() ? static_cast<unsigned char>(bytes[at + 1]) : 0;
    lines.Feed(code, next);
    at += length;
  }
}

// UTF-16 code units in the given byte order: unpaired surrogates, zero units.
void CheckUtf16(std::string_view bytes, std::size_t start, bool big_endian,
                std::vector<EncodingProblem>& out) {
  const auto unit = [&](std::size_t index) -> std::uint32_t {
    const auto b0 = static_cast<unsigned char>(bytes[start + 2 * index]);
    const auto b1 = static_cast<unsigned char>(bytes[start + 2 * index + 1]);
    return big_endian ? (b0 << 8 | b1) : (b1 << 8 | b0);
  };
  const std::size_t count = (bytes.size() - start) / 2;
  LineCounter lines;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t u = unit(i);
    const std::uint32_t next = i + 1 < count ? unit(i + 1) : 0;
    if (u == 0) {
      out.push_back({Severity::kError, lines.Line(),
                     "a zero character ends the text here: the engine reads nothing after it"});
      return;
    }
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (next >= 0xDC00 && next <= 0xDFFF) {
        ++i;
        continue;
      }
      out.push_back(
          {Severity::kError, lines.Line(),
           "unpaired surrogate U+" + Hex(u, 4) + " (a high surrogate without its low half)"});
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      out.push_back(
          {Severity::kError, lines.Line(),
           "unpaired surrogate U+" + Hex(u, 4) + " (a low surrogate without its high half)"});
    }
    lines.Feed(u, next);
  }
  if ((bytes.size() - start) % 2 != 0) {
    out.push_back({Severity::kWarning, lines.Line(),
                   "the file has an odd number of bytes: UTF-16 text drops its last byte"});
  }
}

}  // namespace

std::vector<EncodingProblem> CheckScenarioEncoding(std::string_view bytes) {
  std::vector<EncodingProblem> out;
  if (bytes.starts_with(kUtf8Mark)) {
    CheckUtf8(bytes.substr(kUtf8Mark.size()), true, out);
    return out;
  }
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
    CheckUtf16(bytes, 2, false, out);
    return out;
  }
  if (bytes.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF) {
    CheckUtf16(bytes, 2, true, out);
    return out;
  }
  if (bytes.find('\0') == std::string_view::npos) {
    // Read as UTF-8 when it is; anything else becomes UTF-16 garbage.
    const std::size_t before = out.size();
    CheckUtf8(bytes, false, out);
    if (out.size() == before || out[before].severity != Severity::kError) {
      out.insert(out.begin() + static_cast<std::ptrdiff_t>(before),
                 {Severity::kWarning, 1,
                  "no byte-order mark: the engine takes the file for UTF-8 since it reads as such; "
                  "save it as UTF-8 with a byte-order mark (or as UTF-16)"});
    }
    return out;
  }
  // UTF-16 without a mark: ASCII characters show which half of each unit is
  // zero, while the engine decides from the first character alone.
  std::size_t zero_high = 0;
  std::size_t zero_low = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    if (byte(i) != 0 && byte(i + 1) == 0) ++zero_high;
    if (byte(i) == 0 && byte(i + 1) != 0) ++zero_low;
  }
  const bool big_endian = zero_low > zero_high;
  const bool engine_big_endian = bytes.size() >= 2 && byte(0) == 0 && byte(1) != 0;
  if (big_endian != engine_big_endian) {
    out.push_back({Severity::kError, 1,
                   "UTF-16 without a byte-order mark, and its first character makes the engine "
                   "read it with its bytes swapped: save it with a byte-order mark"});
    return out;
  }
  out.push_back({Severity::kWarning, 1,
                 "UTF-16 without a byte-order mark: the engine guesses the byte order from the "
                 "first character; save it with a byte-order mark"});
  CheckUtf16(bytes, 0, big_endian, out);
  return out;
}

}  // namespace tessel::check
