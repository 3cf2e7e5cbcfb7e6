#include "script/Boot.h"

#include <memory>

#include "app/DebugLog.h"
#include "resource/ResourceFile.h"
#include "script/ScriptApi.h"
#include "text/ScenarioController.h"

namespace tessel {

bool LoadFunctionDefinitions(ScenarioController& controller) {
  DebugLog::Print("Reading Script funcdef.tsl\n");
  std::optional<std::string> text = ReadResource("funcdef.tsl");
  if (!text) {
    DebugLog::Print("Error : funcdef.tsl doesn't exist.\n");
    return false;
  }
  DebugLog::Print("Reading Script funcdef.tsl OK.\n");
  controller.SetApi(std::make_unique<ScriptApi>(*text));
  return true;
}

bool BootGame(ScenarioController& controller) {
  if (!LoadFunctionDefinitions(controller)) return false;
  return false;
}

}  // namespace tessel
