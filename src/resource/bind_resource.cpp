// Script commands of the archive family.
#include "core/PlayMonitor.h"
#include "resource/Archive.h"
#include "resource/BaseDirectory.h"
#include "script/CommandFamilies.h"
#include "script/HandleCommand.h"

namespace tessel {
namespace {

class ArchiveLoad final : public ScriptFunction {
  int Invoke() override {
    // Only a real string names a file; a name with a zero byte names none.
    const std::optional<std::string_view> name = ArgBytes(1);
    if (!name || name->find('\0') != std::string_view::npos) return PushNil();
    Archive* archive = LoadArchive(BaseDirectory(), *name);
    if (archive == nullptr) {
      NoteProblem(ProblemKind::kMissingFile,
                  "archive '" + std::string(*name) + "' does not exist or cannot be read");
      return PushNil();
    }
    return PushObject(archive);
  }
};

class ArchiveRelease final : public HandleCommand<Archive> {
  int Run(Archive& archive) override {
    // Streams already open on it keep their own handles and stay readable.
    ArchiveList::Unmount(&archive);
    Registry().Release(&archive);
    return 0;
  }
};

constexpr CommandEntry kCommands[] = {
    {"ArchiveLoad", MakeCommand<ArchiveLoad>, 1},
    {"ArchiveRelease", MakeCommand<ArchiveRelease>, 2},
};

}  // namespace

std::span<const CommandEntry> ResourceCommands() { return kCommands; }

}  // namespace tessel
