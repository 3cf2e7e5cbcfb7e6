#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "text/ScenarioListener.h"

namespace tessel {

class Scenario;
class ScenarioController;

// The bridge from scenario text to the script host: runs script blocks as Lua
// and enters the files that call lines name. Lets every token pass on.
class SystemScenarioListener : public ScenarioListener {
 public:
  bool OnScriptBlock(const std::u16string& text, int line) override;
  bool OnCall(const std::u16string& name) override;
};

// Mounts main.dat, reads funcdef.tsl into the command registry and main.tsl
// into the reader. False when there is no game to play (messages written).
bool BootGame(ScenarioController& controller);

// Reads funcdef.tsl and builds the command registry from it.
bool LoadFunctionDefinitions(ScenarioController& controller);

// Reads a scenario file by name (archives, then the base directory); nullptr,
// after its message, when it is found nowhere.
std::unique_ptr<Scenario> LoadScenarioFile(const std::string& name);

// A file named in scenario text (a call line or a choice target): tried as
// Shift-JIS bytes first (archives made on Japanese systems store those), then
// as UTF-8. Writes the reading messages; nullptr when neither exists.
std::unique_ptr<Scenario> LoadScenarioByTextName(std::u16string_view name);

// Runs a scenario's script block with error messages naming the file and the
// line of the scenario.
void RunScriptBlock(const std::string& utf8_code, const std::string& file, int first_line);

}  // namespace tessel
