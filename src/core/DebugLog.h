#pragma once

#include <string_view>

namespace tessel {

// The developer log: standard output, line-buffered, shared with Lua's print.
// Messages are formatted whole, however long.
class DebugLog {
 public:
  static constexpr std::string_view kSeparator =
      "=======================================================\n";

  // The message framed by separator lines of 55 '='.
  static void Banner(const char* format, ...) __attribute__((format(printf, 1, 2)));
  static void Print(const char* format, ...) __attribute__((format(printf, 1, 2)));
  // Writes text as it is (no format interpretation).
  static void Write(std::string_view text);
};

}  // namespace tessel
