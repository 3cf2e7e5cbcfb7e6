#include <gtest/gtest.h>

#include <SDL.h>

#include <functional>
#include <string>
#include <vector>

#include "event/EventHandler.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

std::vector<std::string> g_calls;

// Records every idle call and key; runs an action on the first key it sees.
class Recorder : public EventHandler {
 public:
  explicit Recorder(std::string name, bool handles = true) : name_(std::move(name)), handles_(handles) {}
  bool OnIdle() override {
    g_calls.push_back(name_ + ":idle");
    if (on_idle) std::exchange(on_idle, nullptr)();
    return false;
  }
  bool OnKeyDown(const SDL_keysym& key) override {
    g_calls.push_back(name_ + ":key" + std::to_string(key.sym));
    if (on_key) std::exchange(on_key, nullptr)();
    return handles_;
  }
  bool OnUnhandled(const SDL_Event& event) override {
    g_calls.push_back(name_ + ":unhandled" + std::to_string(event.type));
    return false;
  }
  std::function<void()> on_idle, on_key;

 private:
  std::string name_;
  bool handles_;
};

class Dispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    g_calls.clear();
  }
  void TearDown() override {
    EventHandlerList::Clear();
    SDL_Quit();
  }
  static void PushKey(int sym) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = static_cast<SDLKey>(sym);
    SDL_PushEvent(&event);
  }
  static void PushResize() {
    SDL_Event event{};
    event.type = SDL_VIDEORESIZE;
    event.resize.w = 10;
    event.resize.h = 10;
    SDL_PushEvent(&event);
  }
};

using Calls = std::vector<std::string>;

TEST_F(Dispatch, IdleThenEveryEventToEveryHandlerInOrder) {
  Recorder a("a"), b("b");
  EventHandlerList::Add(&a);
  EventHandlerList::Add(&b);
  EventHandlerList::Add(&a);  // already there: still once
  PushKey(13);
  PushKey(27);
  DispatchEvents();
  EXPECT_EQ(g_calls, (Calls{"a:idle", "b:idle", "a:key13", "b:key13", "a:key27", "b:key27"}));
}

TEST_F(Dispatch, UnhandledFallbackOnlyForThatHandler) {
  Recorder a("a", false), b("b", true);
  EventHandlerList::Add(&a);
  EventHandlerList::Add(&b);
  PushKey(65);
  PushResize();
  DispatchEvents();
  EXPECT_EQ(g_calls, (Calls{"a:idle", "b:idle", "a:key65", "a:unhandled2", "b:key65",
                            "a:unhandled16", "b:unhandled16"}));
}

TEST_F(Dispatch, HandlerRemovingItselfIsNotCalledAgainAndOthersStillAre) {
  Recorder a("a"), b("b"), c("c");
  for (auto* h : {&a, &b, &c}) EventHandlerList::Add(h);
  b.on_key = [&] { EventHandlerList::Remove(&b); };
  PushKey(1);
  PushKey(2);
  DispatchEvents();
  EXPECT_EQ(g_calls, (Calls{"a:idle", "b:idle", "c:idle", "a:key1", "b:key1", "c:key1", "a:key2",
                            "c:key2"}));
}

TEST_F(Dispatch, RemovingAnEarlierHandlerDoesNotRepeatTheCurrentOne) {
  Recorder a("a"), b("b"), c("c");
  for (auto* h : {&a, &b, &c}) EventHandlerList::Add(h);
  b.on_key = [&] { EventHandlerList::Remove(&a); };
  PushKey(1);
  DispatchEvents();
  EXPECT_EQ(g_calls, (Calls{"a:idle", "b:idle", "c:idle", "a:key1", "b:key1", "c:key1"}));
}

TEST_F(Dispatch, RemovingALaterHandlerSkipsOnlyThatOne) {
  Recorder a("a"), b("b"), c("c"), d("d");
  for (auto* h : {&a, &b, &c, &d}) EventHandlerList::Add(h);
  a.on_idle = [&] { EventHandlerList::Remove(&c); };
  DispatchEvents();
  EXPECT_EQ(g_calls, (Calls{"a:idle", "b:idle", "d:idle"}));
}

TEST_F(Dispatch, DestroyedHandlerLeavesTheListEvenMidPass) {
  Recorder a("a");
  auto doomed = std::make_unique<Recorder>("doomed");
  Recorder c("c");
  EventHandlerList::Add(&a);
  EventHandlerList::Add(doomed.get());
  EventHandlerList::Add(&c);
  a.on_key = [&] { doomed.reset(); };
  PushKey(5);
  DispatchEvents();
  EXPECT_EQ(g_calls, (Calls{"a:idle", "doomed:idle", "c:idle", "a:key5", "c:key5"}));
  EXPECT_EQ(EventHandlerList::Size(), 2u);
}

TEST_F(Dispatch, HandlerAddedDuringAPassIsReachedByThatPass) {
  Recorder a("a"), late("late");
  EventHandlerList::Add(&a);
  a.on_idle = [&] { EventHandlerList::Add(&late); };
  DispatchEvents();
  EXPECT_EQ(g_calls, (Calls{"a:idle", "late:idle"}));
}

}  // namespace
}  // namespace tessel
