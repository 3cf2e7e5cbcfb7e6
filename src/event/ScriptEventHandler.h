#pragma once

#include <array>
#include <initializer_list>
#include <string>

#include "event/EventHandler.h"
#include "script/EngineObject.h"

namespace tessel {

// An event handler whose reactions are script functions, one name per event
// kind. Created, filled and registered by scripts.
class ScriptEventHandler : public EventHandler, public EngineObject {
 public:
  // What a script's command calls it when a handle is not a live one.
  static constexpr const char* kHandleName = "event handler";
  enum Slot : int {
    kKeyDown = 0,
    kKeyUp,
    kMouseButtonDown,
    kMouseButtonUp,
    kMouseMotion,
    kJoyButtonDown,
    kJoyButtonUp,
    kJoyAxis,
    kSlotCount
  };

  static constexpr const char* kSaveKind = "event handler";
  const char* SaveKind() const override { return kSaveKind; }
  // The function names (EventSaves.cpp).
  void SaveState(SaveWriter& out) const override;

  // False (nothing changed) for an index outside 0..7.
  bool SetCallback(int index, std::string name);
  const std::string& Callback(int index) const { return names_.at(static_cast<std::size_t>(index)); }

  bool OnKeyDown(const SDL_keysym& key) override;
  bool OnKeyUp(const SDL_keysym& key) override;
  bool OnMouseMotion(std::uint8_t state, std::uint16_t x, std::uint16_t y, std::int16_t xrel,
                     std::int16_t yrel) override;
  bool OnMouseButtonDown(std::uint8_t button, std::uint16_t x, std::uint16_t y) override;
  bool OnMouseButtonUp(std::uint8_t button, std::uint16_t x, std::uint16_t y) override;
  bool OnJoyAxis(std::uint8_t joystick, std::uint8_t axis, std::int16_t value) override;
  bool OnJoyButtonDown(std::uint8_t joystick, std::uint8_t button) override;
  bool OnJoyButtonUp(std::uint8_t joystick, std::uint8_t button) override;

 private:
  bool Fire(Slot slot, std::initializer_list<double> arguments);

  std::array<std::string, kSlotCount> names_;
};

}  // namespace tessel
