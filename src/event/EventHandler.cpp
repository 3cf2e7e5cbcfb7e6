#include "event/EventHandler.h"

#include <algorithm>

#include "core/SceneChanges.h"

namespace tessel {

EventHandler::~EventHandler() { EventHandlerList::Remove(this); }

std::vector<EventHandler*>& EventHandlerList::Entries() {
  static auto& entries = *new std::vector<EventHandler*>;
  return entries;
}

int& EventHandlerList::WalkDepth() {
  static int depth = 0;
  return depth;
}

void EventHandlerList::Add(EventHandler* handler) {
  if (handler == nullptr || Contains(handler)) return;
  Entries().push_back(handler);
}

void EventHandlerList::Remove(EventHandler* handler) {
  auto& entries = Entries();
  auto it = std::find(entries.begin(), entries.end(), handler);
  if (it == entries.end() || handler == nullptr) return;
  if (WalkDepth() > 0) {
    *it = nullptr;  // erased once the walk is over
  } else {
    entries.erase(it);
  }
}

bool EventHandlerList::Contains(const EventHandler* handler) {
  if (handler == nullptr) return false;
  const auto& entries = Entries();
  return std::find(entries.begin(), entries.end(), handler) != entries.end();
}

std::size_t EventHandlerList::Size() {
  const auto& entries = Entries();
  return static_cast<std::size_t>(
      std::count_if(entries.begin(), entries.end(), [](EventHandler* h) { return h != nullptr; }));
}

void EventHandlerList::Clear() {
  auto& entries = Entries();
  if (WalkDepth() > 0) {
    std::fill(entries.begin(), entries.end(), nullptr);
  } else {
    entries.clear();
  }
}

void EventHandlerList::Compact() {
  auto& entries = Entries();
  entries.erase(std::remove(entries.begin(), entries.end(), nullptr), entries.end());
}

bool DeliverEvent(EventHandler& handler, const SDL_Event& event) {
  switch (event.type) {
    case SDL_ACTIVEEVENT:
      return handler.OnActive(event.active.gain == 1, event.active.state);
    case SDL_KEYDOWN:
      return handler.OnKeyDown(event.key.keysym);
    case SDL_KEYUP:
      return handler.OnKeyUp(event.key.keysym);
    case SDL_MOUSEMOTION:
      return handler.OnMouseMotion(event.motion.state, event.motion.x, event.motion.y,
                                   event.motion.xrel, event.motion.yrel);
    case SDL_MOUSEBUTTONDOWN:
      return handler.OnMouseButtonDown(event.button.button, event.button.x, event.button.y);
    case SDL_MOUSEBUTTONUP:
      return handler.OnMouseButtonUp(event.button.button, event.button.x, event.button.y);
    case SDL_JOYAXISMOTION:
      return handler.OnJoyAxis(event.jaxis.which, event.jaxis.axis, event.jaxis.value);
    case SDL_JOYBALLMOTION:
      return handler.OnJoyBall(event.jball.which, event.jball.ball, event.jball.xrel, event.jball.yrel);
    case SDL_JOYHATMOTION:
      return handler.OnJoyHat(event.jhat.which, event.jhat.hat, event.jhat.value);
    case SDL_JOYBUTTONDOWN:
      return handler.OnJoyButtonDown(event.jbutton.which, event.jbutton.button);
    case SDL_JOYBUTTONUP:
      return handler.OnJoyButtonUp(event.jbutton.which, event.jbutton.button);
    case SDL_QUIT:
      return handler.OnQuit();
    case SDL_SYSWMEVENT:
      return handler.OnSysWM();
    case SDL_VIDEORESIZE:
      return handler.OnResize(event.resize.w, event.resize.h);
    case SDL_USEREVENT:
      return handler.OnUser(event.user.type, event.user.code, event.user.data1, event.user.data2);
    default:
      return false;
  }
}

void DispatchEvents() {
  EventHandlerList::ForEach([](EventHandler& handler) { handler.OnIdle(); });
  SDL_Event event;
  while (SDL_PollEvent(&event) == 1) {
    NoteSceneChange();
    auto& entries = EventHandlerList::Entries();
    ++EventHandlerList::WalkDepth();
    for (std::size_t i = 0; i < entries.size(); ++i) {
      EventHandler* handler = entries[i];
      if (handler == nullptr) continue;
      // The fallback only for a handler that is still there after its operation.
      if (!DeliverEvent(*handler, event) && entries[i] == handler) handler->OnUnhandled(event);
    }
    if (--EventHandlerList::WalkDepth() == 0) EventHandlerList::Compact();
  }
}

}  // namespace tessel
