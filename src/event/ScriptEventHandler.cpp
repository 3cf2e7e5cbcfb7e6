#include "event/ScriptEventHandler.h"

#include "script/ScriptHost.h"

namespace tessel {

bool ScriptEventHandler::SetCallback(int index, std::string name) {
  if (index < 0 || index >= kSlotCount) return false;
  names_[static_cast<std::size_t>(index)] = std::move(name);
  return true;
}

bool ScriptEventHandler::Fire(Slot slot, std::initializer_list<double> arguments) {
  // The callback may release this handler or change its own slot: copy the
  // name first and touch nothing of `this` afterwards.
  std::string name = names_[slot];
  if (name.empty()) return true;
  Host().CallFunction(name, arguments);
  return true;
}

bool ScriptEventHandler::OnKeyDown(const SDL_keysym& key) { return Fire(kKeyDown, {double(key.sym)}); }
bool ScriptEventHandler::OnKeyUp(const SDL_keysym& key) { return Fire(kKeyUp, {double(key.sym)}); }

bool ScriptEventHandler::OnMouseMotion(std::uint8_t state, std::uint16_t x, std::uint16_t y,
                                       std::int16_t xrel, std::int16_t yrel) {
  return Fire(kMouseMotion, {double(state), double(x), double(y), double(xrel), double(yrel)});
}

bool ScriptEventHandler::OnMouseButtonDown(std::uint8_t button, std::uint16_t x, std::uint16_t y) {
  return Fire(kMouseButtonDown, {double(button), double(x), double(y)});
}

bool ScriptEventHandler::OnMouseButtonUp(std::uint8_t button, std::uint16_t x, std::uint16_t y) {
  return Fire(kMouseButtonUp, {double(button), double(x), double(y)});
}

bool ScriptEventHandler::OnJoyAxis(std::uint8_t joystick, std::uint8_t axis, std::int16_t value) {
  return Fire(kJoyAxis, {double(joystick), double(axis), double(value)});
}

bool ScriptEventHandler::OnJoyButtonDown(std::uint8_t joystick, std::uint8_t button) {
  return Fire(kJoyButtonDown, {double(joystick), double(button)});
}

bool ScriptEventHandler::OnJoyButtonUp(std::uint8_t joystick, std::uint8_t button) {
  return Fire(kJoyButtonUp, {double(joystick), double(button)});
}

}  // namespace tessel
