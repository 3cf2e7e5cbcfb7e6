// Script commands of the archive family.
#include <cstring>

extern "C" {
#include <lua.h>
}

#include "core/PlayMonitor.h"
#include "resource/Archive.h"
#include "resource/BaseDirectory.h"
#include "script/CommandFamilies.h"

namespace tessel {
namespace {

class ArchiveLoad final : public ScriptFunction {
  int Invoke() override {
    // Only a real string names a file; a name with a zero byte names none.
    if (!IsStringTypeArg(1)) return PushNil();
    std::size_t length = 0;
    const char* name = lua_tolstring(State(), 1, &length);
    if (name == nullptr || std::strlen(name) != length) return PushNil();
    Archive* archive = LoadArchive(BaseDirectory(), std::string_view(name, length));
    if (archive == nullptr) {
      NoteProblem(ProblemKind::kMissingFile,
                  "archive '" + std::string(name, length) + "' does not exist or cannot be read");
      return PushNil();
    }
    return PushObject(archive);
  }
};

class ArchiveRelease final : public ScriptFunction {
  int Invoke() override {
    auto* archive = ArgObject<Archive>(1);
    if (archive == nullptr) return BadHandle(1, "archive", 0);
    // Streams already open on it keep their own handles and stay readable.
    ArchiveList::Unmount(archive);
    Registry().Release(archive);
    return 0;
  }
};

constexpr CommandEntry kCommands[] = {
    {"ArchiveLoad", MakeCommand<ArchiveLoad>},
    {"ArchiveRelease", MakeCommand<ArchiveRelease>},
};

}  // namespace

std::span<const CommandEntry> ResourceCommands() { return kCommands; }

}  // namespace tessel
