#include "script/CommandFamilies.h"

namespace tessel {

// This family's commands are not built yet; the registry answers them as dummies.
std::span<const CommandEntry> SoundCommands() { return {}; }

}  // namespace tessel
