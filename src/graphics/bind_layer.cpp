// Script commands of the layer family.
#include "core/DebugLog.h"
#include "graphics/Layer.h"
#include "graphics/LayerTable.h"
#include "graphics/Renderer.h"
#include "graphics/TexImage.h"
#include "script/CommandFamilies.h"
#include "script/HandleCommand.h"

namespace tessel {
namespace {

// The commands whose first argument is a layer.
using LayerCommand = HandleCommand<Layer>;

void ReportSlot(const char* command, int number) {
  DebugLog::Print("%s: layer number %d is outside the table (0..%d); nothing changed.\n", command,
                  number, LayerTable::Size() - 1);
}

class CreateLayer final : public ScriptFunction {
  int Invoke() override {
    auto* image = ArgObject<TexImage>(1);
    if (image == nullptr) return Released(TexImage::kReleasedMessage, 1);
    return PushObject(Registry().Add(std::make_unique<Layer>(image->SharedTexture())));
  }
};

class ReleaseLayer final : public LayerCommand {
  int Run(Layer& layer) override {
    LayerTable::Remove(&layer);
    ReleaseWhenSafe(&layer);
    return 0;
  }
};

class LayerAddFront final : public LayerCommand {
  int Run(Layer& layer) override {
    LayerTable::AddFront(&layer);
    return 0;
  }
};

class LayerSet final : public LayerCommand {
  int Run(Layer& layer) override {
    const int number = ArgInt(2);
    if (!LayerTable::Set(number, &layer)) ReportSlot(Name(), number);
    return 0;
  }
};

class DeleteLayer final : public ScriptFunction {
  int Invoke() override {
    if (IsNumberArg(1)) {
      const int number = ArgInt(1);
      if (!LayerTable::ClearSlot(number)) ReportSlot(Name(), number);
      return 0;
    }
    Layer* layer = ArgObject<Layer>(1);
    if (layer == nullptr) return Released(Layer::kReleasedMessage, 0);
    LayerTable::Remove(layer);
    return 0;
  }
};

class ChgLayerNum final : public ScriptFunction {
  int Invoke() override {
    const int a = ArgInt(1);
    const int b = ArgInt(2);
    if (!LayerTable::Swap(a, b)) ReportSlot(Name(), LayerTable::Contains(a) ? b : a);
    return 0;
  }
};

class VisibleLayer final : public LayerCommand {
  int Run(Layer& layer) override {
    layer.SetVisible(ArgBool(2));
    return 0;
  }
};

class OffsetLayer final : public LayerCommand {
  int Run(Layer& layer) override {
    layer.SetOffset(ArgInt(2), ArgInt(3));
    return 0;
  }
};

class GetLayerOffset final : public LayerCommand {
  int Results() const override { return 2; }
  int Run(Layer& layer) override {
    PushInt(layer.X());
    PushInt(layer.Y());
    return 2;
  }
};

class GetLayerSize final : public LayerCommand {
  int Results() const override { return 2; }
  int Run(Layer& layer) override {
    PushInt(layer.ImageWidth());
    PushInt(layer.ImageHeight());
    return 2;
  }
};

class ChgLayerAlpha final : public LayerCommand {
  int Run(Layer& layer) override {
    layer.SetAlpha(ArgNumber(2));
    return 0;
  }
};

class SetLayerISize final : public LayerCommand {
  int Run(Layer& layer) override {
    layer.SetSourceRect(static_cast<float>(ArgNumber(2)), static_cast<float>(ArgNumber(3)),
                        static_cast<float>(ArgNumber(4)), static_cast<float>(ArgNumber(5)));
    return 0;
  }
};

class SetLayerBlendParam final : public LayerCommand {
  int Run(Layer& layer) override {
    const int source = ArgInt(2);
    const int destination = ArgInt(3);
    if (!layer.SetBlend(source, destination)) {
      DebugLog::Print(
          "SetLayerBlendParam: %d, %d are not blend factors OpenGL accepts; the layer "
          "keeps %d, %d.\n",
          source, destination, layer.BlendSource(), layer.BlendDestination());
    }
    return 0;
  }
};

class ScaleLayer final : public LayerCommand {
  int Run(Layer& layer) override {
    layer.SetScale({ArgNumber(2), ArgNumber(3), ArgNumber(4)});
    return 0;
  }
};

class RotateLayer final : public LayerCommand {
  int Run(Layer& layer) override {
    layer.SetRotation({ArgNumber(2), ArgNumber(3), ArgNumber(4)});
    return 0;
  }
};

class SetTransformCenter final : public LayerCommand {
  int Run(Layer& layer) override {
    layer.SetTransformCenter({ArgNumber(2), ArgNumber(3), ArgNumber(4)});
    return 0;
  }
};

constexpr CommandEntry kCommands[] = {
    {"CreateLayer", MakeCommand<CreateLayer>, 9},
    {"ReleaseLayer", MakeCommand<ReleaseLayer>, 10},
    {"LayerAddFront", MakeCommand<LayerAddFront>, 7},
    {"LayerSet", MakeCommand<LayerSet>, 8},
    {"DeleteLayer", MakeCommand<DeleteLayer>, 13},
    {"ChgLayerNum", MakeCommand<ChgLayerNum>, 15},
    {"VisibleLayer", MakeCommand<VisibleLayer>, 11},
    {"OffsetLayer", MakeCommand<OffsetLayer>, 12},
    {"GetLayerOffset", MakeCommand<GetLayerOffset>, 23},
    {"GetLayerSize", MakeCommand<GetLayerSize>, 22},
    {"ChgLayerAlpha", MakeCommand<ChgLayerAlpha>, 16},
    {"SetLayerISize", MakeCommand<SetLayerISize>, 17},
    {"SetLayerBlendParam", MakeCommand<SetLayerBlendParam>, 19},
    {"ScaleLayer", MakeCommand<ScaleLayer>, 20},
    {"RotateLayer", MakeCommand<RotateLayer>, 21},
    {"SetTransformCenter", MakeCommand<SetTransformCenter>, 24},
};

}  // namespace

std::span<const CommandEntry> LayerCommands() { return kCommands; }

}  // namespace tessel
