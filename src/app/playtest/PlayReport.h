#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "core/PlayMonitor.h"

namespace tessel {

// One choice list met on a path, and what was taken there.
struct ChoiceRecord {
  std::string file;
  int line = 0;
  int count = 0;
  int taken = 0;  // 0-based
  std::string target;  // the file the taken choice names
  std::string Key() const { return file + ":" + std::to_string(line); }
};

struct ProblemRecord {
  ProblemKind kind = ProblemKind::kScriptError;
  std::string file;
  int line = 0;
  std::string message;
};

// What one path of an autoplay run found, as its process wrote it.
struct PathResult {
  int number = 0;
  std::vector<ChoiceRecord> choices;
  std::vector<std::string> scenarios_read;
  std::vector<std::string> scenarios_available;  // scenario files of the game
  std::vector<ProblemRecord> problems;
  std::string ending;  // how the path ended; empty when its process died
  int status = 0;      // the process's exit status (128 + signal when killed)
};

// The lines a path's process writes as it goes, one record a line, so a
// process that dies still leaves what it found so far.
std::string ChoiceLine(const ChoiceRecord& choice);
std::string ReadLine(const std::string& name);
std::string AvailableLine(const std::string& name);
std::string ProblemLine(const ProblemRecord& problem);
std::string EndingLine(const std::string& ending);
// Reads those lines back; unknown or broken lines are skipped.
PathResult ParsePathResult(const std::string& text);

// Splits "file:line: message" as Lua prefixes its errors; false when the
// text does not start that way.
bool SplitLuaPosition(const std::string& message, std::string& file, int& line);

// The alternatives still to explore after `path`, which was played with
// `prefix_length` choices given: each is a prefix of choice indices. The
// deepest list's alternatives come first (depth-first order). `explored`
// holds "key#index" of every choice taken or already scheduled; it is updated.
std::vector<std::vector<int>> NextPrefixes(const PathResult& path, std::size_t prefix_length,
                                           std::vector<std::string>& explored);

struct RunSummary {
  ChoosePolicy policy = ChoosePolicy::kFirst;
  std::uint32_t seed = 0;
  std::vector<PathResult> paths;
  bool timed_out = false;
  bool path_limit_reached = false;
  double seconds = 0;
};

// The report on standard output, and the exit status: 0 clean, 1 problems,
// 3 out of time.
std::string FormatReport(const RunSummary& summary, int& status);

}  // namespace tessel
