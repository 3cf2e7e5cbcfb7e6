// The message window in the story: paragraph and page waits, message speed
// and skipping, what advances it, and the key-wait callbacks.
#include <gtest/gtest.h>

#include "app/Application.h"
#include "core/SceneChanges.h"
#include "event/EventHandler.h"
#include "text/ScenarioController.h"
#include "text/ScenarioReader.h"
#include "text/StoryTest.h"

namespace tessel {
namespace {

class MessageWindowStory : public test::StoryTest {
 protected:
  ScenarioController& Controller() { return *ScenarioController::Instance(); }
  int Advance(char16_t ch) { return test::MetricsOf(*main_font_, ch).advance; }
  int RubySkip() { return ruby_font_->LineSkip(); }
  int Pitch() { return main_font_->LineSkip() + ruby_font_->LineSkip(); }
};

using LineEndRuns = MessageWindowStory;

TEST_F(LineEndRuns, ABlankLineWaitsThenGoesOnInANewLine) {
  Load(u"AB\nC\n\nD");
  ScenarioLayer* layer = MakeLayer(300, 200);
  StepUntilStopped();
  EXPECT_FALSE(Controller().Running());
  // One line end is no break: C follows B on the same line.
  EXPECT_EQ(layer->GetPen(), (Pen{3 * Advance(u'A'), RubySkip()}));
  PressKey(SDLK_RETURN);
  EXPECT_TRUE(Controller().Running());
  EXPECT_EQ(layer->GetPen(), (Pen{0, RubySkip() + Pitch()}));
  Step();
  EXPECT_EQ(layer->GetPen(), (Pen{Advance(u'D'), RubySkip() + Pitch()}));
}

TEST_F(LineEndRuns, TwoOrMoreBlankLinesWaitThenClearThePage) {
  Load(u"AB\\C\n\n\n\nD");
  ScenarioLayer* layer = MakeLayer(300, 200);
  StepUntilStopped();
  EXPECT_EQ(layer->GetPen(), (Pen{Advance(u'C'), RubySkip() + Pitch()}));  // one backslash break
  PressKey(SDLK_RETURN);
  EXPECT_EQ(layer->GetPen(), (Pen{0, RubySkip()}));
  Step();
  EXPECT_EQ(layer->GetPen(), (Pen{Advance(u'D'), RubySkip()}));
}

TEST_F(LineEndRuns, ARunOfBackslashesBreaksThatManyLinesWithoutWaiting) {
  Load(u"A\\\\\\B");
  ScenarioLayer* layer = MakeLayer(300, 400);
  Step(3);
  EXPECT_TRUE(Controller().Running());
  EXPECT_EQ(layer->GetPen(), (Pen{Advance(u'B'), RubySkip() + 3 * Pitch()}));
}

TEST_F(LineEndRuns, CodeUnitZeroFromAFinishedCallIsNotText) {
  WriteScenario("sub.tsl", u"C");
  Load(u"A@sub.tsl\nB");
  ScenarioLayer* layer = MakeLayer(300, 200);
  Lua("ChgMesWait(layer, 100)");
  const auto step = [this] {
    if (Controller().Waiting()) clock_.Advance(101);
    Step();
  };
  while (layer->GetPen().x < 2 * Advance(u'A')) step();  // A, the call, C
  while (Controller().Waiting()) step();
  ASSERT_EQ(Controller().Reader()->Depth(), 2u);
  Step();  // sub.tsl ends: the caller's listeners see unit 0
  EXPECT_EQ(Controller().Reader()->Depth(), 1u);
  EXPECT_FALSE(Controller().Waiting());
  EXPECT_EQ(layer->GetPen().x, 2 * Advance(u'A'));
  layer->TextListener()->OnCharacter(0);
  EXPECT_EQ(layer->GetPen().x, 2 * Advance(u'A'));
  EXPECT_FALSE(Controller().Waiting());
}

using MessageSpeed = MessageWindowStory;

TEST_F(MessageSpeed, EachCharacterWaitsTheDelayAfterItIsDrawn) {
  Load(u"ABC");
  ScenarioLayer* layer = MakeLayer(300, 200);
  Lua("ChgMesWait(layer, 50)");
  Step();
  EXPECT_EQ(layer->GetPen().x, Advance(u'A'));
  clock_.Advance(50);
  Step(5);
  EXPECT_EQ(layer->GetPen().x, Advance(u'A'));  // 50 ms have not passed beyond the wait
  clock_.Advance(1);
  Step();  // ends the wait
  EXPECT_EQ(layer->GetPen().x, Advance(u'A'));
  Step();
  EXPECT_EQ(layer->GetPen().x, 2 * Advance(u'A'));
}

TEST_F(MessageSpeed, WithNoDelayThePageFillsOneCharacterPerStep) {
  Load(u"ABCD");
  ScenarioLayer* layer = MakeLayer(300, 200);
  for (int i = 1; i <= 4; ++i) {
    Step();
    EXPECT_EQ(layer->GetPen().x, i * Advance(u'A'));
    EXPECT_FALSE(Controller().Waiting());
  }
}

TEST_F(MessageSpeed, ReturnWhileTypingShowsTheRestOfTheParagraphThenTheDelayComesBack) {
  Load(u"ABCD\n\nEF");
  ScenarioLayer* layer = MakeLayer(300, 200);
  Lua("ChgMesWait(layer, 40)");
  Step();
  PressKey(SDLK_RETURN);
  EXPECT_EQ(layer->WaitStack(), (std::deque<int>{40, 0}));
  PressKey(SDLK_RETURN);  // a second skip pushes nothing more
  EXPECT_EQ(layer->WaitStack(), (std::deque<int>{40, 0}));
  clock_.Advance(41);
  Step();   // the running wait ends
  Step(3);  // B C D without pauses
  EXPECT_EQ(layer->GetPen().x, 4 * Advance(u'A'));
  EXPECT_FALSE(Controller().Waiting());
  StepUntilStopped();
  PressKey(SDLK_RETURN);  // ends the key wait: the skip is over
  EXPECT_EQ(layer->WaitStack(), (std::deque<int>{40}));
  Step();
  EXPECT_TRUE(Controller().Waiting());
}

TEST_F(MessageSpeed, ChgMesWaitDuringASkipReplacesTheSkipUntilTheNextResume) {
  Load(u"A\n\n\nB");
  ScenarioLayer* layer = MakeLayer(300, 200);
  Lua("ChgMesWait(layer, 40)");
  Step();
  PressKey(SDLK_RETURN);
  Lua("ChgMesWait(layer, 7)");
  EXPECT_EQ(layer->WaitStack(), (std::deque<int>{40, 7}));
  clock_.Advance(41);
  StepUntilStopped();
  PressKey(SDLK_RETURN);  // the page is cleared and the extra delay goes
  EXPECT_EQ(layer->WaitStack(), (std::deque<int>{40}));
}

TEST_F(MessageSpeed, NegativeDelaysCountAsZero) {
  ScenarioLayer* layer = MakeLayer(300, 200);
  Lua("ChgMesWait(layer, -30)");
  EXPECT_EQ(layer->WaitStack(), (std::deque<int>{0}));
  Lua("MesWndWait(layer, -30)");
  EXPECT_FALSE(Controller().Waiting());
}

TEST_F(MessageSpeed, MesWndWaitPausesTheStoryWhateverItsFirstArgument) {
  MakeLayer(300, 200);
  ::testing::internal::CaptureStderr();
  Lua("MesWndWait('not a layer', 30)");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(Controller().Waiting());
  EXPECT_EQ(Controller().WaitRemaining(), 31u);
  Lua("MesWndWait(nil, 0)");  // 0 does nothing
  EXPECT_EQ(Controller().WaitRemaining(), 31u);
}

TEST_F(MessageSpeed, MesWndWaitFromABeginCallbackDoesNotEndTheKeyWait) {
  Load(u"A\n\nB");
  ScenarioLayer* layer = MakeLayer(300, 200);
  Lua("function begin() MesWndWait(layer, 100) end SetMesKeywaitFunc(layer, 'begin', '', '', 0)");
  StepUntilStopped();
  EXPECT_TRUE(Controller().Waiting());
  clock_.Advance(500);
  Step(10);
  EXPECT_FALSE(Controller().Running());
  EXPECT_EQ(layer->GetPen().x, Advance(u'A'));
  PressKey(SDLK_RETURN);
  Step();
  EXPECT_EQ(layer->GetPen().x, Advance(u'B'));
}

using Advancing = MessageWindowStory;

TEST_F(Advancing, OnlyReturnAndALeftButtonReleaseEndAKeyWait) {
  Load(u"A\n\nB");
  MakeLayer(300, 200);
  StepUntilStopped();
  for (SDLKey key : {SDLK_SPACE, SDLK_KP_ENTER, SDLK_a, SDLK_ESCAPE}) PressKey(key);
  Release(5, 5, SDL_BUTTON_RIGHT);
  Release(5, 5, SDL_BUTTON_MIDDLE);
  Press(5, 5, SDL_BUTTON_LEFT);
  EXPECT_FALSE(Controller().Running());
  Release(5, 5, SDL_BUTTON_LEFT);
  EXPECT_TRUE(Controller().Running());
}

TEST_F(Advancing, NothingAdvancesADisabledOrHiddenLayer) {
  Load(u"A\n\nB");
  ScenarioLayer* layer = MakeLayer(300, 200);
  StepUntilStopped();
  Lua("DisableScenarioLayer(layer)");
  PressKey(SDLK_RETURN);
  ClickAt(5, 5);
  EXPECT_FALSE(Controller().Running());
  Lua("EnableScenarioLayer(layer) VisibleLayer(layer, false)");
  PressKey(SDLK_RETURN);
  ClickAt(5, 5);
  EXPECT_FALSE(Controller().Running());
  Lua("VisibleLayer(layer, true)");
  PressKey(SDLK_RETURN);
  EXPECT_TRUE(Controller().Running());
  EXPECT_TRUE(layer->Enabled());
}

TEST_F(Advancing, ADisabledLayerKeepsItsPageAndMissesTheTextMeanwhile) {
  Load(u"AB{DisableScenarioLayer(layer)}CD{EnableScenarioLayer(layer)}E");
  ScenarioLayer* layer = MakeLayer(300, 200);
  Lua("EnableScenarioLayer(layer)");  // twice: still one listener
  Step(20);
  EXPECT_EQ(layer->GetPen().x, 3 * Advance(u'A'));
}

using KeyWaitCallbackCalls = MessageWindowStory;

TEST_F(KeyWaitCallbackCalls, BeginOnceWithTheOldMarkerTickEveryDrawEndOncePerResume) {
  Load(u"AB\n\nC\n\nD");
  ScenarioLayer* layer = MakeLayer(300, 200);
  Lua("OffsetLayer(layer, 10, 20)"
      "function kb(x, y) note('begin', x, y) end "
      "function kt(x, y, t) note('tick', x, y, t) end "
      "function ke(...) note('end', select('#', ...)) end "
      "SetMesKeywaitFunc(layer, 'kb', 'kt', 'ke', 0)");
  StepUntilStopped();
  const int x1 = 10 + 2 * Advance(u'A');
  const int y1 = 20 + RubySkip();
  EXPECT_EQ(Output(), "begin 0 0\n");
  layer->Draw();
  clock_.Advance(16);
  layer->Draw();
  EXPECT_EQ(Output(), "tick " + std::to_string(x1) + " " + std::to_string(y1) + " 0\n" + "tick " +
                          std::to_string(x1) + " " + std::to_string(y1) + " 16\n");
  PressKey(SDLK_RETURN);
  layer->Draw();  // running again: no tick
  EXPECT_EQ(Output(), "end 0\n");
  StepUntilStopped();
  // The second wait's begin sees where the first marker was.
  EXPECT_EQ(Output(), "begin " + std::to_string(x1) + " " + std::to_string(y1) + "\n");
  PressKey(SDLK_RETURN);
  PressKey(SDLK_RETURN);  // typing again: a skip, no second end
  EXPECT_EQ(Output(), "end 0\n");
}

// Resting frames (power save): the tick runs before each frame's drawing,
// drawn or not, and Draw does not call it again; a tick that calls no
// command lets the frame be left out, one that changes a layer gets it drawn.
TEST_F(KeyWaitCallbackCalls, WhileFramesRestTheTickRunsEveryFrameAndItsCommandsGetOneDrawn) {
  Load(u"AB\n\nC");
  ScenarioLayer* layer = MakeLayer(300, 200);
  Lua("function kt(x, y, t) note('tick', t) if t >= 32 then OffsetLayer(layer, 0, 0) end end "
      "SetMesKeywaitFunc(layer, '', 'kt', '', 0)");
  StepUntilStopped();
  SetPowerSave(true);
  FrameMemory memory;
  memory.drawn = true;
  memory.changes = SceneChangeCount();
  EXPECT_TRUE(FrameRepeatsLast(memory));
  layer->Draw();  // the frame loop would not draw it; Draw adds no tick either
  clock_.Advance(16);
  EXPECT_TRUE(FrameRepeatsLast(memory));
  clock_.Advance(16);
  EXPECT_FALSE(FrameRepeatsLast(memory));  // the tick moved the layer
  EXPECT_EQ(Output(), "tick 0\ntick 16\ntick 32\n");
  SetPowerSave(false);
  layer->Draw();  // back to the default: the drawing calls it
  EXPECT_EQ(Output(), "tick 32\n");
}

TEST_F(KeyWaitCallbackCalls, TableFieldsAndMethodsAreCalledByName) {
  Load(u"A\n\nB");
  MakeLayer(300, 200);
  Lua("marker = {} "
      "function marker.begin(x, y) note('field', x, y) end "
      "function marker:finish() note('method', self == marker) end "
      "SetMesKeywaitFunc(layer, 'marker.begin', '', 'marker:finish', 0)");
  StepUntilStopped();
  PressKey(SDLK_RETURN);
  EXPECT_EQ(Output(), "field 0 0\nmethod true\n");
}

TEST_F(KeyWaitCallbackCalls, AMarkerThatDoesNotFitGoesToTheNextLine) {
  Load(u"AAAA\n\nB\n\n");
  ScenarioLayer* layer = MakeLayer(5 * Advance(u'A'), 200);
  const int width = 5 * Advance(u'A');
  Lua("function kb() end SetMesKeywaitFunc(layer, 'kb', '', '', " + std::to_string(Advance(u'A')) +
      ")");
  StepUntilStopped();
  EXPECT_EQ(layer->Marker(), (Pen{4 * Advance(u'A'), RubySkip()}));  // exactly fits
  ASSERT_EQ(layer->Width(), width);
  PressKey(SDLK_RETURN);
  Lua("SetMesKeywaitFunc(layer, 'kb', '', '', " + std::to_string(width) + ")");
  StepUntilStopped();
  EXPECT_EQ(layer->Marker(), (Pen{0, RubySkip() + 2 * Pitch()}));
}

TEST_F(KeyWaitCallbackCalls, NamesThatAreNotStringsSwitchTheirCallOff) {
  Load(u"A\n\nB");
  MakeLayer(300, 200);
  Lua("_G['12'] = function() note('called') end "
      "SetMesKeywaitFunc(layer, 12, 12, {}, 0)");
  StepUntilStopped();
  LayerGlobal()->Draw();
  PressKey(SDLK_RETURN);
  EXPECT_EQ(Output(), "");
}

}  // namespace
}  // namespace tessel
