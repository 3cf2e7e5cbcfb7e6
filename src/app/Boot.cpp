#include "app/Boot.h"

#include "app/ScriptApi.h"
#include "core/DebugLog.h"
#include "resource/Archive.h"
#include "resource/BaseDirectory.h"
#include "resource/ResourceFile.h"
#include "script/LuaEnvironment.h"
#include "script/ScriptHost.h"
#include "text/Scenario.h"
#include "text/ScenarioController.h"
#include "text/ScenarioFiles.h"
#include "text/ScenarioReader.h"

namespace tessel {

std::unique_ptr<ScriptApi> LoadFunctionDefinitions() {
  DebugLog::Print("Reading Script funcdef.tsl\n");
  std::optional<std::string> text = ReadResource("funcdef.tsl");
  if (!text) {
    DebugLog::Print("Error : funcdef.tsl doesn't exist.\n");
    return nullptr;
  }
  DebugLog::Print("Reading Script funcdef.tsl OK.\n");
  return std::make_unique<ScriptApi>(*text);
}

namespace {

void MountBootArchive() {
  // main.dat is looked for where the engine was started, then beside the game.
  if (Archive* archive = LoadArchive("", "main.dat")) {
    (void)archive;
    return;
  }
  if (!BaseDirectory().empty()) LoadArchive(BaseDirectory(), "main.dat");
}

}  // namespace

bool BootGame(ScenarioController& controller, std::unique_ptr<ScriptApi>& commands) {
  if (!Host().IsOpen()) return false;
  MountBootArchive();
  // A game's Lua modules load from its archive or its folder, wherever it was started.
  SetModuleReader([](const std::string& file) { return ReadResource(file); });
  commands = LoadFunctionDefinitions();
  if (!commands) return false;
  std::unique_ptr<Scenario> main = LoadScenarioFile("main.tsl");
  if (!main) return false;
  controller.SetReader(std::make_unique<ScenarioReader>(std::move(main)));
  return true;
}

}  // namespace tessel
