#include "check/GameChecker.h"

#include <SDL_rwops.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <system_error>
#include <vector>

#include "check/Encoding.h"
#include "check/FunctionList.h"
#include "check/LuaChunk.h"
#include "check/ScenarioWalk.h"
#include "resource/Archive.h"
#include "resource/BaseDirectory.h"
#include "resource/DiskPath.h"
#include "resource/ResourceFile.h"
#include "text/Encoding.h"
#include "text/FontLookup.h"
#include "text/Scenario.h"
#include "text/ScenarioFiles.h"

namespace fs = std::filesystem;

namespace tessel::check {
namespace {

constexpr const char* kFunctionList = "funcdef.tsl";
constexpr const char* kMainScenario = "main.tsl";
constexpr const char* kBootArchive = "main.dat";
// The file name under which a choice button runs the script blocks of its text.
constexpr const char* kChoiceChunkFile = "Alternative";

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerAscii(x) == LowerAscii(y);
         });
}

bool IsScenarioName(std::string_view name) {
  return name.size() > 4 && EqualsIgnoringCase(name.substr(name.size() - 4), ".tsl");
}

std::string Quoted(std::string_view name) { return "'" + std::string(name) + "'"; }

// Where the engine finds a named file: an archive entry or a file on disk.
struct Location {
  std::string key;      // the same for every name that reaches the same data
  std::string display;  // as the report shows it
};

class GameChecker {
 public:
  explicit GameChecker(Report& report) : report_(report) {}

  bool Run(const std::string& path, std::string& fatal);

 private:
  // The game's files.
  bool OpenFolder(const std::string& path, std::string& fatal);
  void MountBootArchive();
  void NoteArchive(const Archive& archive, const std::string& display, int line);
  std::optional<Location> Locate(const std::string& name) const;
  std::string DisplayOf(const std::string& name) const;
  std::string WhereLooked() const;

  // The function-name list and the names it registers.
  void CheckFunctionList();

  // Scenario files, from main.tsl on.
  bool Enqueue(const std::string& name);
  void ReadScenario(const std::string& name, const Location& where);
  void Follow(const std::u16string& name, int line, const std::string& display, const char* what);
  void ResolveLeftovers();

  // Lua.
  // Errors go to `fixed_line` when it is set (choice texts have one line),
  // otherwise to the line Lua names.
  void CheckBlock(const ScriptBlock& block, const std::string& chunk_file,
                  const std::string& display, int fixed_line);
  void TakeGlobals(const ChunkGlobals& globals, const std::string& display, int fixed_line);
  void Require(const std::string& module, const std::string& display, int line);
  void LoadNamedArchive(const std::string& name, const std::string& display, int line);
  void CheckFont(const std::string& name, const std::string& display, int line);
  // Warns when a name reaches its file only because letter case is ignored.
  void WarnCaseOnly(const std::string& name, const std::string& display, int line);
  void CheckCalls();

  void CheckUnreached();

  Report& report_;
  fs::path folder_;
  ScriptEnvironment environment_;
  std::set<std::string> environment_globals_;

  CommandRegistration commands_;
  std::string function_list_key_;

  struct Pending {
    std::string name;
    Location where;
  };
  std::deque<Pending> queue_;
  std::set<std::string> visited_;  // location keys of scenario files read
  struct Reference {
    std::string display;
    int line = 0;
    std::u16string name;
    const char* what = "";
  };
  std::vector<Reference> unresolved_;
  bool archive_added_ = false;

  std::set<std::string> assigned_;  // globals the game's scripts set
  struct Call {
    std::string display;
    int line = 0;
    std::string name;
  };
  std::vector<Call> calls_;
  std::set<std::string> modules_;
  std::set<std::string> named_archives_;
};

bool GameChecker::OpenFolder(const std::string& path, std::string& fatal) {
  std::error_code ec;
  fs::path given(path);
  if (fs::is_directory(given, ec)) {
    folder_ = given;
  } else if (fs::is_regular_file(given, ec)) {
    folder_ = given.parent_path();
  } else {
    fatal = path + ": no such folder";
    return false;
  }
  // Names are shown as the author would type them from here: "game/main.tsl",
  // or just "main.tsl" for the current folder.
  if (folder_ == ".") folder_.clear();
  std::string base = folder_.string();
  if (!base.empty() && base.back() != '/') base += '/';
  SetBaseDirectory(base);
  return true;
}

void GameChecker::NoteArchive(const Archive& archive, const std::string& display, int line) {
  if (archive.SkippedEntries() > 0) {
    report_.Warning(
        display, line,
        std::to_string(archive.SkippedEntries()) +
            " malformed entries of the archive are skipped: the engine cannot read them");
  }
}

void GameChecker::MountBootArchive() {
  const std::optional<std::string> path = ResolveDiskPath(BaseDirectory(), kBootArchive);
  if (!path) return;
  if (Archive* archive = LoadArchive(BaseDirectory(), kBootArchive)) {
    NoteArchive(*archive, archive->Path(), 0);
  } else {
    report_.Error(*path, 0,
                  "not an archive the engine can read: its tables are missing or malformed");
  }
}

std::optional<Location> GameChecker::Locate(const std::string& name) const {
  if (name.find('\0') != std::string::npos) return std::nullopt;
  // The engine's order: exact names in the archives and on disk, then names
  // folded in the archives, then on disk.
  for (const Archive* archive : ArchiveList::Mounted()) {
    if (archive->Find(name) != nullptr) {
      return Location{"archive:" + archive->Path() + '\0' + name, archive->Path() + "/" + name};
    }
  }
  if (!IsRegularFile(BaseDirectory() + name)) {
    for (const Archive* archive : ArchiveList::Mounted()) {
      if (const ArchiveEntry* entry = archive->FindFolded(name)) {
        return Location{"archive:" + archive->Path() + '\0' + entry->name,
                        archive->Path() + "/" + entry->name};
      }
    }
  }
  if (std::optional<std::string> path = ResolveDiskPath(BaseDirectory(), name)) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(*path, ec);
    return Location{"disk:" + (ec ? *path : canonical.string()), *path};
  }
  return std::nullopt;
}

std::string GameChecker::DisplayOf(const std::string& name) const {
  if (std::optional<Location> where = Locate(name)) return where->display;
  return BaseDirectory() + name;
}

std::string GameChecker::WhereLooked() const {
  std::string where;
  for (const Archive* archive : ArchiveList::Mounted()) {
    where += (where.empty() ? "" : ", ") + fs::path(archive->Path()).filename().string();
  }
  return where.empty() ? "in the game folder" : "in " + where + " or in the game folder";
}

// ---------------------------------------------------------------------------

void GameChecker::CheckFunctionList() {
  const std::optional<std::string> bytes = ReadResource(kFunctionList);
  const std::string display = DisplayOf(kFunctionList);
  report_.NoteFile(display);
  if (std::optional<Location> where = Locate(kFunctionList)) function_list_key_ = where->key;
  commands_ = check::CheckFunctionList(bytes, display, environment_globals_, report_);
}

// ---------------------------------------------------------------------------

bool GameChecker::Enqueue(const std::string& name) {
  SDL_RWops* stream = OpenResource(name);
  if (stream == nullptr) return false;
  SDL_RWclose(stream);
  Location where = Locate(name).value_or(Location{"name:" + name, BaseDirectory() + name});
  if (visited_.insert(where.key).second) queue_.push_back(Pending{name, std::move(where)});
  return true;
}

void GameChecker::ReadScenario(const std::string& name, const Location& where) {
  report_.NoteFile(where.display);
  std::optional<std::string> bytes = ReadResource(name);
  if (!bytes) {
    report_.Error(where.display, 0, "cannot be read");
    return;
  }
  for (const EncodingProblem& problem : CheckScenarioEncoding(*bytes)) {
    if (problem.severity == Severity::kError) {
      report_.Error(where.display, problem.line, problem.message);
    } else {
      report_.Warning(where.display, problem.line, problem.message);
    }
  }
  std::unique_ptr<Scenario> scenario = Scenario::FromFileBytes(*bytes);
  scenario->name = name;
  const ScenarioContents contents = WalkScenario(std::move(scenario));

  for (const ScriptBlock& block : contents.blocks) CheckBlock(block, name, where.display, 0);
  for (const Choice& choice : contents.choices) {
    // Line ends inside a choice are dropped: its blocks all sit on the line
    // where the choice begins.
    for (ScriptBlock& block : ChoiceTextBlocks(choice.text)) {
      block.reaches_end = false;
      CheckBlock(block, kChoiceChunkFile, where.display, choice.text_line + 1);
    }
  }
  for (const FileReference& call : contents.calls)
    Follow(call.name, call.line + 1, where.display, "call line");
  for (const Choice& choice : contents.choices) {
    Follow(choice.target.name, choice.target.line + 1, where.display, "choice");
  }
}

void GameChecker::Follow(const std::u16string& name, int line, const std::string& display,
                         const char* what) {
  if (name.empty()) {
    report_.Error(display, line, std::string("the ") + what + " names no file");
    return;
  }
  const std::string file = ScenarioFileName(name);
  if (!Enqueue(file)) {
    unresolved_.push_back(Reference{display, line, name, what});
  } else {
    WarnCaseOnly(file, display, line);
  }
}

void GameChecker::ResolveLeftovers() {
  // An archive that a script loads may hold files named before it was seen.
  while (archive_added_) {
    archive_added_ = false;
    std::vector<Reference> retry;
    retry.swap(unresolved_);
    for (const Reference& reference : retry)
      Follow(reference.name, reference.line, reference.display, reference.what);
    while (!queue_.empty()) {
      Pending next = std::move(queue_.front());
      queue_.pop_front();
      ReadScenario(next.name, next.where);
    }
  }
  for (const Reference& reference : unresolved_) {
    const std::string name = EncodeUtf8(reference.name);
    std::string message =
        Quoted(name) + ", which this " + reference.what + " names, does not exist " + WhereLooked();
    // Choice targets keep their spaces, which are easily overlooked.
    if (name.front() == ' ' || name.back() == ' ')
      message += " (mind the spaces: they are part of the name)";
    report_.Error(reference.display, reference.line, message);
  }
}

// ---------------------------------------------------------------------------

void GameChecker::CheckBlock(const ScriptBlock& block, const std::string& chunk_file,
                             const std::string& display, int fixed_line) {
  const int first_line = block.line;
  const CompiledChunk chunk = CompileChunk(ScriptBlockChunk(EncodeUtf8(block.code), first_line),
                                           ScriptBlockChunkName(chunk_file));
  if (!chunk.ok) {
    const std::optional<LuaMessage> message = SplitLuaMessage(chunk.error);
    int line = fixed_line > 0 ? fixed_line : message ? message->line : first_line + 1;
    std::string text = "script block does not compile: " + (message ? message->text : chunk.error);
    if (block.reaches_end) {
      text += " (the block opened on line " + std::to_string(first_line + 1) +
              " runs to the end of the file: is its closing brace missing?)";
    }
    if (const std::string hint = BlockCompileHint(block.marks); !hint.empty()) {
      text += " (" + hint + ")";
      // The brace that cut the string is where the fix goes.
      if (block.marks.ends_in_string && fixed_line <= 0) line = block.marks.end_line + 1;
    }
    report_.Error(display, line, text);
    return;
  }
  TakeGlobals(chunk.globals, display, fixed_line);
  for (const GlobalCall& call : chunk.globals.calls) {
    auto command = commands_.callable.find(call.name);
    if (call.code_follows && command != commands_.callable.end() && command->second == "SaveGame") {
      report_.Warning(display, fixed_line > 0 ? fixed_line : call.line,
                      "statements follow " + call.name +
                          " in this script block: a load resumes after the block, so they do not "
                          "run again; make it the block's last statement");
    }
  }
}

void GameChecker::TakeGlobals(const ChunkGlobals& globals, const std::string& display,
                              int fixed_line) {
  assigned_.insert(globals.assigned.begin(), globals.assigned.end());
  for (const GlobalCall& call : globals.calls) {
    const int line = fixed_line > 0 ? fixed_line : call.line;
    calls_.push_back(Call{display, line, call.name});
    auto command = commands_.callable.find(call.name);
    if (!call.first_string) continue;
    if (command == commands_.callable.end() && call.name == "require") {
      Require(*call.first_string, display, line);
    } else if (command != commands_.callable.end() && command->second == "ArchiveLoad") {
      LoadNamedArchive(*call.first_string, display, line);
    } else if (command != commands_.callable.end() && command->second == "CreateNewFont") {
      CheckFont(*call.first_string, display, line);
    }
  }
}

void GameChecker::Require(const std::string& module, const std::string& display, int line) {
  if (!modules_.insert(module).second) return;
  // The engine's searcher: each package.path pattern with '?' replaced by the
  // name, read through the resource lookup; the first file found is loaded.
  std::string tried;
  std::string_view patterns = environment_.package_path;
  while (true) {
    const std::size_t end = patterns.find(';');
    std::string candidate(patterns.substr(0, end));
    patterns.remove_prefix(end == std::string_view::npos ? patterns.size() : end + 1);
    if (!candidate.empty()) {
      for (std::size_t at = candidate.find('?'); at != std::string::npos;
           at = candidate.find('?', at + module.size())) {
        candidate.replace(at, 1, module);
      }
      if (std::optional<std::string> text = ReadResource(candidate)) {
        WarnCaseOnly(candidate, display, line);
        const std::string file = DisplayOf(candidate);
        report_.NoteFile(file);
        const CompiledChunk chunk = CompileChunk(*text, "@" + candidate);
        if (!chunk.ok) {
          const std::optional<LuaMessage> message = SplitLuaMessage(chunk.error);
          report_.Error(file, message ? message->line : 0,
                        "module does not compile: " + (message ? message->text : chunk.error));
        } else {
          TakeGlobals(chunk.globals, file, 0);
        }
        return;
      }
      tried += (tried.empty() ? "" : ", ") + candidate;
    }
    if (end == std::string_view::npos) break;
  }
  report_.Error(
      display, line,
      "module " + Quoted(module) + " is not found (no file " + tried + " " + WhereLooked() + ")");
}

void GameChecker::LoadNamedArchive(const std::string& name, const std::string& display, int line) {
  if (!named_archives_.insert(name).second) return;
  if (Archive* archive = LoadArchive(BaseDirectory(), name)) {
    WarnCaseOnly(name, display, line);
    archive_added_ = true;
    NoteArchive(*archive, display, line);
  } else {
    report_.Warning(
        display, line,
        "archive " + Quoted(name) + " is not found in the game folder (or is not an archive)");
  }
}

void GameChecker::CheckFont(const std::string& name, const std::string& display, int line) {
  const std::optional<FontFile> font = FindFontFile(name);
  if (font && font->source != FontFile::Source::kSubstitute) return;
  std::string message = "font " + Quoted(name) +
                        " is not found in the game folder nor among the installed fonts: ";
  message += font ? "the engine draws its text with a substitute (" + font->family +
                        " here), which a player's machine may not have"
                  : "its text is not drawn";
  report_.Warning(display, line, message);
}

void GameChecker::WarnCaseOnly(const std::string& name, const std::string& display, int line) {
  if (IsRegularFile(BaseDirectory() + name)) return;
  std::string found;
  for (const Archive* archive : ArchiveList::Mounted()) {
    if (archive->Find(name) != nullptr) return;
    if (const ArchiveEntry* entry = archive->FindFolded(name); entry != nullptr && found.empty()) {
      found = entry->name;
    }
  }
  if (found.empty()) {
    const std::optional<std::string> path = ResolveDiskPath(BaseDirectory(), name);
    if (!path || !path->starts_with(BaseDirectory())) return;
    found = path->substr(BaseDirectory().size());
  }
  std::string slashed = name;
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  if (slashed == found) return;  // only the separators differ, as Windows games write them
  report_.Warning(display, line,
                  Quoted(name) + " finds " + Quoted(found) +
                      " only because letter case is ignored: write it as the file is named, "
                      "since tools and systems that compare names exactly will not find it");
}

void GameChecker::CheckCalls() {
  for (const Call& call : calls_) {
    if (environment_globals_.count(call.name) != 0 || commands_.callable.count(call.name) != 0 ||
        assigned_.count(call.name) != 0) {
      continue;
    }
    auto renamed = commands_.script_names.find(call.name);
    if (renamed != commands_.script_names.end()) {
      report_.Warning(call.display, call.line,
                      Quoted(call.name) +
                          " is not defined: funcdef.tsl gives this command the script name " +
                          Quoted(renamed->second));
    } else {
      report_.Warning(call.display, call.line,
                      Quoted(call.name) +
                          " is called like a command, but it is neither a command name of "
                          "funcdef.tsl nor defined by the game's scripts");
    }
  }
}

// ---------------------------------------------------------------------------

void GameChecker::CheckUnreached() {
  const auto is_function_list = [](std::string_view name) {
    return EqualsIgnoringCase(name, kFunctionList);
  };
  const std::string unreached = "never reached: no call line or choice leads here from main.tsl";
  for (const Archive* archive : ArchiveList::Mounted()) {
    for (const ArchiveEntry& entry : archive->Entries()) {
      if (!IsScenarioName(entry.name) || is_function_list(entry.name)) continue;
      const std::string key = "archive:" + archive->Path() + '\0' + entry.name;
      if (visited_.count(key) == 0 && key != function_list_key_) {
        report_.Warning(archive->Path() + "/" + entry.name, 0, unreached);
      }
    }
  }

  std::error_code ec;
  const fs::path root = folder_.empty() ? fs::path(".") : folder_;
  std::vector<fs::path> files;
  fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const std::string leaf = it->path().filename().string();
    std::error_code type_error;
    if (it->is_directory(type_error)) {
      if (leaf.starts_with(".")) it.disable_recursion_pending();  // .git and the like
      continue;
    }
    if (IsScenarioName(leaf) && it->is_regular_file(type_error)) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    const std::string name = file.lexically_relative(root).generic_string();
    if (is_function_list(name)) continue;
    const std::string display = BaseDirectory() + name;
    // A loose file that an archive also holds is never read.
    const Archive* holder = nullptr;
    for (const Archive* archive : ArchiveList::Mounted()) {
      if (archive->Find(name) != nullptr) {
        holder = archive;
        break;
      }
    }
    if (holder != nullptr) {
      SDL_RWops* stream = holder->OpenStream(name);
      std::string packed;
      if (stream != nullptr) {
        char buffer[4096];
        int got = 0;
        while ((got = SDL_RWread(stream, buffer, 1, sizeof buffer)) > 0)
          packed.append(buffer, static_cast<std::size_t>(got));
        SDL_RWclose(stream);
      }
      std::error_code read_error;
      const std::optional<std::string> loose = [&]() -> std::optional<std::string> {
        std::FILE* in = std::fopen(file.c_str(), "rb");
        if (in == nullptr) return std::nullopt;
        std::string bytes;
        char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, got);
        std::fclose(in);
        return bytes;
      }();
      if (!loose || *loose != packed) {
        report_.Warning(display, 0,
                        "not read: " + fs::path(holder->Path()).filename().string() +
                            " holds a different " + name + ", which the engine reads instead");
      }
      continue;
    }
    std::error_code canonical_error;
    const fs::path canonical = fs::weakly_canonical(file, canonical_error);
    const std::string key = "disk:" + (canonical_error ? display : canonical.string());
    if (visited_.count(key) == 0 && key != function_list_key_)
      report_.Warning(display, 0, unreached);
  }
}

// ---------------------------------------------------------------------------

bool GameChecker::Run(const std::string& path, std::string& fatal) {
  if (!OpenFolder(path, fatal)) return false;
  environment_ = EngineEnvironment();
  environment_globals_.insert(environment_.globals.begin(), environment_.globals.end());
  MountBootArchive();
  SDL_RWops* main = OpenResource(kMainScenario);
  if (main == nullptr) {
    fatal =
        (folder_.empty() ? std::string(".") : folder_.string()) + ": no main.tsl " + WhereLooked();
    return false;
  }
  SDL_RWclose(main);

  CheckFunctionList();
  Enqueue(kMainScenario);
  while (!queue_.empty()) {
    Pending next = std::move(queue_.front());
    queue_.pop_front();
    ReadScenario(next.name, next.where);
  }
  ResolveLeftovers();
  CheckCalls();
  CheckUnreached();
  return true;
}

}  // namespace

bool CheckGame(const std::string& path, Report& report, std::string& fatal) {
  GameChecker checker(report);
  const bool ran = checker.Run(path, fatal);
  Registry().ReleaseAll();  // the archives
  return ran;
}

}  // namespace tessel::check
