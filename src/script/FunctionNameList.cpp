#include "script/FunctionNameList.h"

namespace tessel {
namespace {
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

FunctionNameList::FunctionNameList(std::string_view text) {
  // The list is a C string: it ends at its first NUL.
  text_ = std::string(text.substr(0, text.find('\0')));
}

bool FunctionNameList::Load() {
  std::string_view rest = text_;
  if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
  while (!rest.empty()) {
    size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    ParseLine(line);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return true;
}

void FunctionNameList::ParseLine(std::string_view line) {
  if (!line.empty() && line.front() == '#') return;
  size_t at = 0;
  auto skip_space = [&] {
    while (at < line.size() && IsSpace(line[at])) ++at;
  };
  auto read_word = [&] {
    size_t start = at;
    while (at < line.size() && !IsSpace(line[at])) ++at;
    return std::string(line.substr(start, at - start));
  };
  skip_space();
  std::string key = read_word();
  skip_space();
  std::string value = read_word();
  names_[key] = value;
}

std::string FunctionNameList::Lookup(const std::string& internal_name) const {
  auto it = names_.find(internal_name);
  return it == names_.end() ? std::string() : it->second;
}

}  // namespace tessel
