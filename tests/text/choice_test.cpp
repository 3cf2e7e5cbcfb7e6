// Choice lists: buttons under the pointer, their hit areas, and branching into
// the picked file and back.
#include <gtest/gtest.h>

#include "event/EventHandler.h"
#include "text/ChoiceButton.h"
#include "text/ScenarioController.h"
#include "text/ScenarioReader.h"
#include "text/StoryTest.h"

namespace tessel {
namespace {

class Choices : public test::StoryTest {
 protected:
  // A story stopped at a two-line choice list, the layer at (10, 20).
  ScenarioLayer* StopAtChoices(const std::u16string& list = u"$Yes$yes.tsl$$No$no.tsl$") {
    WriteScenario("yes.tsl", u"Y\n");
    WriteScenario("no.tsl", u"N\n");
    Load(u"Q\n\n" + list + u"\nZ");
    ScenarioLayer* layer = MakeLayer(300, 200);
    Lua("OffsetLayer(layer, 10, 20)");
    StepUntilStopped();
    PressKey(SDLK_RETURN);
    StepUntilStopped();
    return layer;
  }
  ScenarioController& Controller() { return *ScenarioController::Instance(); }
  int Pitch() { return main_font_->LineSkip() + ruby_font_->LineSkip(); }
  ChoiceButton& Button(ScenarioLayer& layer, std::size_t i) { return *layer.Choices().at(i); }
  // Window position inside a button.
  static int MidX(ChoiceButton& b) { return b.Left() + 5; }
  static int MidY(ChoiceButton& b) { return b.Top() + b.ImageHeight() / 2; }
};

using ChoiceHover = Choices;

TEST_F(ChoiceHover, ButtonsStackFromTheCursorHalfTransparentUntilThePointerMoves) {
  ScenarioLayer* layer = StopAtChoices();
  ASSERT_EQ(layer->Choices().size(), 2u);
  EXPECT_FALSE(Controller().Running());
  EXPECT_FALSE(layer->TextMode());
  ChoiceButton& yes = Button(*layer, 0);
  ChoiceButton& no = Button(*layer, 1);
  // After the key wait the pen is at the start of the second line; the list
  // starts above its ruby band.
  const int top = ruby_font_->LineSkip() + Pitch() - ruby_font_->LineSkip();
  EXPECT_EQ(yes.Left(), 10);
  EXPECT_EQ(yes.Top(), 20 + top);
  EXPECT_EQ(yes.ImageHeight(), Pitch());
  EXPECT_EQ(yes.ImageWidth(), 300);
  EXPECT_EQ(no.Top(), 20 + top + Pitch());
  EXPECT_EQ(yes.Target(), u"yes.tsl");
  for (ChoiceButton* b : {&yes, &no}) {
    EXPECT_EQ(b->State(), 0);
    EXPECT_EQ(b->Alpha(), 0.5);
    EXPECT_FALSE(b->Highlighted());
  }
  // Return with nothing highlighted does nothing.
  PressKey(SDLK_RETURN);
  EXPECT_EQ(layer->Choices().size(), 2u);
}

TEST_F(ChoiceHover, ThePointerHighlightsTheLineUnderItOnly) {
  ScenarioLayer* layer = StopAtChoices();
  ChoiceButton& yes = Button(*layer, 0);
  ChoiceButton& no = Button(*layer, 1);
  MoveTo(MidX(yes), MidY(yes));
  EXPECT_TRUE(yes.Highlighted());
  EXPECT_EQ(yes.Alpha(), 1.0);
  EXPECT_FALSE(no.Highlighted());
  MoveTo(MidX(no), MidY(no));
  EXPECT_FALSE(yes.Highlighted());
  EXPECT_EQ(yes.Alpha(), 0.5);
  EXPECT_TRUE(no.Highlighted());
  MoveTo(1, 1);
  EXPECT_FALSE(no.Highlighted());
}

TEST_F(ChoiceHover, DownAndUpMoveTheHighlightAndReturnTakesIt) {
  ScenarioLayer* layer = StopAtChoices(u"$A$yes.tsl$$B$no.tsl$$C$yes.tsl$");
  auto highlighted = [layer] {
    std::string lines;
    for (const auto& button : layer->Choices()) lines += button->Highlighted() ? '1' : '0';
    return lines;
  };
  PressKey(SDLK_UP);  // none highlighted: Up starts at the bottom
  EXPECT_EQ(highlighted(), "001");
  PressKey(SDLK_DOWN);  // the end stays
  EXPECT_EQ(highlighted(), "001");
  PressKey(SDLK_UP);
  PressKey(SDLK_UP);
  PressKey(SDLK_UP);
  EXPECT_EQ(highlighted(), "100");
  // The pointer still takes the highlight over.
  MoveTo(MidX(Button(*layer, 1)), MidY(Button(*layer, 1)));
  EXPECT_EQ(highlighted(), "010");
  MoveTo(1, 1);
  PressKey(SDLK_DOWN);  // none highlighted: Down starts at the top
  PressKey(SDLK_DOWN);
  EXPECT_EQ(highlighted(), "010");
  PressKey(SDLK_RETURN);
  EXPECT_TRUE(layer->Choices().empty());
  EXPECT_EQ(Controller().Reader()->CurrentName(), "no.tsl");
}

TEST_F(ChoiceHover, LeftAndTopEdgesAreInsideRightAndBottomAreNot) {
  ScenarioLayer* layer = StopAtChoices(u"$Only$yes.tsl$");
  ChoiceButton& b = Button(*layer, 0);
  const int right = b.Left() + b.ImageWidth();
  const int bottom = b.Top() + b.ImageHeight();
  EXPECT_TRUE(b.HitTest(b.Left(), b.Top()));
  EXPECT_TRUE(b.HitTest(right - 1, bottom - 1));
  EXPECT_FALSE(b.HitTest(right, b.Top()));
  EXPECT_FALSE(b.HitTest(b.Left(), bottom));
  EXPECT_FALSE(b.HitTest(b.Left() - 1, b.Top()));
  EXPECT_FALSE(b.HitTest(b.Left(), b.Top() - 1));
}

TEST_F(ChoiceHover, PressingThenLeavingBeforeReleaseChoosesNothing) {
  ScenarioLayer* layer = StopAtChoices();
  ChoiceButton& yes = Button(*layer, 0);
  MoveTo(MidX(yes), MidY(yes));
  Press(MidX(yes), MidY(yes));
  EXPECT_EQ(yes.State(), ChoiceButton::kOver | ChoiceButton::kPressed);
  EXPECT_TRUE(yes.Highlighted());
  MoveTo(1, 1);
  EXPECT_EQ(yes.State(), ChoiceButton::kPressed);
  EXPECT_EQ(yes.Alpha(), 0.5);
  MoveTo(MidX(yes), MidY(yes));  // back over while held
  EXPECT_TRUE(yes.Highlighted());
  MoveTo(1, 1);
  Release(1, 1);
  EXPECT_EQ(yes.State(), 0);
  EXPECT_EQ(layer->Choices().size(), 2u);
  EXPECT_FALSE(Controller().Running());
}

TEST_F(ChoiceHover, TheHitAreaFollowsTheLayerOnceItIsDrawn) {
  ScenarioLayer* layer = StopAtChoices();
  ChoiceButton& yes = Button(*layer, 0);
  const int x = MidX(yes);
  const int y = MidY(yes);
  Lua("OffsetLayer(layer, 10, 120)");
  MoveTo(x, y);
  EXPECT_TRUE(yes.Highlighted());  // not drawn since: the old offset
  layer->Draw();
  MoveTo(x, y);
  EXPECT_FALSE(yes.Highlighted());
  MoveTo(x, y + 100);
  EXPECT_TRUE(yes.Highlighted());
}

using ChoiceBranching = Choices;

TEST_F(ChoiceBranching, AClickOnALineCallsItsFileAndReturnsAfterTheList) {
  ScenarioLayer* layer = StopAtChoices();
  ChoiceButton& no = Button(*layer, 1);
  const int x = MidX(no);
  const int y = MidY(no);
  MoveTo(x, y);
  ::testing::internal::CaptureStdout();
  ClickAt(x, y);
  EXPECT_TRUE(layer->Choices().empty());
  EXPECT_TRUE(layer->TextMode());
  EXPECT_TRUE(Controller().Running());
  EXPECT_EQ(layer->GetPen(), (Pen{0, ruby_font_->LineSkip()}));  // a cleared page
  StepUntilStopped();  // N, its end, the paragraph end... until Z's end
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(
      test::FirstMissingInOrder(out, {"Reading Script no.tsl\n", "Reading Script no.tsl OK.\n",
                                      "\t-> Push no.tsl\n\tLineNumber : 0\n",
                                      "\t\t<- Pop no.tsl\n\t\tLineNumber : 1\n"
                                      "\tLeave point main.tsl\n\tLineNumber : 3\n"}),
      "")
      << out;
  EXPECT_EQ(out.find("yes.tsl"), std::string::npos);
  EXPECT_EQ(Controller().Reader()->Depth(), 1u);
  // N, then Z after the list, on the cleared page.
  EXPECT_EQ(layer->GetPen().x, test::MetricsOf(*main_font_, u'N').advance +
                                   test::MetricsOf(*main_font_, u'Z').advance);
}

TEST_F(ChoiceBranching, AfterTheCalledFileALaterListOffersOnlyItsOwnChoices) {
  WriteScenario("a.tsl", u"A");
  Load(u"$One$a.tsl$\nX$Two$a.tsl$$Three$a.tsl$");
  ScenarioLayer* layer = MakeLayer(300, 200);
  StepUntilStopped();
  ASSERT_EQ(layer->Choices().size(), 1u);
  MoveTo(MidX(Button(*layer, 0)), MidY(Button(*layer, 0)));
  PressKey(SDLK_RETURN);
  StepUntilStopped();
  EXPECT_EQ(layer->Choices().size(), 2u);
}

TEST_F(ChoiceBranching, OnlyTheFirstHighlightedLineIsCalled) {
  ScenarioLayer* layer = StopAtChoices();
  ChoiceButton& yes = Button(*layer, 0);
  ChoiceButton& no = Button(*layer, 1);
  // Each button hears its own pointer: both end up highlighted.
  yes.OnMouseMotion(0, MidX(yes), MidY(yes), 0, 0);
  no.OnMouseMotion(0, MidX(no), MidY(no), 0, 0);
  ASSERT_TRUE(yes.Highlighted() && no.Highlighted());
  PressKey(SDLK_RETURN);
  EXPECT_EQ(Controller().Reader()->Depth(), 2u);
  EXPECT_EQ(Controller().Reader()->CurrentName(), "yes.tsl");
}

TEST_F(ChoiceBranching, AMissingFileIsReportedAndTheStoryGoesOnAfterTheList) {
  ScenarioLayer* layer = StopAtChoices(u"$Lost$nowhere.tsl$");
  MoveTo(MidX(Button(*layer, 0)), MidY(Button(*layer, 0)));
  ::testing::internal::CaptureStdout();
  PressKey(SDLK_RETURN);
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Error : nowhere.tsl doesn't exist.\n"), std::string::npos) << out;
  EXPECT_TRUE(Controller().Running());
  Step();
  EXPECT_EQ(layer->GetPen().x, test::MetricsOf(*main_font_, u'Z').advance);
}

TEST_F(ChoiceBranching, JapaneseTargetNamesOpenTheirFiles) {
  WriteScenario("\xE5\x88\x86\xE5\xB2\x90.tsl", u"J");  // 分岐.tsl, stored as UTF-8
  ScenarioLayer* layer = StopAtChoices(u"$\u884C\u304F$\u5206\u5C90.tsl$");
  MoveTo(MidX(Button(*layer, 0)), MidY(Button(*layer, 0)));
  PressKey(SDLK_RETURN);
  EXPECT_EQ(Controller().Reader()->Depth(), 2u);
}

using ChoiceText = Choices;

TEST_F(ChoiceText, BackslashRunsAddLinesToTheButtonImage) {
  ScenarioLayer* layer = StopAtChoices(u"$A\\\\B$yes.tsl$$C$no.tsl$");
  EXPECT_EQ(Button(*layer, 0).ImageHeight(), 3 * Pitch());
  EXPECT_EQ(Button(*layer, 1).Top(), Button(*layer, 0).Top() + 3 * Pitch());
}

TEST_F(ChoiceText, AnImageTallerThanTheLargestTextureIsCut) {
  // Without a window the bound is 16384 pixels, as large textures go.
  ScenarioLayer* layer = StopAtChoices(u"$A" + std::u16string(2000, u'\\') + u"B$yes.tsl$");
  ASSERT_GT(2001 * Pitch(), 16384);
  EXPECT_EQ(Button(*layer, 0).ImageHeight(), 16384);
}

TEST_F(ChoiceText, AScriptBlockRunsOnceWhenTheButtonIsMade) {
  ::testing::internal::CaptureStdout();
  ScenarioLayer* layer = StopAtChoices(u"$Go{note('made')}!$yes.tsl$");
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(Output(), "made\n");
  // Laid out as a scenario of its own, with its trace.
  EXPECT_NE(out.find("-> Push Alternative\nLineNumber : 0\n"), std::string::npos) << out;
  layer->Draw();
  MoveTo(MidX(Button(*layer, 0)), MidY(Button(*layer, 0)));
  PressKey(SDLK_RETURN);
  EXPECT_EQ(Output(), "");
}

TEST_F(ChoiceText, ALongLineWrapsAtTheLayerWidth) {
  std::u16string long_text(40, u'W');
  ScenarioLayer* layer = StopAtChoices(u"$" + long_text + u"$yes.tsl$");
  const int advance = test::MetricsOf(*main_font_, u'W').advance;
  const int per_line = 300 / advance;  // roughly; at least two lines
  ASSERT_LT(per_line, 40);
  EXPECT_GE(Button(*layer, 0).ImageHeight(), 2 * Pitch());
}

}  // namespace
}  // namespace tessel
