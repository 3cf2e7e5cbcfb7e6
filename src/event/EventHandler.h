#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace tessel {

// Receives idle time and every input event of a dispatch pass. Operations
// return whether they handled the event; false makes the dispatcher call this
// same handler's OnUnhandled. Destroying a handler takes it out of the list.
class EventHandler {
 public:
  EventHandler() = default;
  EventHandler(const EventHandler&) = delete;
  EventHandler& operator=(const EventHandler&) = delete;
  virtual ~EventHandler();

  virtual bool OnKey(const SDL_keysym& key, bool pressed) { return false; }
  virtual bool OnKeyDown(const SDL_keysym& key) { return OnKey(key, true); }
  virtual bool OnKeyUp(const SDL_keysym& key) { return OnKey(key, false); }
  virtual bool OnMouseMotion(std::uint8_t state, std::uint16_t x, std::uint16_t y, std::int16_t xrel,
                             std::int16_t yrel) {
    return false;
  }
  virtual bool OnMouseButton(std::uint8_t button, std::uint16_t x, std::uint16_t y, bool pressed) {
    return false;
  }
  virtual bool OnMouseButtonDown(std::uint8_t button, std::uint16_t x, std::uint16_t y) {
    return OnMouseButton(button, x, y, true);
  }
  virtual bool OnMouseButtonUp(std::uint8_t button, std::uint16_t x, std::uint16_t y) {
    return OnMouseButton(button, x, y, false);
  }
  virtual bool OnJoyAxis(std::uint8_t joystick, std::uint8_t axis, std::int16_t value) { return false; }
  virtual bool OnJoyButton(std::uint8_t joystick, std::uint8_t button, bool pressed) { return false; }
  virtual bool OnJoyButtonDown(std::uint8_t joystick, std::uint8_t button) {
    return OnJoyButton(joystick, button, true);
  }
  virtual bool OnJoyButtonUp(std::uint8_t joystick, std::uint8_t button) {
    return OnJoyButton(joystick, button, false);
  }
  virtual bool OnJoyHat(std::uint8_t joystick, std::uint8_t hat, std::uint8_t value) { return false; }
  virtual bool OnJoyBall(std::uint8_t joystick, std::uint8_t ball, std::int16_t xrel, std::int16_t yrel) {
    return false;
  }
  virtual bool OnActive(bool gained, std::uint8_t state) { return false; }
  virtual bool OnResize(int width, int height) { return false; }
  virtual bool OnSysWM() { return false; }
  virtual bool OnUser(std::uint8_t type, int code, void* data1, void* data2) { return false; }
  virtual bool OnQuit() { return false; }
  virtual bool OnUnhandled(const SDL_Event& event) { return false; }
  virtual bool OnIdle() { return false; }
};

// The global, ordered handler list. It holds references only. Handlers may be
// added and removed (also themselves, also by being destroyed) while a pass
// walks the list: a removed handler is never called again, and every other
// handler is called once per idle phase and once per event.
class EventHandlerList {
 public:
  // Appends unless already present (SetEventHandler).
  static void Add(EventHandler* handler);
  // Takes it out; nothing when absent (ResetEventHandler).
  static void Remove(EventHandler* handler);
  static bool Contains(const EventHandler* handler);
  static std::size_t Size();
  // Forgets every handler (tests; the engine never reuses the list after teardown).
  static void Clear();

  // Calls visit on each handler in order, tolerating changes during the walk.
  template <class Visit>
  static void ForEach(Visit visit);

 private:
  friend void DispatchEvents();
  static std::vector<EventHandler*>& Entries();
  static int& WalkDepth();
  static void Compact();
};

template <class Visit>
void EventHandlerList::ForEach(Visit visit) {
  auto& entries = Entries();
  ++WalkDepth();
  // By index, re-reading the size: handlers appended meanwhile are reached;
  // removed ones are nulled, not erased, so no position shifts under the walk.
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EventHandler* handler = entries[i];
    if (handler != nullptr) visit(*handler);
  }
  if (--WalkDepth() == 0) Compact();
}

// Delivers one event to one handler by its type; false means unhandled.
bool DeliverEvent(EventHandler& handler, const SDL_Event& event);

// One dispatch pass: idle calls to every handler, then each pending event to
// every handler, in list order.
void DispatchEvents();

}  // namespace tessel
