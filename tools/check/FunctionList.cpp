#include "check/FunctionList.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "app/ScriptApi.h"
#include "check/LuaChunk.h"
#include "script/FunctionNameList.h"

namespace tessel::check {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The 60, then the extension commands: the order the engine registers them in.
std::vector<const char*> AllCommands() {
  std::vector<const char*> all(ScriptApi::CommandNames().begin(), ScriptApi::CommandNames().end());
  all.insert(all.end(), ScriptApi::ExtensionNames().begin(), ScriptApi::ExtensionNames().end());
  return all;
}

bool IsCommand(std::string_view name) {
  for (const char* command : AllCommands()) {
    if (name == command) return true;
  }
  return false;
}

int LineOfOffset(std::string_view text, std::size_t offset) {
  int line = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') ++line;
  }
  return line;
}

// Edits (insert, delete, replace, letter case ignored) from a to b.
std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const std::size_t replace = diagonal + (LowerAscii(a[i - 1]) == LowerAscii(b[j - 1]) ? 0 : 1);
      row[j] = std::min({above + 1, row[j - 1] + 1, replace});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The command a mistyped key most likely means, or nullptr.
const char* NearestCommand(std::string_view key) {
  const char* best = nullptr;
  std::size_t best_distance = 3;  // two edits at most
  for (const char* command : AllCommands()) {
    const std::size_t distance = EditDistance(key, command);
    if (distance < best_distance) {
      best = command;
      best_distance = distance;
    }
  }
  return best;
}

std::string Quoted(std::string_view name) { return "'" + std::string(name) + "'"; }

// `read` is false when there was no list to read (that finding is made).
CommandRegistration Register(const std::map<std::string, std::string>& names,
                             const std::map<std::string, int>& lines, const std::string& display,
                             bool read, Report& report) {
  CommandRegistration result;
  std::map<std::string, std::string>& registered = result.callable;
  // As the engine registers them: commands without a script name under their
  // internal names first, then the named ones in table order, so a later
  // registration under the same name hides an earlier one.
  const std::vector<const char*> commands = AllCommands();
  for (const char* command : commands) {
    auto named = names.find(command);
    if (named == names.end() || named->second.empty()) registered[command] = command;
  }
  for (const char* command : commands) {
    auto named = names.find(command);
    if (named != names.end() && !named->second.empty()) {
      registered[named->second] = command;
      result.script_names[command] = named->second;
    }
  }

  // Only the 60 are expected in the list; extension commands are optional.
  std::vector<std::string> missing;
  for (const char* command : ScriptApi::CommandNames()) {
    if (names.count(command) == 0) missing.emplace_back(command);
  }
  if (!read) return result;
  if (missing.size() == ScriptApi::kCommandCount) {
    report.Warning(display, 0,
                   "lists no command: scripts reach every command by its internal name");
  } else {
    for (const std::string& command : missing) {
      report.Warning(display, 0,
                     command + " is missing from the list: scripts reach it by its internal name");
    }
  }

  for (const char* command : commands) {
    const bool reachable = std::any_of(registered.begin(), registered.end(),
                                       [&](const auto& entry) { return entry.second == command; });
    if (reachable) continue;
    auto named = names.find(command);
    const std::string name =
        named != names.end() && !named->second.empty() ? named->second : command;
    auto line = lines.find(command);
    auto holder = registered.find(name);
    report.Warning(
        display, line != lines.end() ? line->second : 0,
        std::string(command) + " cannot be called: its name " + Quoted(name) + " is taken by " +
            (holder != registered.end() ? holder->second : std::string("another command")));
  }
  return result;
}

}  // namespace

CommandRegistration CheckFunctionList(const std::optional<std::string>& bytes,
                                      const std::string& display,
                                      const std::set<std::string>& lua_globals, Report& report) {
  if (!bytes) {
    report.Error(display, 0, "not found: the engine does not start without the function-name list");
    return Register({}, {}, display, false, report);
  }
  std::string_view text = *bytes;
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
    report.Error(display, 1,
                 "the list is UTF-16, but the engine reads it as bytes up to the first zero byte: "
                 "save it as UTF-8 (or ASCII)");
    return Register({}, {}, display, false, report);
  }
  // The engine's own reading: a C string, a UTF-8 mark skipped, lines ending
  // at line feeds; each line is handed to the engine's parser alone, so that
  // every pair keeps its line.
  const std::size_t zero = text.find('\0');
  if (zero != std::string_view::npos) {
    report.Error(display, LineOfOffset(text, zero),
                 "a zero byte ends the list here: the engine reads nothing after it");
    text = text.substr(0, zero);
  }
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);

  std::map<std::string, std::string> names;
  std::map<std::string, int> lines;
  int line = 0;
  while (!text.empty()) {
    ++line;
    const std::size_t end = text.find('\n');
    FunctionNameList one(text.substr(0, end));
    one.Load();
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    for (const auto& [key, value] : one.Names()) {
      if (key.empty()) continue;  // a blank line
      if (!IsCommand(key)) {
        std::string message = Quoted(key) + " names no command";
        if (key.front() == '#') {
          message += " (a comment's '#' must be the first character of its line)";
        } else if (const char* nearest = NearestCommand(key)) {
          message += std::string(" (did you mean ") + Quoted(nearest) + "?)";
        }
        report.Error(display, line, message);
        continue;
      }
      if (auto earlier = lines.find(key); earlier != lines.end()) {
        report.Warning(display, line,
                       key + " is listed again (first at line " + std::to_string(earlier->second) +
                           "): the engine takes this later line");
      }
      lines[key] = line;
      names[key] = value;
      if (value.empty()) {
        report.Warning(display, line,
                       key + " has no script name: scripts reach it by its internal name");
      } else if (!IsLuaName(value)) {
        report.Warning(display, line,
                       "script name " + Quoted(value) + " is not a Lua name: scripts cannot call " +
                           key + " by it");
      } else if (lua_globals.count(value) != 0) {
        report.Warning(display, line,
                       "script name " + Quoted(value) + " replaces Lua's own " + Quoted(value));
      }
    }
  }
  return Register(names, lines, display, true, report);
}

}  // namespace tessel::check
