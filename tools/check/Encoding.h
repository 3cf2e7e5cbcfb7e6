#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "check/Report.h"

namespace tessel::check {

struct EncodingProblem {
  Severity severity = Severity::kError;
  int line = 0;  // 1-based
  std::string message;
};

// How a scenario file's bytes will read: the engine takes UTF-16 with a
// byte-order mark and UTF-8 with one; it guesses at anything else.
std::vector<EncodingProblem> CheckScenarioEncoding(std::string_view bytes);

}  // namespace tessel::check
