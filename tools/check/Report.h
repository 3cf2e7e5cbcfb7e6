#pragma once

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace tessel::check {

enum class Severity { kWarning, kError };

// One finding, as a compiler reports it: "file:line: error: message".
struct Finding {
  Severity severity = Severity::kError;
  std::string file;  // as shown to the author
  int line = 0;      // 1-based; 0 when the finding is about the whole file
  std::string message;
};

// The findings of one run, printed grouped by file (in the order the files
// were first met) and by line within a file; each finding once.
class Report {
 public:
  void Error(const std::string& file, int line, std::string message);
  void Warning(const std::string& file, int line, std::string message);
  // Makes the file known, so that its findings come in the order it was read.
  void NoteFile(const std::string& file);

  // Prints every finding and the summary line; with `warnings_are_errors`
  // each warning is printed and counted as an error.
  void Print(std::FILE* out, bool warnings_are_errors) const;
  std::size_t Errors(bool warnings_are_errors) const;
  std::size_t Warnings(bool warnings_are_errors) const;

 private:
  void Add(Severity severity, const std::string& file, int line, std::string message);

  std::vector<Finding> findings_;
  std::set<std::tuple<Severity, std::string, int, std::string>> seen_;
  std::map<std::string, std::size_t> file_order_;
};

}  // namespace tessel::check
