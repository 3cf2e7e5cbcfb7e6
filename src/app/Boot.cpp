#include "app/Boot.h"

#include <filesystem>


#include "app/ScriptApi.h"
#include "app/save/SaveSlots.h"
#include "core/DebugLog.h"
#include "resource/Archive.h"
#include "resource/BaseDirectory.h"
#include "resource/DiskPath.h"
#include "resource/ResourceFile.h"
#include "script/LuaEnvironment.h"
#include "script/LuaSnapshot.h"
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

void LogMounted(const Archive& archive) {
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(archive.Path(), error);
  DebugLog::Print("Mounted %s\n", error ? archive.Path().c_str() : full.c_str());
}

// A game folder named on the command line whose own game loses to the
// working folder's main.dat: say so, since the story played is not the one named.
void WarnIfNamedGameIgnored() {
  const std::string& base = BaseDirectory();
  if (base.empty()) return;
  std::error_code error;
  if (std::filesystem::equivalent(base, ".", error)) return;
  const bool has_game = IsRegularFile(base + "main.tsl") || IsRegularFile(base + "main.dat");
  if (!has_game) return;
  DebugLog::Print(
      "Warning: %s holds a game of its own, but the main.dat of the working folder is mounted "
      "first and wins. To play the game in %s, start tessel there (cd %s && tessel .) or from a "
      "folder without a main.dat.\n",
      base.c_str(), base.c_str(), base.c_str());
}

void MountBootArchive() {
  // main.dat is looked for where the engine was started, then beside the game.
  if (Archive* archive = LoadArchive("", "main.dat")) {
    LogMounted(*archive);
    WarnIfNamedGameIgnored();
    return;
  }
  if (BaseDirectory().empty()) return;
  if (Archive* archive = LoadArchive(BaseDirectory(), "main.dat")) LogMounted(*archive);
}

}  // namespace

bool BootGame(ScenarioController& controller, std::unique_ptr<ScriptApi>& commands) {
  if (!Host().IsOpen()) return false;
  MountBootArchive();
  // A game's Lua modules load from its archive or its folder, wherever it was started.
  SetModuleReader([](const std::string& file) { return ReadResource(file); });
  commands = LoadFunctionDefinitions();
  if (!commands) return false;
  // What the game adds to this state is what a save keeps.
  CaptureLuaBaseline(Host().State());
  PrepareSaving();
  std::unique_ptr<Scenario> main = LoadScenarioFile("main.tsl");
  if (!main) return false;
  controller.SetReader(std::make_unique<ScenarioReader>(std::move(main)));
  return true;
}

}  // namespace tessel
