// Script commands of the font family.
#include <cstdint>
#include <string>

#include "core/DebugLog.h"
#include "graphics/Surface.h"
#include "graphics/TexImage.h"
#include "script/CommandFamilies.h"
#include "script/HandleCommand.h"
#include "text/Encoding.h"
#include "text/Font.h"
#include "text/FontSaves.h"

namespace tessel {
namespace {

std::uint8_t LowByte(int value) { return static_cast<std::uint8_t>(value & 0xFF); }

class CreateNewFont final : public ScriptFunction {
  int Invoke() override {
    // A font that cannot be found is still a font: a faceless one that draws nothing.
    const char* name = ArgString(1);
    return PushObject(Registry().Add(Font::Open(name != nullptr ? name : "", ArgInt(2))));
  }
};

class ReleaseNewFont final : public HandleCommand<Font> {
  int Run(Font& font) override {
    // The handle dies now; scenario layers and buttons that draw with the face keep it.
    Registry().Release(&font);
    return 0;
  }
};

// Games pass the colour blue first: ChgFontColor(font, c1, c2, c3) has the
// renderer draw red c3, green c2, blue c1, which is what string images show.
// The scenario layer uploads the renderer's bytes unchanged and shows red c1,
// green c2, blue c3. Games chose their colours with both in view, so the
// exchange stays exactly as it is.
class ChgFontColor final : public HandleCommand<Font> {
  int Run(Font& font) override {
    const std::uint8_t c1 = LowByte(ArgInt(2));
    const std::uint8_t c2 = LowByte(ArgInt(3));
    const std::uint8_t c3 = LowByte(ArgInt(4));
    font.Data()->SetColor(/*red=*/c3, /*green=*/c2, /*blue=*/c1);
    return 0;
  }
};

class ChgFontStyle final : public HandleCommand<Font> {
  int Run(Font& font) override {
    font.Data()->SetStyle(ArgInt(2));
    return 0;
  }
};

class CreateStringImage final : public HandleCommand<Font> {
  int Results() const override { return 1; }
  int Run(Font& font) override {
    SurfacePtr text;
    std::u16string units;
    if (IsStringTypeArg(2)) {
      units = DecodeUtf8(ArgString(2));
      text = font.Data()->RenderText(units);
    } else {
      DebugLog::Print("CreateStringImage: argument 2 is not a string; the image is empty.\n");
    }
    // Empty or undrawable text still gives a live texture image, of size 0 x 0.
    auto image = std::make_unique<TexImage>(text.get());
    SetStringSource(image->GetTexture(), *font.Data(), units);
    return PushObject(Registry().Add(std::move(image)));
  }
};

constexpr CommandEntry kCommands[] = {
    {"CreateNewFont", MakeCommand<CreateNewFont>, 5},
    {"ReleaseNewFont", MakeCommand<ReleaseNewFont>, 6},
    {"ChgFontColor", MakeCommand<ChgFontColor>, 3},
    {"ChgFontStyle", MakeCommand<ChgFontStyle>, 4},
    {"CreateStringImage", MakeCommand<CreateStringImage>, 28},
};

}  // namespace

std::span<const CommandEntry> FontCommands() { return kCommands; }

}  // namespace tessel
