#pragma once

#include <memory>

namespace tessel {

class ScenarioController;
class ScriptApi;

// Reads funcdef.tsl and builds the command table from it; nullptr, after its
// message, when the file is missing.
std::unique_ptr<ScriptApi> LoadFunctionDefinitions();

// Mounts main.dat, builds the command table from funcdef.tsl into `commands`
// and reads main.tsl into the controller's reader. False when there is no game
// to play (messages written). The table must outlive the controller's Lua
// state: its commands are registered there.
bool BootGame(ScenarioController& controller, std::unique_ptr<ScriptApi>& commands);

}  // namespace tessel
