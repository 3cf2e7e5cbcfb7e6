// Script commands of the texture-image family.
#include "core/DebugLog.h"
#include "graphics/Surface.h"
#include "graphics/TexImage.h"
#include "graphics/TextureSaves.h"
#include "script/CommandFamilies.h"
#include "script/HandleCommand.h"

namespace tessel {
namespace {

class LoadTexImage final : public ScriptFunction {
  int Invoke() override {
    if (IsNumberArg(1) && IsNumberArg(2)) {
      auto image = std::make_unique<TexImage>(ArgInt(1), ArgInt(2));
      SetSizeSource(image->GetTexture(), ArgInt(1), ArgInt(2));
      return PushObject(Registry().Add(std::move(image)));
    }
    if (IsStringTypeArg(1)) {
      // A missing or undecodable file still gives a live, empty texture image.
      SurfacePtr picture = LoadImage(ArgString(1));
      auto image = std::make_unique<TexImage>(picture.get());
      SetFileSource(image->GetTexture(), ArgString(1));
      return PushObject(Registry().Add(std::move(image)));
    }
    DebugLog::Print(
        "LoadTexImage: expected a file name or a width and a height; no texture "
        "image was made.\n");
    return PushNullObject();
  }
};

class ReleaseTexImage final : public HandleCommand<TexImage> {
  int Run(TexImage& image) override {
    // Layers made from it keep its texture (they share it) and go on drawing.
    Registry().Release(&image);
    return 0;
  }
};

class GetTexImageInf final : public HandleCommand<TexImage> {
  int Results() const override { return 2; }
  int Run(TexImage& image) override {
    PushInt(static_cast<int>(image.GetTexture().ImageWidth()));
    PushInt(static_cast<int>(image.GetTexture().ImageHeight()));
    return 2;
  }
};

constexpr CommandEntry kCommands[] = {
    {"LoadTexImage", MakeCommand<LoadTexImage>, 25},
    {"GetTexImageInf", MakeCommand<GetTexImageInf>, 27},
    {"ReleaseTexImage", MakeCommand<ReleaseTexImage>, 26},
};

}  // namespace

std::span<const CommandEntry> TextureCommands() { return kCommands; }

}  // namespace tessel
