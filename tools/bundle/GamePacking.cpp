#include "bundle/GamePacking.h"

#include <SDL_rwops.h>

#include <algorithm>
#include <memory>

#include "bundle/Text.h"
#include "pack/FileSource.h"
#include "resource/Archive.h"
#include "resource/ArchiveWriter.h"

namespace fs = std::filesystem;

namespace tessel::bundle {
namespace {

bool EndsWith(const std::string& name, std::string_view suffix) {
  return Lower(name).ends_with(suffix);
}

bool IsHidden(const fs::path& relative) {
  for (const fs::path& part : relative) {
    if (part.string().starts_with(".")) return true;
  }
  return false;
}

bool CopyInto(const fs::path& from, const fs::path& out, const std::string& name,
              std::string& error) {
  std::error_code ec;
  fs::create_directories((out / name).parent_path(), ec);
  if (!ec) fs::copy_file(from, out / name, fs::copy_options::overwrite_existing, ec);
  if (ec) error = from.string() + ": cannot copy into the bundle: " + ec.message();
  return !ec;
}

// The entries of an existing archive, streamed from it while writing.
void AddArchiveEntries(const std::shared_ptr<Archive>& archive, std::vector<ArchiveSource>& sources) {
  for (const ArchiveEntry& entry : archive->Entries()) {
    ArchiveSource source;
    source.name = entry.name;
    source.size = entry.length;
    source.produce = [archive, entry](const ArchiveSource::Emit& emit, std::string& error) {
      SDL_RWops* stream = archive->OpenStream(entry);
      std::string bytes(entry.length, '\0');
      const bool ok = stream != nullptr &&
                      (entry.length == 0 || SDL_RWread(stream, bytes.data(), entry.length, 1) == 1);
      if (stream != nullptr) SDL_RWclose(stream);
      if (!ok) error = archive->Path() + ": cannot read " + entry.name;
      return ok && emit(bytes.data(), bytes.size());
    };
    sources.push_back(std::move(source));
  }
}

bool PackFolder(const fs::path& folder, const fs::path& out, std::vector<std::string>& copied,
                std::string& error) {
  std::vector<std::pair<std::string, fs::path>> packed;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code type_error;
    if (!it->is_regular_file(type_error)) continue;
    const fs::path relative = it->path().lexically_relative(folder);
    const std::string name = relative.generic_string();
    if (IsHidden(relative) || name == "bundle.ini" || name == "main.dat") continue;
    if (IsFontFileName(name) || EndsWith(name, ".dat")) {
      if (!CopyInto(it->path(), out, name, error)) return false;
      copied.push_back(name);
    } else {
      packed.emplace_back(name, it->path());
    }
  }
  if (ec) {
    error = folder.string() + ": cannot read the folder: " + ec.message();
    return false;
  }
  std::sort(packed.begin(), packed.end());
  std::vector<ArchiveSource> sources;
  if (fs::is_regular_file(folder / "main.dat", ec)) {
    auto archive = std::make_shared<Archive>((folder / "main.dat").string());
    if (!archive->IsOpen()) {
      error = (folder / "main.dat").string() + ": not an archive the engine can read";
      return false;
    }
    AddArchiveEntries(archive, sources);
  }
  for (const auto& [name, path] : packed) {
    sources.push_back(FileSource(name, path, fs::file_size(path, ec)));
  }
  return WriteArchive((out / "main.dat").string(), sources, error);
}

bool CopyArchive(const fs::path& archive, const fs::path& out, std::vector<std::string>& copied,
                 std::string& error) {
  if (!Archive(archive.string()).IsOpen()) {
    error = archive.string() + ": not an archive the engine can read";
    return false;
  }
  if (!CopyInto(archive, out, "main.dat", error)) return false;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(archive.parent_path(), ec)) {
    const std::string name = entry.path().filename().string();
    std::error_code type_error;
    if (!entry.is_regular_file(type_error) || entry.path() == archive) continue;
    if (name == "funcdef.tsl" || (EndsWith(name, ".dat") && name != "main.dat")) {
      if (!CopyInto(entry.path(), out, name, error)) return false;
      copied.push_back(name);
    }
  }
  return true;
}

}  // namespace

bool IsFontFileName(const std::string& name) {
  return EndsWith(name, ".ttf") || EndsWith(name, ".ttc") || EndsWith(name, ".otf") ||
         EndsWith(name, ".otc");
}

bool PackGame(const fs::path& game, const fs::path& out, std::vector<std::string>& copied,
              std::string& error) {
  std::error_code ec;
  fs::create_directories(out, ec);
  if (ec) {
    error = out.string() + ": cannot create: " + ec.message();
    return false;
  }
  if (fs::is_directory(game, ec)) return PackFolder(game, out, copied, error);
  return CopyArchive(game, out, copied, error);
}

}  // namespace tessel::bundle
