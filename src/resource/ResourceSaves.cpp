#include "resource/ResourceSaves.h"

#include <filesystem>

#include "resource/Archive.h"
#include "script/ObjectSaves.h"

namespace tessel {

void Archive::SaveState(SaveWriter& out) const { out.String(path_); }

void RegisterResourceSaveSections() {
  RegisterObjectKind(Archive::kSaveKind, [](SaveReader& in) -> ObjectBuilder {
    std::string path = in.String(4096);
    if (!in.Ok()) return {};
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
      in.Fail("the archive " + path + " no longer exists");
      return {};
    }
    return [path] {
      auto archive = std::make_unique<Archive>(path);
      if (!archive->IsOpen()) return std::unique_ptr<EngineObject>();
      ArchiveList::Mount(archive.get());
      return std::unique_ptr<EngineObject>(std::move(archive));
    };
  });
  // Before everything that may be read from an archive (pictures, fonts, sounds).
  RegisterObjectSection("archives", 100, {Archive::kSaveKind});
}

}  // namespace tessel
