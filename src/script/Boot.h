#pragma once

#include <string>

namespace tessel {

class ScenarioController;

// The bridge from scenario text to the script host: runs script blocks and
// enters the files that call lines name.
class SystemScenarioListener {
 public:
  virtual ~SystemScenarioListener() = default;
};

// Mounts main.dat, reads funcdef.tsl into the command registry and main.tsl
// into the reader. False when the game's files are missing.
bool BootGame(ScenarioController& controller);

// Reads funcdef.tsl and builds the command registry from it.
bool LoadFunctionDefinitions(ScenarioController& controller);

}  // namespace tessel
