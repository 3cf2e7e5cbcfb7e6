#include "text/StoryTest.h"

#include <SDL_opengl.h>
#include <SDL_ttf.h>

#include <cstdio>

extern "C" {
#include <lua.h>
}

#include "app/Window.h"
#include "event/EventHandler.h"
#include "graphics/LayerTable.h"
#include "graphics/Renderer.h"
#include "graphics/ScreenSurface.h"
#include "graphics/Texture.h"
#include "resource/BaseDirectory.h"
#include "script/ScriptHost.h"
#include "text/Encoding.h"
#include "text/Scenario.h"
#include "text/ScenarioController.h"
#include "text/ScenarioReader.h"

namespace tessel::test {
namespace {}  // namespace

std::shared_ptr<FontData> OpenTestFont(const std::string& file, int point_size) {
  if (TTF_WasInit() == 0) TTF_Init();
  std::unique_ptr<Font> font = Font::Open(file, point_size);
  EXPECT_TRUE(font->Data()->HasFace()) << file << " is not installed";
  return font->Data()->HasFace() ? font->Data() : nullptr;
}

GlyphMetrics MetricsOf(FontData& font, char16_t ch) {
  std::optional<GlyphMetrics> metrics = font.Metrics(ch);
  EXPECT_TRUE(metrics.has_value()) << "no metrics for U+" << std::hex << int(ch);
  return metrics.value_or(GlyphMetrics{});
}

void StoryFixture::SetUpStory(int main_size, int ruby_size, const char* main_file,
                              const char* ruby_file) {
  ScenarioController::Create();
  commands_ = std::make_unique<ScriptApi>(IdentityFunctionList());
  SetBaseDirectory(dir_.Path().string() + "/");
  LayerTable::Reset();
  if (TTF_WasInit() == 0) TTF_Init();
  Lua("main_font = CreateNewFont('" + std::string(main_file) + "', " + std::to_string(main_size) +
      ") ruby_font = CreateNewFont('" + std::string(ruby_file) + "', " + std::to_string(ruby_size) +
      ")");
  const Font* main_font = Registry().Find<Font>(GlobalHandle("main_font"));
  const Font* ruby_font = Registry().Find<Font>(GlobalHandle("ruby_font"));
  ASSERT_TRUE(main_font && ruby_font);
  main_font_ = main_font->Data();
  ruby_font_ = ruby_font->Data();
  ASSERT_TRUE(main_font_->HasFace() && ruby_font_->HasFace()) << "fonts not installed";
  Lua("trace = {} "
      "function note(...) "
      "  local words = {} "
      "  for i = 1, select('#', ...) do words[i] = tostring(select(i, ...)) end "
      "  table.insert(trace, table.concat(words, ' ')) "
      "end");
  system_listener_ = std::make_unique<SystemScenarioListener>();
}

void StoryFixture::TearDownStory() {
  ScenarioController::Destroy();
  commands_.reset();
  system_listener_.reset();
  SetBaseDirectory("");
}

void StoryFixture::Load(const std::u16string& text, const std::string& name) {
  auto scenario = std::make_unique<Scenario>(text, false);
  scenario->name = name;
  ScenarioController& controller = *ScenarioController::Instance();
  controller.SetReader(std::make_unique<ScenarioReader>(std::move(scenario)));
  controller.AttachListener(system_listener_.get());
}

void StoryFixture::WriteScenario(const std::string& name, const std::u16string& text) {
  dir_.Write(name, Utf16File(text));
}

void StoryFixture::Lua(const std::string& code) {
  std::string error;
  Host().SetErrorObserver([&error](const std::string& message) { error = message; });
  const int status = Host().RunBuffer(code, "=test");
  Host().SetErrorObserver(nullptr);
  EXPECT_EQ(status, 0) << error << "\nin:\n" << code;
}

void StoryFixture::Step(int count) {
  for (int i = 0; i < count; ++i) ScenarioController::Instance()->Step();
}

void StoryFixture::StepUntilStopped(int limit) {
  ScenarioController& controller = *ScenarioController::Instance();
  for (int i = 0; i < limit && controller.Running(); ++i) controller.Step();
}

ScenarioLayer* StoryFixture::MakeLayer(int width, int height) {
  Lua("layer = CreateScenarioLayer(" + std::to_string(width) + ", " + std::to_string(height) +
      ", main_font, ruby_font) LayerAddFront(layer) EnableScenarioLayer(layer)");
  return LayerGlobal();
}

ScenarioLayer* StoryFixture::LayerGlobal(const std::string& name) {
  return Registry().Find<ScenarioLayer>(GlobalHandle(name));
}

void StoryFixture::PressKey(SDLKey key) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.type = SDL_KEYDOWN;
  event.key.state = SDL_PRESSED;
  event.key.keysym.sym = key;
  SDL_PushEvent(&event);
  event.type = event.key.type = SDL_KEYUP;
  event.key.state = SDL_RELEASED;
  SDL_PushEvent(&event);
  DispatchEvents();
}

void StoryFixture::MoveTo(int x, int y) {
  SDL_Event event{};
  event.type = event.motion.type = SDL_MOUSEMOTION;
  event.motion.x = static_cast<Uint16>(x);
  event.motion.y = static_cast<Uint16>(y);
  SDL_PushEvent(&event);
  DispatchEvents();
}

void StoryFixture::Press(int x, int y, Uint8 button) {
  SDL_Event event{};
  event.type = event.button.type = SDL_MOUSEBUTTONDOWN;
  event.button.button = button;
  event.button.state = SDL_PRESSED;
  event.button.x = static_cast<Uint16>(x);
  event.button.y = static_cast<Uint16>(y);
  SDL_PushEvent(&event);
  DispatchEvents();
}

void StoryFixture::Release(int x, int y, Uint8 button) {
  SDL_Event event{};
  event.type = event.button.type = SDL_MOUSEBUTTONUP;
  event.button.button = button;
  event.button.state = SDL_RELEASED;
  event.button.x = static_cast<Uint16>(x);
  event.button.y = static_cast<Uint16>(y);
  SDL_PushEvent(&event);
  DispatchEvents();
}

void StoryFixture::ClickAt(int x, int y, Uint8 button) {
  Press(x, y, button);
  Release(x, y, button);
}

std::string StoryFixture::Output() {
  lua_State* state = Host().State();
  std::string text;
  lua_getglobal(state, "trace");
  if (lua_istable(state, -1)) {
    for (int i = 1;; ++i) {
      lua_rawgeti(state, -1, i);
      if (lua_isnil(state, -1)) {
        lua_pop(state, 1);
        break;
      }
      text += lua_tostring(state, -1);
      text += '\n';
      lua_pop(state, 1);
    }
  }
  lua_pop(state, 1);
  lua_newtable(state);
  lua_setglobal(state, "trace");
  return text;
}

void StoryTest::SetUp() {
  SdlScriptTest::SetUp();
  if (HasFatalFailure()) return;
  SetUpStory();
}

void StoryTest::TearDown() {
  TearDownStory();
  SdlScriptTest::TearDown();
  LayerTable::Reset();
}

void StoryWindowTest::SetUp() {
  WindowTest::SetUp();
  if (HasFatalFailure()) return;
  BaseColor() = Color{0.0, 0.0, 0.0, 1.0};
  OpenWindow(kWidth, kHeight);
  SetUpStory();
}

void StoryWindowTest::TearDown() {
  TearDownStory();
  WindowTest::TearDown();
}

Rgba StoryWindowTest::PagePixel(ScenarioLayer& layer, int x, int y) {
  SDL_Surface* staging = layer.Page()->Staging();
  if (staging == nullptr || x < 0 || y < 0 || x >= staging->w || y >= staging->h) {
    return Rgba{0, 0, 0, 0};
  }
  const auto* p = static_cast<const std::uint8_t*>(staging->pixels) + y * staging->pitch + x * 4;
  return Rgba{p[0], p[1], p[2], p[3]};
}

}  // namespace tessel::test
