// Layer effects on the manual clock: fades at every stage, skipping by key and
// click, stopping, durations of 0 and below, scripted effects' call order, a
// layer released mid-effect, and the end of the Lua state.
#include <SDL.h>

#include "event/EventHandler.h"
#include "graphics/GraphicsTest.h"
#include "graphics/Layer.h"
#include "graphics/LayerEffect.h"
#include "script/ScriptHost.h"

namespace tessel {
namespace {

using test::ErrorsOf;
using test::GlobalObject;
using test::LogOf;

class LayerEffectTest : public test::GraphicsScriptTest {
 protected:
  void SetUp() override {
    GraphicsScriptTest::SetUp();
    LogOf([&] { Run("t = LoadTexImage(4, 4) L = CreateLayer(t) LayerAddFront(L)"); });
  }

  double Alpha() { return GlobalObject<Layer>("L")->Alpha(); }
  bool Running(const char* global) { return GlobalObject<LayerEffect>(global) != nullptr; }
  void Pass(std::uint32_t advance = 0) {
    clock_.Advance(advance);
    DispatchEvents();
  }
  static void PushKey(SDLKey key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
  }
  static void PushClick(Uint8 type) {
    SDL_Event event{};
    event.type = type;
    event.button.button = SDL_BUTTON_LEFT;
    SDL_PushEvent(&event);
  }

  test::ManualClock clock_{5000};
};

TEST_F(LayerEffectTest, FadesFollowTheClock) {
  Run("ChgLayerAlpha(L, 0.7) e = EffectCopy(L, 1, 1000, false)");
  EXPECT_EQ(Alpha(), 0.7);  // nothing happens before the first idle call
  Pass();
  EXPECT_EQ(Alpha(), 0.0);
  Pass(250);
  EXPECT_EQ(Alpha(), 0.25);
  Pass(250);
  EXPECT_EQ(Alpha(), 0.5);
  Pass(499);
  EXPECT_EQ(Alpha(), 0.999);
  EXPECT_TRUE(Running("e"));
  Pass(1);
  EXPECT_EQ(Alpha(), 1.0);
  EXPECT_FALSE(Running("e"));
  EXPECT_EQ(EventHandlerList::Size(), 0u);
  EXPECT_EQ(ErrorsOf([&] { Run("StopLayerEffect(e)"); }), "This effector has already released.\n");

  Run("e = EffectCopy(L, 2, 400, false)");
  Pass();
  EXPECT_EQ(Alpha(), 1.0);
  Pass(100);
  EXPECT_EQ(Alpha(), 0.75);
  Pass(5000);  // late: the end state exactly
  EXPECT_EQ(Alpha(), 0.0);
  EXPECT_FALSE(Running("e"));
}

TEST_F(LayerEffectTest, KeyOrClickSkipsOnlyWhenAllowed) {
  Run("skip = EffectCopy(L, 2, 1000, true)");
  Pass();
  Pass(200);
  EXPECT_EQ(Alpha(), 0.8);
  PushKey(SDLK_SPACE);
  Pass();  // the request is taken in this pass's events...
  EXPECT_TRUE(Running("skip"));
  Pass();  // ...and the next idle call ends it in its final state
  EXPECT_EQ(Alpha(), 0.0);
  EXPECT_FALSE(Running("skip"));

  Run("click = EffectCopy(L, 1, 1000, true)");
  Pass();
  PushClick(SDL_MOUSEBUTTONDOWN);  // a press alone does not skip
  Pass(100);
  Pass();
  EXPECT_TRUE(Running("click"));
  PushClick(SDL_MOUSEBUTTONUP);
  Pass();
  Pass();
  EXPECT_EQ(Alpha(), 1.0);
  EXPECT_FALSE(Running("click"));

  Run("fixed = EffectCopy(L, 2, 1000, false)");
  Pass();
  PushKey(SDLK_RETURN);
  PushClick(SDL_MOUSEBUTTONUP);
  Pass(200);
  Pass();
  EXPECT_TRUE(Running("fixed"));
  EXPECT_EQ(Alpha(), 0.8);
  Pass(800);
  EXPECT_FALSE(Running("fixed"));
}

TEST_F(LayerEffectTest, AnEffectStartedByAKeyIgnoresThatKey) {
  Run("function on_key(key) started = EffectCopy(L, 2, 1000, true) end"
      " h = CreateEventHandler() SetEventHandlerFunc(h, 0, 'on_key') SetEventHandler(h)");
  PushKey(SDLK_RETURN);
  Pass();
  ASSERT_TRUE(Running("started"));
  Pass(100);
  EXPECT_TRUE(Running("started"));
  EXPECT_EQ(Alpha(), 0.9);
  Run("ResetEventHandler(h)");
  PushKey(SDLK_RETURN);  // a later press does skip it
  Pass();
  Pass();
  EXPECT_FALSE(Running("started"));
  EXPECT_EQ(Alpha(), 0.0);
}

TEST_F(LayerEffectTest, StopEndsAnyEffectAtTheNextIdleCall) {
  Run("e = EffectCopy(L, 1, 1000, false)");
  Pass(300);
  Run("StopLayerEffect(e)");
  EXPECT_TRUE(Running("e"));
  Pass();
  EXPECT_EQ(Alpha(), 1.0);
  EXPECT_FALSE(Running("e"));
}

TEST_F(LayerEffectTest, DurationsOfZeroOrLessApplyTheEndStateAtOnce) {
  Run("ChgLayerAlpha(L, 0.5) zero = EffectCopy(L, 1, 0, false)");
  Pass();
  EXPECT_EQ(Alpha(), 1.0);
  EXPECT_FALSE(Running("zero"));

  Run("negative = EffectCopy(L, 2, -5, false)");
  Pass();
  EXPECT_EQ(Alpha(), 0.0);
  EXPECT_FALSE(Running("negative"));

  Run("calls = '' function frame(l, d, t) calls = calls .. d .. '/' .. t .. ';' end"
      " scripted = EffectCopy(L, 1000, -1, false, nil, 'frame', nil)");
  Pass();
  EXPECT_EQ(String("calls"), "0/0;");
  EXPECT_FALSE(Running("scripted"));
}

TEST_F(LayerEffectTest, OtherKindsStartNothing) {
  std::string log = LogOf([&] { Run("e = EffectCopy(L, 3, 1000, true)"); });
  EXPECT_NE(log.find("EffectCopy"), std::string::npos);
  EXPECT_EQ(test::GlobalHandle("e"), nullptr);
  EXPECT_FALSE(IsNil("e"));  // a light userdata holding null
  EXPECT_EQ(EventHandlerList::Size(), 0u);
}

TEST_F(LayerEffectTest, ScriptedEffectsCallStartFramesAndEndInOrder) {
  Run("calls = ''"
      " function start() calls = calls .. 'start;' end"
      " Anim = {} function Anim.frame(l, d, t) calls = calls .. 'frame ' .. t .. ';'"
      "   same = (l == L) ChgLayerAlpha(l, t / d) end"
      " function Anim:finish() calls = calls .. 'end;' owner = self end"
      " e = EffectCopy(L, 1000, 1000, false, 'start', 'Anim.frame', 'Anim:finish')");
  EXPECT_EQ(String("calls"), "start;");  // at once, inside EffectCopy
  Pass();
  Pass(300);
  Pass(300);
  Pass(500);
  Pass(100);
  EXPECT_EQ(String("calls"), "start;frame 0;frame 300;frame 600;frame 1000;end;");
  Run("assert(same == true and owner == Anim)");
  EXPECT_EQ(Alpha(), 1.0);
  EXPECT_FALSE(Running("e"));

  // Missing names skip their calls.
  Run("calls = '' e2 = EffectCopy(L, 1000, 10, false, 'start')");
  Pass(10);
  EXPECT_EQ(String("calls"), "start;");
  EXPECT_FALSE(Running("e2"));
}

TEST_F(LayerEffectTest, ALayerReleasedMidEffectEndsItUntouched) {
  Run("calls = ''"
      " function frame(l, d, t) calls = calls .. 'frame ' .. t .. ';' end"
      " function finish() calls = calls .. 'end;' end"
      " e = EffectCopy(L, 1000, 1000, false, '', 'frame', 'finish')"
      " f = EffectCopy(L, 2, 1000, true)");
  Pass();
  Pass(100);
  Run("ReleaseLayer(L)");
  Pass(100);
  Pass(100);
  EXPECT_EQ(String("calls"), "frame 0;frame 100;end;");
  EXPECT_FALSE(Running("e"));
  EXPECT_FALSE(Running("f"));
  EXPECT_EQ(EventHandlerList::Size(), 0u);
}

TEST_F(LayerEffectTest, TheEndFunctionRunsOnceAndNeverAfterLuaCloses) {
  Run("ends = 0 function finish() ends = ends + 1 end"
      " a = EffectCopy(L, 1000, 1000, false, '', '', 'finish')"
      " b = EffectCopy(L, 1000, 1000, false, '', '', 'finish')");
  Pass(10);
  // Destroyed by the registry's clean-up while Lua is open: the end runs once.
  Registry().Release(GlobalObject<LayerEffect>("a"));
  EXPECT_EQ(Number("ends"), 1);
  EXPECT_EQ(EventHandlerList::Size(), 1u);

  // Shutdown order: the Lua state closes, then the registry releases the rest.
  Host().Close();
  Registry().ReleaseAll();
  EXPECT_EQ(EventHandlerList::Size(), 0u);
  ASSERT_TRUE(Host().Open());  // for TearDown
}

}  // namespace
}  // namespace tessel
