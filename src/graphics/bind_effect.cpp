// Script commands of the layer-effect family.
#include <memory>
#include <string>

#include "core/DebugLog.h"
#include "graphics/Layer.h"
#include "graphics/LayerEffect.h"
#include "script/CommandFamilies.h"
#include "script/HandleCommand.h"

namespace tessel {
namespace {

// The kinds scripts pass to EffectCopy.
constexpr int kFadeIn = 1;
constexpr int kFadeOut = 2;
constexpr int kScripted = 1000;

class EffectCopy final : public ScriptFunction {
  int Invoke() override {
    Layer* layer = ArgObject<Layer>(1);
    if (layer == nullptr) return Released(Layer::kReleasedMessage, 1);
    const int kind = ArgInt(2);
    const int duration = ArgInt(3);
    const bool skippable = ArgBool(4);
    LayerEffect* effect = nullptr;
    switch (kind) {
      case kFadeIn:
      case kFadeOut:
        effect = Registry().Add(
            std::make_unique<FadeEffect>(*layer, duration, skippable, kind == kFadeIn));
        break;
      case kScripted:
        effect = Registry().Add(std::make_unique<ScriptEffect>(
            *layer, duration, skippable, FunctionName(5), FunctionName(6), FunctionName(7)));
        break;
      default:
        DebugLog::Print("EffectCopy: %d is not an effect kind (1, 2 or 1000); nothing started.\n",
                        kind);
        return PushNullObject();
    }
    // The start function runs scripts; the effect is found again afterwards
    // rather than trusted to have survived them.
    const void* handle = effect->Handle();
    effect->Start();
    return PushHandle(handle);
  }

  // A missing or non-string name skips that call.
  std::string FunctionName(int index) const {
    const char* name = IsStringTypeArg(index) ? ArgString(index) : nullptr;
    return name != nullptr ? name : "";
  }

  int PushHandle(const void* handle) {
    EngineObject* object = Registry().Find(handle);
    return object != nullptr ? PushObject(object) : PushNil();
  }
};

class StopLayerEffect final : public HandleCommand<LayerEffect> {
  int Run(LayerEffect& effect) override {
    effect.Stop();
    return 0;
  }
};

constexpr CommandEntry kCommands[] = {
    {"EffectCopy", MakeCommand<EffectCopy>, 14},
    {"StopLayerEffect", MakeCommand<StopLayerEffect>, 18},
};

}  // namespace

std::span<const CommandEntry> EffectCommands() { return kCommands; }

}  // namespace tessel
