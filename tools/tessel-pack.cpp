// tessel-pack: builds, lists and unpacks the engine's data archives (main.dat).
#include <SDL_error.h>
#include <SDL_rwops.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "resource/Archive.h"
#include "resource/ArchiveWriter.h"
#include "pack/FileSource.h"

namespace fs = std::filesystem;
using tessel::Archive;
using tessel::ArchiveEntry;
using tessel::ArchiveSource;
using tessel::FileSource;

namespace {

constexpr const char* kUsage =
    "Usage:\n"
    "  tessel-pack create ARCHIVE FOLDER\n"
    "      Packs every regular file below FOLDER. Entry names are the paths\n"
    "      relative to FOLDER with '/' separators, stored in bytewise order.\n"
    "  tessel-pack create [-C DIR] ARCHIVE FILE...\n"
    "      Packs the listed files in the order given; each entry is named by\n"
    "      its path as written (relative, with '/' separators). With -C, the\n"
    "      paths are read relative to DIR.\n"
    "  tessel-pack list ARCHIVE\n"
    "      Prints one line per entry: its size in bytes, a tab, its name.\n"
    "  tessel-pack extract [-C DIR] ARCHIVE [NAME...]\n"
    "      Writes the named entries (all of them without names) below DIR\n"
    "      (default: the current folder), creating folders as needed.\n"
    "  tessel-pack --help\n"
    "\n"
    "Names are matched byte for byte, as the engine looks them up. When an\n"
    "archive holds a name twice, the engine reads the first; so does extract.\n"
    "Exit status: 0 on success, 1 when something failed, 2 on a usage error.\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "tessel-pack: %s\n", message.c_str());
  return 1;
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "tessel-pack: %s\nTry 'tessel-pack --help'.\n", message.c_str());
  return 2;
}

std::string ErrnoText() { return std::strerror(errno); }

// Arguments after the command: options (-C DIR) and positional words.
struct Arguments {
  std::string directory;
  bool has_directory = false;
  std::vector<std::string> words;
};

bool ParseArguments(int argc, char** argv, int first, Arguments& out, std::string& error) {
  bool options = true;
  for (int i = first; i < argc; ++i) {
    std::string arg = argv[i];
    if (options && arg == "--") {
      options = false;
    } else if (options && arg == "-C") {
      if (i + 1 >= argc) {
        error = "-C needs a folder";
        return false;
      }
      out.directory = argv[++i];
      out.has_directory = true;
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return false;
    } else {
      out.words.push_back(arg);
    }
  }
  return true;
}

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::exists(b, ec) && fs::equivalent(a, b, ec);
}

int CreateFromFolder(const std::string& archive, const fs::path& folder) {
  std::vector<std::pair<std::string, fs::path>> files;
  std::error_code ec;
  fs::recursive_directory_iterator it(folder, ec), end;
  if (ec) return Fail(folder.string() + ": cannot read the folder: " + ec.message());
  for (; it != end; it.increment(ec)) {
    if (ec) return Fail(folder.string() + ": cannot read the folder: " + ec.message());
    std::error_code type_error;
    if (!it->is_regular_file(type_error)) continue;
    // An archive written into the folder it packs must not swallow its
    // previous version.
    if (SameFile(it->path(), archive)) continue;
    files.emplace_back(it->path().lexically_relative(folder).generic_string(), it->path());
  }
  std::sort(files.begin(), files.end());  // std::string orders bytes as unsigned
  std::vector<ArchiveSource> sources;
  for (const auto& [name, path] : files) {
    std::uint64_t size = fs::file_size(path, ec);
    if (ec) return Fail(path.string() + ": cannot read: " + ec.message());
    sources.push_back(FileSource(name, path, size));
  }
  std::string error;
  if (!tessel::WriteArchive(archive, sources, error)) return Fail(error);
  return 0;
}

// An entry name as an author writes it: relative, '/'-separated, no "." or
// ".." parts, so the engine and extract both see a plain path.
bool EntryNameFor(const std::string& argument, std::string& name, std::string& error) {
  fs::path path(argument);
  if (path.is_absolute()) {
    error = argument + ": give files as relative paths (use -C for their folder)";
    return false;
  }
  const fs::path normal = path.lexically_normal();
  name = normal.generic_string();
  if (name.empty() || name == "." || *normal.begin() == ".." || name.back() == '/') {
    error = argument + ": not a file path inside the packed folder";
    return false;
  }
  return true;
}

int CreateFromFiles(const std::string& archive, const Arguments& args) {
  const fs::path base = args.has_directory ? fs::path(args.directory) : fs::path();
  std::vector<ArchiveSource> sources;
  std::set<std::string> names;
  for (std::size_t i = 1; i < args.words.size(); ++i) {
    const std::string& argument = args.words[i];
    std::string name;
    std::string error;
    if (!EntryNameFor(argument, name, error)) return Fail(error);
    const fs::path file = base / argument;
    std::error_code ec;
    fs::file_status status = fs::status(file, ec);
    if (ec || !fs::exists(status)) return Fail(file.string() + ": no such file");
    if (fs::is_directory(status)) {
      return Fail(file.string() + ": is a folder; to pack a folder give it as the only source");
    }
    if (!fs::is_regular_file(status)) return Fail(file.string() + ": not a regular file");
    if (!names.insert(name).second) return Fail(argument + ": entry name " + name + " given twice");
    std::uint64_t size = fs::file_size(file, ec);
    if (ec) return Fail(file.string() + ": cannot read: " + ec.message());
    sources.push_back(FileSource(name, file, size));
  }
  std::string error;
  if (!tessel::WriteArchive(archive, sources, error)) return Fail(error);
  return 0;
}

int Create(const Arguments& args) {
  if (args.words.size() < 2) return UsageError("create needs an archive and a folder or files");
  const std::string& archive = args.words[0];
  if (args.words.size() == 2 && !args.has_directory) {
    std::error_code ec;
    if (fs::is_directory(args.words[1], ec)) return CreateFromFolder(archive, args.words[1]);
  }
  return CreateFromFiles(archive, args);
}

// Opens an archive for reading, or prints why it cannot be.
bool OpenArchive(const std::string& path, std::unique_ptr<Archive>& archive) {
  std::FILE* probe = std::fopen(path.c_str(), "rb");
  if (probe == nullptr) {
    Fail(path + ": cannot open: " + ErrnoText());
    return false;
  }
  std::fclose(probe);
  archive = std::make_unique<Archive>(path);
  if (!archive->IsOpen()) {
    Fail(path + ": not an archive (its tables are missing or malformed)");
    return false;
  }
  if (archive->SkippedEntries() > 0) {
    std::fprintf(stderr, "tessel-pack: warning: %s: %zu malformed entries skipped\n", path.c_str(),
                 archive->SkippedEntries());
  }
  return true;
}

int List(const Arguments& args) {
  if (args.words.size() != 1 || args.has_directory) return UsageError("list needs exactly one archive");
  std::unique_ptr<Archive> archive;
  if (!OpenArchive(args.words[0], archive)) return 1;
  for (const ArchiveEntry& entry : archive->Entries()) {
    std::printf("%u\t%s\n", entry.length, entry.name.c_str());
  }
  return archive->SkippedEntries() > 0 ? 1 : 0;
}

// Entry names come from the archive: never let one write outside the target.
bool IsSafeName(const std::string& name) {
  if (name.empty() || name.front() == '/') return false;
  std::size_t begin = 0;
  while (begin <= name.size()) {
    std::size_t slash = name.find('/', begin);
    if (slash == std::string::npos) slash = name.size();
    std::string part = name.substr(begin, slash - begin);
    if (part.empty() || part == "." || part == "..") return false;
    begin = slash + 1;
  }
  return true;
}

bool ExtractEntry(const Archive& archive, const ArchiveEntry& entry, const fs::path& target_dir) {
  if (!IsSafeName(entry.name)) {
    Fail(archive.Path() + ": entry " + entry.name + " has an unsafe name; not extracted");
    return false;
  }
  const fs::path target = target_dir / entry.name;
  std::error_code ec;
  fs::create_directories(target.parent_path(), ec);
  if (ec) {
    Fail(target.parent_path().string() + ": cannot create the folder: " + ec.message());
    return false;
  }
  SDL_RWops* stream = archive.OpenStream(entry);
  if (stream == nullptr) {
    Fail(archive.Path() + ": cannot read entry " + entry.name + ": " + SDL_GetError());
    return false;
  }
  std::FILE* out = std::fopen(target.c_str(), "wb");
  if (out == nullptr) {
    Fail(target.string() + ": cannot create: " + ErrnoText());
    SDL_RWclose(stream);
    return false;
  }
  std::vector<char> buffer(1 << 16);
  std::uint64_t copied = 0;
  bool ok = true;
  while (int got = SDL_RWread(stream, buffer.data(), 1, static_cast<int>(buffer.size()))) {
    if (got < 0 || std::fwrite(buffer.data(), 1, static_cast<std::size_t>(got), out) != std::size_t(got)) {
      ok = false;
      break;
    }
    copied += static_cast<std::uint64_t>(got);
  }
  SDL_RWclose(stream);
  if (std::fclose(out) != 0) ok = false;
  if (!ok || copied != entry.length) {
    Fail(target.string() + ": cannot write entry " + entry.name);
    return false;
  }
  return true;
}

int Extract(const Arguments& args) {
  if (args.words.empty()) return UsageError("extract needs an archive");
  std::unique_ptr<Archive> archive;
  if (!OpenArchive(args.words[0], archive)) return 1;
  const fs::path target_dir = args.has_directory ? fs::path(args.directory) : fs::path(".");
  int status = archive->SkippedEntries() > 0 ? 1 : 0;
  if (args.words.size() == 1) {
    std::set<std::string> done;
    for (const ArchiveEntry& entry : archive->Entries()) {
      if (!done.insert(entry.name).second) {
        std::fprintf(stderr, "tessel-pack: warning: %s: later duplicate of %s skipped\n",
                     archive->Path().c_str(), entry.name.c_str());
        continue;
      }
      if (!ExtractEntry(*archive, entry, target_dir)) status = 1;
    }
    return status;
  }
  for (std::size_t i = 1; i < args.words.size(); ++i) {
    const ArchiveEntry* entry = archive->Find(args.words[i]);
    if (entry == nullptr) {
      status = Fail(archive->Path() + ": no entry named " + args.words[i]);
    } else if (!ExtractEntry(*archive, *entry, target_dir)) {
      status = 1;
    }
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return UsageError("no command given");
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  Arguments args;
  std::string error;
  if (!ParseArguments(argc, argv, 2, args, error)) return UsageError(error);
  if (command == "create") return Create(args);
  if (command == "list") return List(args);
  if (command == "extract") return Extract(args);
  return UsageError("unknown command " + command);
}
