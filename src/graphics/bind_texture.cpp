// Script commands of the texture-image family.
#include "core/DebugLog.h"
#include "graphics/Surface.h"
#include "graphics/TexImage.h"
#include "script/CommandFamilies.h"

namespace tessel {
namespace {

class LoadTexImage final : public ScriptFunction {
  int Invoke() override {
    if (IsNumberArg(1) && IsNumberArg(2)) {
      return PushObject(Registry().Add(std::make_unique<TexImage>(ArgInt(1), ArgInt(2))));
    }
    if (IsStringTypeArg(1)) {
      // A missing or undecodable file still gives a live, empty texture image.
      SurfacePtr picture = LoadImage(ArgString(1));
      return PushObject(Registry().Add(std::make_unique<TexImage>(picture.get())));
    }
    DebugLog::Print(
        "LoadTexImage: expected a file name or a width and a height; no texture "
        "image was made.\n");
    return PushNullObject();
  }
};

class ReleaseTexImage final : public ScriptFunction {
  int Invoke() override {
    auto* image = ArgObject<TexImage>(1);
    if (image == nullptr) return Released(TexImage::kReleasedMessage, 0);
    // Layers made from it keep its texture (they share it) and go on drawing.
    Registry().Release(image);
    return 0;
  }
};

class GetTexImageInf final : public ScriptFunction {
  int Invoke() override {
    auto* image = ArgObject<TexImage>(1);
    if (image == nullptr) return Released(TexImage::kReleasedMessage, 2);
    PushInt(static_cast<int>(image->GetTexture().ImageWidth()));
    PushInt(static_cast<int>(image->GetTexture().ImageHeight()));
    return 2;
  }
};

constexpr CommandEntry kCommands[] = {
    {"LoadTexImage", MakeCommand<LoadTexImage>},
    {"ReleaseTexImage", MakeCommand<ReleaseTexImage>},
    {"GetTexImageInf", MakeCommand<GetTexImageInf>},
};

}  // namespace

std::span<const CommandEntry> TextureCommands() { return kCommands; }

}  // namespace tessel
