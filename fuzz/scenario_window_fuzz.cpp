// A story typed into a message window with real fonts: any scenario text must
// lay out (line breaking, ruby, paragraph and page waits, choices) without a
// read or write outside the page, and come to its end.
//
// Input: two bytes for the window's width and height (8 pixels a step, from
// 8), then the scenario as UTF-16LE code units as stored. No script runs (no
// system listener is attached), so script blocks and call lines are read and
// left alone; choices lead to files that do not exist, and the script blocks
// a choice text may hold run without the os and io libraries.
#include <SDL_ttf.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "resource/BaseDirectory.h"
#include "script/ScriptHost.h"
#include "text/Font.h"
#include "text/Scenario.h"
#include "text/ScenarioController.h"
#include "text/ScenarioLayer.h"
#include "text/ScenarioReader.h"

namespace {

using namespace tessel;

struct Fonts {
  std::shared_ptr<FontData> main;
  std::shared_ptr<FontData> ruby;
};

const Fonts& Setup() {
  static const Fonts fonts = [] {
    TTF_Init();
    SetBaseDirectory("/nonexistent-fuzz-game/");
    ScenarioController::Create();
    // Choice texts may hold script blocks: the input must not reach files,
    // processes or the fuzzer's own exit.
    Host().RunBuffer("os, io, package, require, dofile, loadfile, loadlib = nil");
    // Japanese faces: ruby, no-break-start marks and wide glyphs all occur.
    Fonts opened{Font::Open("VL-Gothic-Regular.ttf", 16)->Data(),
                 Font::Open("VL-Gothic-Regular.ttf", 8)->Data()};
    if (!opened.main->HasFace() || !opened.ruby->HasFace()) __builtin_trap();
    return opened;
  }();
  return fonts;
}

// Every unit is read once; a page or paragraph wait, a choice and the
// character delay each need a step more.
constexpr int kStepsPerUnit = 4;

}  // namespace

// Fontconfig keeps caches it allocates on first use of a pattern for good.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const Fonts& fonts = Setup();
  const int width = 8 * (1 + data[0] % 64);
  const int height = 8 * (1 + data[1] % 64);
  std::u16string units((size - 2) / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 + 2 * i] | data[3 + 2 * i] << 8);
  }
  auto scenario = std::make_unique<Scenario>(units, false);
  scenario->name = "main.tsl";
  ScenarioController& controller = *ScenarioController::Instance();
  controller.SetReader(std::make_unique<ScenarioReader>(std::move(scenario)));
  controller.Resume();
  {
    ScenarioLayer layer(fonts.main, fonts.ruby, width, height);
    layer.ChangeWait(0);
    layer.Enable();
    const int steps = kStepsPerUnit * static_cast<int>(units.size() + 8);
    for (int i = 0; i < steps && !controller.MainScenarioEnded(); ++i) {
      controller.Step();
      if (controller.Running()) continue;
      if (!layer.Choices().empty()) {
        layer.Choose(static_cast<std::size_t>(i) % layer.Choices().size());
      } else {
        layer.Advance();
      }
    }
    layer.Disable();
  }
  controller.SetReader(nullptr);
  return 0;
}
