#pragma once

#include <map>
#include <string>
#include <string_view>

namespace tessel {

// The function-name list (funcdef.tsl): one "InternalName ScriptName" pair per
// line, '#' in the first column starts a comment. Names are byte strings.
class FunctionNameList {
 public:
  explicit FunctionNameList(std::string_view text);

  // Parses the text; lines of any length, a last line without a line feed
  // counts like any other, a leading UTF-8 byte-order mark is skipped.
  bool Load();

  // The script name the list gives, or an empty string when it gives none.
  std::string Lookup(const std::string& internal_name) const;
  const std::map<std::string, std::string>& Names() const { return names_; }

 private:
  void ParseLine(std::string_view line);

  std::string text_;
  std::map<std::string, std::string> names_;
};

}  // namespace tessel
