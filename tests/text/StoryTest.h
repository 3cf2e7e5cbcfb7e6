#pragma once

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "app/ScriptApi.h"
#include "support/Picture.h"
#include "support/TestSupport.h"
#include "text/Font.h"
#include "text/ScenarioFiles.h"
#include "text/ScenarioLayer.h"
#include "text/TextLayout.h"

namespace tessel::test {

// The fonts of the layout tests, found by file name through fontconfig; their
// metrics are read at run time (they change with FreeType).
inline constexpr const char* kLatinFont = "DejaVuSansMono.ttf";
inline constexpr const char* kJapaneseFont = "VL-Gothic-Regular.ttf";

// An opened face; fails the test when the font is not installed.
std::shared_ptr<FontData> OpenTestFont(const std::string& file, int point_size);

// The glyph metrics, failing the test when the face lacks them.
GlyphMetrics MetricsOf(FontData& font, char16_t ch);

// A story in progress: a scenario controller with every command under its
// internal name, the system listener (script blocks, call lines), a main
// font and a ruby font as the Lua globals `main_font` and `ruby_font`, and
// an empty layer table. Scripts print into Output().
class StoryFixture {
 protected:
  void SetUpStory(int main_size = 20, int ruby_size = 10, const char* main_file = kLatinFont,
                  const char* ruby_file = kLatinFont);
  void TearDownStory();

  // Starts the reader on scenario text (main.tsl, units as stored).
  void Load(const std::u16string& text, const std::string& name = "main.tsl");
  // Game files for calls and choices, in the base directory.
  void WriteScenario(const std::string& name, const std::u16string& text);
  // Runs a chunk; fails the test on a script error.
  void Lua(const std::string& code);
  // Steps the controller until it stops (a key wait or a choice), or n times.
  void StepUntilStopped(int limit = 1000);
  void Step(int count = 1);

  // Makes a scenario layer with the command, places it in the table and
  // enables it; it is the Lua global `layer`.
  ScenarioLayer* MakeLayer(int width, int height);
  ScenarioLayer* LayerGlobal(const std::string& name = "layer");

  // Events through the dispatcher (idle calls first, then every handler).
  void PressKey(SDLKey key);
  void ClickAt(int x, int y, Uint8 button = SDL_BUTTON_LEFT);
  void MoveTo(int x, int y);
  void Press(int x, int y, Uint8 button = SDL_BUTTON_LEFT);
  void Release(int x, int y, Uint8 button = SDL_BUTTON_LEFT);

  std::string Output();  // what scripts printed with print() since the last call

  ManualClock clock_;  // before the controller: its stopwatch reads this clock
  std::shared_ptr<FontData> main_font_;
  std::shared_ptr<FontData> ruby_font_;
  std::unique_ptr<SystemScenarioListener> system_listener_;
  std::unique_ptr<ScriptApi> commands_;  // registered in the controller's Lua state
  TempDir dir_;
};

// Without a window: layout, timing, callbacks, choices.
class StoryTest : public SdlScriptTest, public StoryFixture {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// With a real window (the page exists and can be read back).
class StoryWindowTest : public WindowTest, public StoryFixture {
 protected:
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 240;
  void SetUp() override;
  void TearDown() override;
  // The page's memory copy, bytes R, G, B, A.
  Rgba PagePixel(ScenarioLayer& layer, int x, int y);
};

}  // namespace tessel::test
