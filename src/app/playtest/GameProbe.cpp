#include "app/playtest/GameProbe.h"

#include <SDL.h>

#include <cctype>
#include <filesystem>

#include "event/EventHandler.h"
#include "graphics/LayerEffect.h"
#include "resource/Archive.h"
#include "resource/BaseDirectory.h"
#include "text/MessageWindow.h"
#include "text/ScenarioController.h"
#include "text/ScenarioReader.h"

namespace tessel::playtest {

namespace fs = std::filesystem;

const ScenarioReader* StoryReader() {
  const ScenarioController* controller = ScenarioController::Instance();
  if (controller == nullptr) return nullptr;
  const ScenarioReader* reader = controller->Reader();
  return reader != nullptr && reader->Current() != nullptr ? reader : nullptr;
}

std::optional<ScriptPosition> StoryLine(const std::vector<ScriptFrame>& trace) {
  for (auto it = trace.rbegin(); it != trace.rend(); ++it) {
    if (!it->module) return ScriptPosition{it->file, it->line};
  }
  if (const ScenarioReader* reader = StoryReader()) {
    return ScriptPosition{reader->CurrentName(), reader->CurrentTokenLine() + 1};
  }
  return std::nullopt;
}

bool EffectRunning() {
  bool running = false;
  EventHandlerList::ForEach([&running](EventHandler& handler) {
    if (dynamic_cast<LayerEffect*>(&handler) != nullptr) running = true;
  });
  return running;
}

MessageWindow* WindowWithChoices() {
  MessageWindow* found = nullptr;
  EventHandlerList::ForEach([&found](EventHandler& handler) {
    auto* window = dynamic_cast<MessageWindow*>(&handler);
    if (found == nullptr && window != nullptr && window->Enabled() && !window->Choices().empty()) {
      found = window;
    }
  });
  return found;
}

void PressReturn() {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.type = SDL_KEYDOWN;
  event.key.state = SDL_PRESSED;
  event.key.keysym.sym = SDLK_RETURN;
  event.key.keysym.unicode = '\r';
  SDL_PushEvent(&event);
  event.type = SDL_KEYUP;
  event.key.type = SDL_KEYUP;
  event.key.state = SDL_RELEASED;
  SDL_PushEvent(&event);
}

std::vector<std::string> AvailableScenarios() {
  auto is_scenario = [](const std::string& name) {
    if (name.size() <= 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".tsl";
  };
  std::vector<std::string> names;
  for (const Archive* archive : ArchiveList::Mounted()) {
    for (const ArchiveEntry& entry : archive->Entries()) {
      if (is_scenario(entry.name)) names.push_back(entry.name);
    }
  }
  std::error_code ec;
  const fs::path root = BaseDirectory().empty() ? fs::path(".") : fs::path(BaseDirectory());
  fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
  int visited = 0;
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (++visited > 20000) break;
    const std::string leaf = it->path().filename().string();
    std::error_code type_error;
    if (it->is_directory(type_error)) {
      if (leaf.starts_with(".") || it.depth() >= 3) it.disable_recursion_pending();
      continue;
    }
    if (is_scenario(leaf) && it->is_regular_file(type_error)) {
      names.push_back(it->path().lexically_relative(root).generic_string());
    }
  }
  return names;
}

}  // namespace tessel::playtest
