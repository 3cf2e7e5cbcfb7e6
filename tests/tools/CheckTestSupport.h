#pragma once

#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace tessel::test {

// Runs tessel-check on games written into a temporary folder, as "game" from
// that folder, so findings read "game/main.tsl:3: error: ...".
class CheckTest : public ::testing::Test {
 protected:
  ProcessResult Check(const TestGame& game, std::vector<std::string> options = {});
  ProcessResult CheckPacked(const TestGame& game, std::vector<std::string> options = {});
  // The tool with these arguments, run in the temporary folder.
  ProcessResult RunCheck(std::vector<std::string> arguments);
  const std::filesystem::path& Dir() const { return dir_.Path(); }

  TempDir dir_;
};

// The finding lines of the output: everything but the summary line.
std::vector<std::string> Findings(const std::string& out);
// The last line: "N errors, M warnings".
std::string Summary(const std::string& out);

// A finding that starts with `where` ("game/main.tsl:3: error:") and says `what`.
inline ::testing::Matcher<std::string> Finding(const std::string& where, const std::string& what) {
  return ::testing::AllOf(::testing::StartsWith(where + " "), ::testing::HasSubstr(what));
}

// A UTF-8 file with its byte-order mark, as UTF-8 editors save scenario text.
std::string Utf8WithMark(const std::string& utf8);

}  // namespace tessel::test
