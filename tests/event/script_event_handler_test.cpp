#include <gtest/gtest.h>

#include <SDL.h>

#include "app/SystemEventHandler.h"
#include "event/EventHandler.h"
#include "event/ScriptEventHandler.h"
#include "support/TestSupport.h"

namespace tessel {
namespace {

class ScriptHandlers : public test::SdlScriptTest {
 protected:
  static void Push(const SDL_Event& event) {
    SDL_Event copy = event;
    SDL_PushEvent(&copy);
  }
  static void PushKey(Uint8 type, int sym) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = static_cast<SDLKey>(sym);
    Push(event);
  }
};

TEST_F(ScriptHandlers, CallbacksReceiveTheirArgumentsAsNumbers) {
  Run(R"(
    log = ''
    function Key(k) log = log .. 'key ' .. k .. ';' end
    function Up(k) log = log .. 'up ' .. k .. ';' end
    function Move(s, x, y, dx, dy) log = log .. 'move ' .. s .. ',' .. x .. ',' .. y .. ',' .. dx .. ',' .. dy .. ';' end
    function Button(b, x, y) log = log .. 'button ' .. b .. ',' .. x .. ',' .. y .. ';' end
    h = CreateEventHandler()
    SetEventHandlerFunc(h, 0, 'Key')
    SetEventHandlerFunc(h, 1, 'Up')
    SetEventHandlerFunc(h, 4, 'Move')
    SetEventHandlerFunc(h, 3, 'Button')
    SetEventHandler(h)
  )");
  PushKey(SDL_KEYDOWN, SDLK_F4);
  PushKey(SDL_KEYUP, SDLK_UP);
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.state = 1;
  motion.motion.x = 300;
  motion.motion.y = 20;
  motion.motion.xrel = -5;
  motion.motion.yrel = 3;
  Push(motion);
  SDL_Event button{};
  button.type = SDL_MOUSEBUTTONUP;
  button.button.button = 1;
  button.button.x = 7;
  button.button.y = 8;
  Push(button);
  DispatchEvents();
  EXPECT_EQ(String("log"), "key 285;up 273;move 1,300,20,-5,3;button 1,7,8;");
}

TEST_F(ScriptHandlers, EmptySlotsDoNothingAndBadIndexesChangeNothing) {
  testing::internal::CaptureStdout();
  Run(R"(
    h = CreateEventHandler()
    SetEventHandlerFunc(h, 8, 'Key')
    SetEventHandlerFunc(h, -1, 'Key')
    SetEventHandlerFunc(h, 0, nil)
    SetEventHandlerFunc(h, 0, 12)
    SetEventHandler(h)
  )");
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("index 8 is outside 0..7"), std::string::npos) << out;
  PushKey(SDL_KEYDOWN, 'a');
  DispatchEvents();  // no callback named: nothing called, no panic
}

TEST_F(ScriptHandlers, CallbackReleasingItsOwnHandlerEndsCleanly) {
  Run(R"(
    log = ''
    function Key(k) log = log .. 'first;' ReleaseEventHandler(h) end
    function Other(k) log = log .. 'second;' end
    h = CreateEventHandler()
    SetEventHandlerFunc(h, 0, 'Key')
    SetEventHandler(h)
    g = CreateEventHandler()
    SetEventHandlerFunc(g, 0, 'Other')
    SetEventHandler(g)
  )");
  PushKey(SDL_KEYDOWN, 'a');
  PushKey(SDL_KEYDOWN, 'b');
  DispatchEvents();
  EXPECT_EQ(String("log"), "first;second;second;");
  EXPECT_EQ(EventHandlerList::Size(), 1u);
}

TEST_F(ScriptHandlers, CallbackChangingItsOwnSlotTakesEffectNextTime) {
  Run(R"(
    log = ''
    function A(k) log = log .. 'A;' SetEventHandlerFunc(h, 0, 'B') end
    function B(k) log = log .. 'B;' end
    h = CreateEventHandler()
    SetEventHandlerFunc(h, 0, 'A')
    SetEventHandler(h)
  )");
  PushKey(SDL_KEYDOWN, 'a');
  PushKey(SDL_KEYDOWN, 'a');
  DispatchEvents();
  EXPECT_EQ(String("log"), "A;B;");
}

TEST_F(ScriptHandlers, ResetKeepsTheHandlerAliveAndSetIsIdempotent) {
  Run(R"(
    count = 0
    function Key(k) count = count + 1 end
    h = CreateEventHandler()
    SetEventHandlerFunc(h, 0, 'Key')
    SetEventHandler(h) SetEventHandler(h)
  )");
  PushKey(SDL_KEYDOWN, 'a');
  DispatchEvents();
  Run("ResetEventHandler(h)");
  PushKey(SDL_KEYDOWN, 'a');
  DispatchEvents();
  Run("SetEventHandler(h)");
  PushKey(SDL_KEYDOWN, 'a');
  DispatchEvents();
  EXPECT_EQ(Number("count"), 2);
}

}  // namespace
}  // namespace tessel
