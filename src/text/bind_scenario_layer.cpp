// Script commands of the scenario layer family.
#include <algorithm>

#include "core/DebugLog.h"
#include "graphics/Texture.h"
#include "script/CommandFamilies.h"
#include "script/HandleCommand.h"
#include "text/Font.h"
#include "text/ScenarioController.h"
#include "text/ScenarioLayer.h"

namespace tessel {
namespace {

// Without a window the largest texture is not known yet; the page is made
// once one exists, so the size is only held to a sane bound until then.
constexpr int kLimitWithoutWindow = 16384;

// Pages from 1 pixel up to the largest texture; else a log line.
bool CheckPageSize(const char* command, int width, int height) {
  const int max_size = Texture::MaxSize() > 0 ? Texture::MaxSize() : kLimitWithoutWindow;
  if (width >= 1 && height >= 1 && width <= max_size && height <= max_size) return true;
  DebugLog::Print("%s: a %dx%d message window is not possible (1 to %d pixels a side).\n", command,
                  width, height, max_size);
  return false;
}

// The commands whose first argument is a scenario layer; anything else (a
// plain layer too) gets the layer family's message.
using ScenarioLayerCommand = HandleCommand<ScenarioLayer>;

class CreateScenarioLayer final : public ScriptFunction {
  int Invoke() override {
    const int width = ArgInt(1);
    const int height = ArgInt(2);
    Font* main_font = ArgObject<Font>(3);
    if (main_font == nullptr) return BadHandle(3, Font::kHandleName, 1);
    Font* ruby_font = ArgObject<Font>(4);
    if (ruby_font == nullptr) return BadHandle(4, Font::kHandleName, 1);
    if (!CheckPageSize(Name(), width, height)) return PushNil();
    auto* layer = Registry().Add(
        std::make_unique<ScenarioLayer>(main_font->Data(), ruby_font->Data(), width, height));
    EventHandlerList::Add(layer);
    return PushObject(layer);
  }
};

class EnableScenarioLayer final : public ScenarioLayerCommand {
  int Run(ScenarioLayer& layer) override {
    layer.Enable();
    return 0;
  }
};

class DisableScenarioLayer final : public ScenarioLayerCommand {
  int Run(ScenarioLayer& layer) override {
    layer.Disable();
    return 0;
  }
};

class ResizeMesWnd final : public ScenarioLayerCommand {
  int Run(ScenarioLayer& layer) override {
    const int width = ArgInt(2);
    const int height = ArgInt(3);
    if (CheckPageSize(Name(), width, height)) layer.ResizePage(width, height);
    return 0;
  }
};

class ChgMesWait final : public ScenarioLayerCommand {
  int Run(ScenarioLayer& layer) override {
    layer.ChangeWait(ArgInt(2));
    return 0;
  }
};

// The pause is the whole story's; the layer argument plays no part, so any
// value is accepted there.
class MesWndWait final : public ScriptFunction {
  int Invoke() override {
    if (ScenarioController* controller = ScenarioController::Instance()) {
      controller->Wait(std::max(ArgInt(2), 0));
    }
    return 0;
  }
};

class SetMesKeywaitFunc final : public ScenarioLayerCommand {
  // Only a string names a function; anything else switches that call off.
  std::string FunctionName(int index) const {
    if (!IsStringTypeArg(index)) return {};
    const char* name = ArgString(index);
    return name != nullptr ? std::string(name) : std::string();
  }

  int Run(ScenarioLayer& layer) override {
    layer.Callbacks().Set(FunctionName(2), FunctionName(3), FunctionName(4), ArgInt(5));
    return 0;
  }
};

constexpr CommandEntry kCommands[] = {
    {"CreateScenarioLayer", MakeCommand<CreateScenarioLayer>, 31},
    {"EnableScenarioLayer", MakeCommand<EnableScenarioLayer>, 32},
    {"DisableScenarioLayer", MakeCommand<DisableScenarioLayer>, 33},
    {"ChgMesWait", MakeCommand<ChgMesWait>, 30},
    {"MesWndWait", MakeCommand<MesWndWait>, 34},
    {"SetMesKeywaitFunc", MakeCommand<SetMesKeywaitFunc>, 35},
    {"ResizeMesWnd", MakeCommand<ResizeMesWnd>, 29},
};

}  // namespace

std::span<const CommandEntry> ScenarioLayerCommands() { return kCommands; }

}  // namespace tessel
