#include "app/playtest/PlayReport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <ostream>
#include <set>
#include <sstream>

namespace tessel {
namespace {

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out;
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[++i];
    out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
  }
  return out;
}

std::string Join(std::initializer_list<std::string> fields) {
  std::string line;
  for (const std::string& field : fields) {
    if (!line.empty()) line += '\t';
    line += Escape(field);
  }
  return line + "\n";
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t at = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', at);
    fields.push_back(Unescape(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at)));
    if (tab == std::string::npos) break;
    at = tab + 1;
  }
  return fields;
}

int ToInt(const std::string& text) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || value < -1000000000L || value > 1000000000L) return 0;
  return static_cast<int>(value);
}

std::string Normalized(const std::string& name) {
  std::string out = name;
  for (char& c : out) {
    if (c == '\\') c = '/';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  while (out.rfind("./", 0) == 0) out.erase(0, 2);
  return out;
}

std::string Where(const std::string& file, int line) {
  if (file.empty()) return "(before the story)";
  return line > 0 ? file + ":" + std::to_string(line) : file;
}

std::string PathName(int number) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "p%02d", number);
  return buffer;
}

}  // namespace

std::string ChoiceLine(const ChoiceRecord& choice) {
  return Join({"choice", choice.file, std::to_string(choice.line), std::to_string(choice.count),
               std::to_string(choice.taken), choice.target});
}

std::string ReadLine(const std::string& name) { return Join({"read", name}); }

std::string AvailableLine(const std::string& name) { return Join({"available", name}); }

std::string ProblemLine(const ProblemRecord& problem) {
  return Join({"problem", std::to_string(static_cast<int>(problem.kind)), problem.file,
               std::to_string(problem.line), problem.message});
}

std::string EndingLine(const std::string& ending) { return Join({"end", ending}); }

PathResult ParsePathResult(const std::string& text) {
  PathResult result;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const std::vector<std::string> f = Fields(line);
    if (f[0] == "choice" && f.size() == 6) {
      ChoiceRecord choice{f[1], ToInt(f[2]), ToInt(f[3]), ToInt(f[4]), f[5]};
      result.choices.push_back(choice);
    } else if (f[0] == "read" && f.size() == 2) {
      result.scenarios_read.push_back(f[1]);
    } else if (f[0] == "available" && f.size() == 2) {
      result.scenarios_available.push_back(f[1]);
    } else if (f[0] == "problem" && f.size() == 5) {
      const int kind = ToInt(f[1]);
      if (kind < 0 || kind > static_cast<int>(ProblemKind::kTextOverflow)) continue;
      result.problems.push_back({static_cast<ProblemKind>(kind), f[2], ToInt(f[3]), f[4]});
    } else if (f[0] == "end" && f.size() == 2) {
      result.ending = f[1];
    }
  }
  return result;
}

bool SplitLuaPosition(const std::string& message, std::string& file, int& line) {
  const std::size_t colon = message.find(':');
  if (colon == std::string::npos || colon == 0) return false;
  std::size_t at = colon + 1;
  std::size_t digits = 0;
  while (at + digits < message.size() && message[at + digits] >= '0' && message[at + digits] <= '9') {
    ++digits;
  }
  if (digits == 0 || digits > 9 || at + digits >= message.size() || message[at + digits] != ':') {
    return false;
  }
  const std::string name = message.substr(0, colon);
  if (name.find('\n') != std::string::npos) return false;
  file = name;
  line = ToInt(message.substr(at, digits));
  return true;
}

std::vector<std::vector<int>> NextPrefixes(const PathResult& path, std::size_t prefix_length,
                                           std::vector<std::string>& explored) {
  std::set<std::string> known(explored.begin(), explored.end());
  auto mark = [&](const std::string& key) {
    if (known.insert(key).second) explored.push_back(key);
  };
  for (const ChoiceRecord& choice : path.choices) mark(choice.Key() + "#" + std::to_string(choice.taken));

  std::vector<std::vector<int>> next;
  // Deepest first, so the caller's queue plays the newest branch next.
  for (std::size_t depth = path.choices.size(); depth-- > prefix_length;) {
    const ChoiceRecord& choice = path.choices[depth];
    for (int index = 0; index < choice.count; ++index) {
      const std::string key = choice.Key() + "#" + std::to_string(index);
      if (known.count(key) != 0) continue;
      mark(key);
      std::vector<int> prefix;
      for (std::size_t d = 0; d < depth; ++d) prefix.push_back(path.choices[d].taken);
      prefix.push_back(index);
      next.push_back(std::move(prefix));
    }
  }
  return next;
}

namespace {

void WriteHeading(const RunSummary& summary, std::ostream& out) {
  const char* policy = summary.policy == ChoosePolicy::kAll      ? "all"
                       : summary.policy == ChoosePolicy::kRandom ? "random"
                                                                 : "first";
  out << "Autoplay report (--choose=" << policy;
  if (summary.policy == ChoosePolicy::kRandom) out << ":" << summary.seed;
  out << ")\n";
}

void WritePaths(const RunSummary& summary, std::ostream& out) {
  out << "\nPaths played: " << summary.paths.size() << "\n";
  for (const PathResult& path : summary.paths) {
    out << "  " << PathName(path.number) << ":";
    if (path.choices.empty()) out << " no choice";
    for (const ChoiceRecord& choice : path.choices) {
      out << " " << Where(choice.file, choice.line) << "#" << (choice.taken + 1);
    }
    out << " (" << (path.ending.empty() ? "the engine died" : path.ending) << ")\n";
  }
}

void WriteChoiceLists(const RunSummary& summary, std::ostream& out) {
  // Lists in the order they were first met.
  std::vector<std::string> list_order;
  std::map<std::string, ChoiceRecord> lists;
  std::map<std::string, std::set<int>> taken;
  for (const PathResult& path : summary.paths) {
    for (const ChoiceRecord& choice : path.choices) {
      const std::string key = choice.Key();
      if (lists.emplace(key, choice).second) list_order.push_back(key);
      lists[key].count = std::max(lists[key].count, choice.count);
      taken[key].insert(choice.taken);
    }
  }
  std::size_t choices_seen = 0;
  std::size_t choices_taken = 0;
  for (const std::string& key : list_order) {
    choices_seen += static_cast<std::size_t>(lists[key].count);
    choices_taken += taken[key].size();
  }
  out << "\nChoice lists: " << list_order.size() << " seen, " << choices_taken << " of "
      << choices_seen << " choices taken\n";
  for (const std::string& key : list_order) {
    out << "  " << Where(lists[key].file, lists[key].line) << ": " << lists[key].count
        << " choices, taken:";
    for (int index : taken[key]) out << " " << (index + 1);
    out << "\n";
  }
}

void WriteScenarioFiles(const RunSummary& summary, std::ostream& out) {
  std::vector<std::string> reached;
  std::set<std::string> reached_keys;
  std::vector<std::string> available;
  std::set<std::string> available_keys;
  for (const PathResult& path : summary.paths) {
    for (const std::string& name : path.scenarios_read) {
      if (reached_keys.insert(Normalized(name)).second) reached.push_back(name);
    }
    for (const std::string& name : path.scenarios_available) {
      if (available_keys.insert(Normalized(name)).second) available.push_back(name);
    }
  }
  out << "\nScenario files reached: " << reached.size() << "\n";
  for (const std::string& name : reached) out << "  " << name << "\n";
  std::vector<std::string> unreached;
  for (const std::string& name : available) {
    const std::string key = Normalized(name);
    if (key == "funcdef.tsl" || reached_keys.count(key) != 0) continue;
    unreached.push_back(name);
  }
  std::sort(unreached.begin(), unreached.end());
  out << "\nScenario files never reached: " << unreached.size() << "\n";
  for (const std::string& name : unreached) out << "  " << name << "\n";
}

// The problems of a run, each once with the paths it was met on: the same
// problem met on several paths (their common beginning) is one.
class ProblemList {
 public:
  struct Seen {
    ProblemRecord problem;
    std::vector<int> paths;
  };

  explicit ProblemList(const RunSummary& summary) {
    for (const PathResult& path : summary.paths) {
      for (const ProblemRecord& problem : path.problems) Note(problem, path.number);
      const bool ended_badly = path.ending.empty() || (path.status != 0 && path.ending != "panic");
      if (ended_badly) Note(DeathOf(path), path.number);
    }
  }

  const std::vector<Seen>& Problems() const { return problems_; }

 private:
  // A path whose process died, or finished and exited badly, is a problem.
  static ProblemRecord DeathOf(const PathResult& path) {
    ProblemRecord record;
    record.kind = ProblemKind::kPanic;
    record.message = path.ending.empty() ? "the engine ended without finishing the path"
                                         : "the engine finished the path but exited badly";
    record.message += " (exit status " + std::to_string(path.status) + ")";
    if (!path.choices.empty()) {
      record.file = path.choices.back().file;
      record.line = path.choices.back().line;
      record.message += " after its last choice";
    }
    return record;
  }

  void Note(const ProblemRecord& problem, int path) {
    const std::string key = std::to_string(static_cast<int>(problem.kind)) + "\t" + problem.file +
                            "\t" + std::to_string(problem.line) + "\t" + problem.message;
    auto [it, fresh] = index_.emplace(key, problems_.size());
    if (fresh) problems_.push_back({problem, {}});
    std::vector<int>& on = problems_[it->second].paths;
    if (std::find(on.begin(), on.end(), path) == on.end()) on.push_back(path);
  }

  std::vector<Seen> problems_;
  std::map<std::string, std::size_t> index_;
};

void WriteProblems(const ProblemList& list, std::ostream& out) {
  out << "\nProblems: " << list.Problems().size() << "\n";
  for (const ProblemList::Seen& seen : list.Problems()) {
    out << "  " << Where(seen.problem.file, seen.problem.line) << ": "
        << ProblemKindName(seen.problem.kind) << ": " << seen.problem.message << " [";
    for (std::size_t i = 0; i < seen.paths.size(); ++i) {
      if (i == 3 && seen.paths.size() > 4) {
        out << " and " << (seen.paths.size() - 3) << " more";
        break;
      }
      out << (i == 0 ? "" : " ") << PathName(seen.paths[i]);
    }
    out << "]\n";
  }
}

// The closing lines; sets the exit status.
void WriteResult(const RunSummary& summary, std::size_t problems, std::ostream& out, int& status) {
  if (summary.path_limit_reached) out << "\nStopped exploring: too many paths.\n";
  if (summary.timed_out) {
    status = 3;
    out << "\nOut of time: the run was stopped by --max-seconds; the report covers what was played.\n";
  } else {
    status = problems == 0 ? 0 : 1;
  }
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f", summary.seconds);
  out << "\nResult: " << (problems == 0 ? "clean" : std::to_string(problems) + " problem(s)")
      << " in " << seconds << " s (exit status " << status << ")\n";
}

}  // namespace

std::string FormatReport(const RunSummary& summary, int& status) {
  std::ostringstream out;
  WriteHeading(summary, out);
  WritePaths(summary, out);
  WriteChoiceLists(summary, out);
  WriteScenarioFiles(summary, out);
  const ProblemList problems(summary);
  WriteProblems(problems, out);
  WriteResult(summary, problems.Problems().size(), out, status);
  return out.str();
}

}  // namespace tessel
