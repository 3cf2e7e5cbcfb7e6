#include "check/Report.h"

#include <algorithm>
#include <tuple>

namespace tessel::check {

void Report::NoteFile(const std::string& file) { file_order_.emplace(file, file_order_.size()); }

void Report::Add(Severity severity, const std::string& file, int line, std::string message) {
  NoteFile(file);
  if (!seen_.emplace(severity, file, line, message).second) return;
  findings_.push_back(Finding{severity, file, line, std::move(message)});
}

void Report::Error(const std::string& file, int line, std::string message) {
  Add(Severity::kError, file, line, std::move(message));
}

void Report::Warning(const std::string& file, int line, std::string message) {
  Add(Severity::kWarning, file, line, std::move(message));
}

std::size_t Report::Errors(bool warnings_are_errors) const {
  return static_cast<std::size_t>(std::count_if(
      findings_.begin(), findings_.end(),
      [&](const Finding& f) { return f.severity == Severity::kError || warnings_are_errors; }));
}

std::size_t Report::Warnings(bool warnings_are_errors) const {
  return findings_.size() - Errors(warnings_are_errors);
}

void Report::Print(std::FILE* out, bool warnings_are_errors) const {
  std::vector<const Finding*> sorted;
  for (const Finding& f : findings_) sorted.push_back(&f);
  std::stable_sort(sorted.begin(), sorted.end(), [this](const Finding* a, const Finding* b) {
    return std::tie(file_order_.at(a->file), a->line) < std::tie(file_order_.at(b->file), b->line);
  });
  for (const Finding* f : sorted) {
    const bool error = f->severity == Severity::kError || warnings_are_errors;
    std::string where = f->file + ":";
    if (f->line > 0) where += std::to_string(f->line) + ":";
    std::fprintf(out, "%s %s: %s\n", where.c_str(), error ? "error" : "warning",
                 f->message.c_str());
  }
  const std::size_t errors = Errors(warnings_are_errors);
  const std::size_t warnings = Warnings(warnings_are_errors);
  std::fprintf(out, "%zu error%s, %zu warning%s\n", errors, errors == 1 ? "" : "s", warnings,
               warnings == 1 ? "" : "s");
}

}  // namespace tessel::check
