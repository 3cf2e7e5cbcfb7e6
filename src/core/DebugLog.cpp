#include "core/DebugLog.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace tessel {
namespace {

std::string FormatV(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  char small[512];
  int needed = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (needed < 0) return std::string();
  if (static_cast<size_t>(needed) < sizeof small) return std::string(small, needed);
  std::string text(static_cast<size_t>(needed) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, args);
  text.resize(static_cast<size_t>(needed));
  return text;
}

}  // namespace

void DebugLog::Write(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

void DebugLog::Banner(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string message = FormatV(format, args);
  va_end(args);
  Write(kSeparator);
  Write(message);
  Write(kSeparator);
}

void DebugLog::Print(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string message = FormatV(format, args);
  va_end(args);
  Write(message);
}

}  // namespace tessel
