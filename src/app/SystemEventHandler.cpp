#include "app/SystemEventHandler.h"

#include "app/Boot.h"
#include "app/ScriptApi.h"
#include "app/save/SaveSlots.h"
#include "graphics/ScreenSurface.h"
#include "graphics/WindowSize.h"
#include "graphics/TextureManager.h"
#include "text/ScenarioController.h"
#include "text/ScenarioFiles.h"

namespace tessel {

SystemEventHandler::SystemEventHandler() : listener_(std::make_unique<SystemScenarioListener>()) {
  ScenarioController& controller = ScenarioController::Create();
  booted_ = BootGame(controller, commands_);
  controller.AttachListener(listener_.get());
}

SystemEventHandler::~SystemEventHandler() {
  if (ScenarioController* controller = ScenarioController::Instance()) {
    controller->DetachListener(listener_.get());
  }
}

void SystemEventHandler::ToggleFullScreen() {
  SDL_Surface* screen = ScreenSurface::Get();
  if (screen == nullptr) return;
  const bool full = (screen->flags & SDL_FULLSCREEN) != 0;
  const int width = screen->w;
  const int height = screen->h;
  const int bits = screen->format->BitsPerPixel;
  const Uint32 flags = full ? (screen->flags & ~SDL_FULLSCREEN) : (screen->flags | SDL_FULLSCREEN);
  TextureManager::SaveAll();
  ScreenSurface::SetMode(width, height, bits, flags);
  AdoptWindowSize({width, height}, (flags & SDL_FULLSCREEN) != 0);
  TextureManager::RestoreAll();
}

bool SystemEventHandler::OnKeyDown(const SDL_keysym& key) {
  if (key.sym == SDLK_ESCAPE) running_ = false;
  if (key.sym == SDLK_F4) ToggleFullScreen();
  return true;
}

bool SystemEventHandler::OnQuit() {
  running_ = false;
  return true;
}

bool SystemEventHandler::OnUser(std::uint8_t, int, void*, void*) { return true; }

bool SystemEventHandler::OnIdle() {
  // The story of a game about to be replaced by a load stands still.
  if (LoadPending()) return false;
  if (ScenarioController* controller = ScenarioController::Instance()) controller->Step();
  return false;
}

}  // namespace tessel
