#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/LuaStringTracker.h"

namespace tessel {

// One scenario file being read: its UTF-16 text, the read position and what
// the last token was. Owned by the ScenarioReader's call stack once pushed.
class Scenario {
 public:
  // What the last token was; one token sets at most one bit (0 = a character).
  enum StatusBit : std::uint32_t {
    kPageEnd = 0x00000001,
    kParagraphEnd = 0x00000002,
    kLineEnd = 0x00000010,
    kLineBreaks = 0x00000020,
    kRuby = 0x00000040,
    kScriptBlock = 0x00000080,
    kChoices = 0x00000100,
    kCall = 0x00000200,
    kEnd = 0x80000000,
  };

  // Byte-order value meaning "units as stored"; anything else swaps bytes.
  static constexpr std::uint16_t kAsStored = 0xFEFF;

  // `text` holds code units as stored in the file (first byte low); the end of
  // the string acts as the terminating 0 unit. With has_byte_order_mark the
  // first push resolves the byte order from the first unit (see
  // ScenarioReader::Push); without it the units are taken as they are.
  Scenario(std::u16string text, bool has_byte_order_mark);
  virtual ~Scenario() = default;

  Scenario(const Scenario&) = delete;
  Scenario& operator=(const Scenario&) = delete;

  // A scenario from a file's raw bytes:
  // - starting with EF BB BF: UTF-8 after the mark;
  // - first unit FEFF or FFFE: UTF-16 with that mark;
  // - otherwise, no zero byte and valid UTF-8: UTF-8 (what UTF-8 editors save);
  // - otherwise UTF-16 without a mark, its byte order guessed on the first push.
  // An odd last byte of UTF-16 is dropped.
  static std::unique_ptr<Scenario> FromFileBytes(std::string_view bytes);

  // Sets the byte order when the scenario is first entered. Without a mark
  // flag: units as stored. With it: a first unit FEFF or FFFE is the mark and
  // is consumed; any other first unit is text (an empty file has none, and its
  // terminator must stay in place), and the order is guessed from which of its
  // bytes is zero, as in ASCII text.
  void ResolveByteOrder();

  // The unit at the read position, bytes exchanged unless the byte order is
  // kAsStored; 0 at (and past) the end of the text.
  char16_t Peek() const { return Unit(position); }
  // Peek, then advance. Advancing stops one past the end, so that the Unget
  // that follows every end seen puts the position back on the end.
  char16_t Next() {
    char16_t unit = Peek();
    if (position <= static_cast<std::int32_t>(text.size())) ++position;
    return unit;
  }
  void Unget() {
    if (position > 0) --position;
  }
  // The unit at index as stored, without byte-order handling; 0 outside.
  char16_t RawUnit(std::int32_t index) const {
    return index >= 0 && static_cast<std::size_t>(index) < text.size() ? text[index] : 0;
  }

  std::uint32_t status = 0;
  std::uint16_t byte_order = 0;
  bool has_byte_order_mark;
  std::int32_t position = 0;  // index of the next unit
  std::int32_t line = 0;      // line ends passed, 0-based line number
  std::u16string text;
  std::vector<std::u16string> choice_texts;    // pending choice list; always as
  std::vector<std::u16string> choice_targets;  // many targets as texts
  // Lines at which each pending choice's text and target begin (0-based), for
  // reports that point into the file.
  std::vector<std::int32_t> choice_text_lines;
  std::vector<std::int32_t> choice_target_lines;
  std::string name;  // file name, for traces and error reports
  bool pushed = false;
  std::u16string ruby_text;
  std::u16string script_text;
  std::string script_text_utf8;  // the script text as the script host runs it
  std::int32_t backslash_count = 0;
  std::u16string call_name;
  std::int32_t script_line = 0;  // line at which the last script block began
  ScriptBlockMarks script_marks;  // what the last script block's cutting may have broken
  std::int32_t token_line = 0;   // line at which the last token began

 private:
  char16_t Unit(std::int32_t index) const {
    char16_t unit = RawUnit(index);
    if (byte_order == kAsStored) return unit;
    return static_cast<char16_t>((unit >> 8) | (unit << 8));
  }
};

}  // namespace tessel
