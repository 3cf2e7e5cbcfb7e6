// The scenario layer's commands with good and bad arguments.
#include <gtest/gtest.h>

extern "C" {
#include <lua.h>
}

#include "event/EventHandler.h"
#include "graphics/Layer.h"
#include "graphics/LayerTable.h"
#include "script/ScriptHost.h"
#include "text/ChoiceButton.h"
#include "text/ScenarioController.h"
#include "text/ScenarioReader.h"
#include "text/StoryTest.h"

namespace tessel {
namespace {

constexpr const char* kReleased = "This texture layer data has already released.\n";

class ScenarioLayerCommands : public test::StoryTest {
 protected:
  std::string Errors(const std::string& code) {
    ::testing::internal::CaptureStderr();
    Lua(code);
    return ::testing::internal::GetCapturedStderr();
  }
  std::string Log(const std::string& code) {
    ::testing::internal::CaptureStdout();
    Lua(code);
    return ::testing::internal::GetCapturedStdout();
  }
};

TEST_F(ScenarioLayerCommands, CreateMakesADisabledLayerOutsideTheTable) {
  Load(u"");
  Lua("layer = CreateScenarioLayer(200, 100, main_font, ruby_font)");
  ScenarioLayer* layer = LayerGlobal();
  ASSERT_NE(layer, nullptr);
  EXPECT_FALSE(layer->Enabled());
  EXPECT_EQ(LayerTable::SlotOf(layer), -1);
  EXPECT_TRUE(EventHandlerList::Contains(layer));
  EXPECT_FALSE(ScenarioController::Instance()->Reader()->HasListener(layer->TextListener()));
  EXPECT_EQ(layer->Width(), 200);
  EXPECT_EQ(layer->Height(), 100);
  EXPECT_EQ(layer->GetPen(), (Pen{0, ruby_font_->LineSkip()}));
  EXPECT_EQ(layer->WaitStack(), std::deque<int>{0});
  EXPECT_TRUE(layer->TextMode());
  EXPECT_EQ(layer->Alpha(), 1.0);
}

TEST_F(ScenarioLayerCommands, EnablingTwiceRegistersOneListenerAndDisablingRemovesIt) {
  Load(u"");
  ScenarioLayer* layer = MakeLayer(200, 100);
  Lua("EnableScenarioLayer(layer) EnableScenarioLayer(layer)");
  ScenarioReader& reader = *ScenarioController::Instance()->Reader();
  EXPECT_TRUE(reader.HasListener(layer->TextListener()));
  Lua("DisableScenarioLayer(layer)");
  EXPECT_FALSE(reader.HasListener(layer->TextListener()));
  EXPECT_FALSE(layer->Enabled());
}

TEST_F(ScenarioLayerCommands, BadFontsOrSizesGiveNil) {
  ::testing::internal::CaptureStderr();
  const std::string log =
      Log("a = CreateScenarioLayer(200, 100, 12, ruby_font) "
          "b = CreateScenarioLayer(200, 100, main_font, nil) "
          "c = CreateScenarioLayer(0, 100, main_font, ruby_font) "
          "d = CreateScenarioLayer(200, -1, main_font, ruby_font) "
          "e = CreateScenarioLayer(1e9, 100, main_font, ruby_font) "
          "f = CreateScenarioLayer(200, 100, main_font, ruby_font)");
  for (const char* name : {"a", "b", "c", "d", "e"}) EXPECT_TRUE(IsNil(name)) << name;
  EXPECT_FALSE(IsNil("f"));
  const std::string errors = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(errors.find("CreateScenarioLayer: argument 3 is not a live font"), std::string::npos)
      << errors;
  EXPECT_NE(errors.find("CreateScenarioLayer: argument 4 is not a live font"), std::string::npos);
  EXPECT_NE(log.find("CreateScenarioLayer: a 0x100 message window is not possible"),
            std::string::npos);
}

TEST_F(ScenarioLayerCommands, AFontReleasedByItsScriptLivesOnInTheLayer) {
  Load(u"AB");
  ScenarioLayer* layer = MakeLayer(200, 100);
  Registry().Release(Registry().Find(test::GlobalHandle("main_font")));
  main_font_.reset();  // the layer is the last holder
  Step(2);
  EXPECT_GT(layer->GetPen().x, 0);
  Lua("x = CreateScenarioLayer(200, 100, main_font, ruby_font)");
  EXPECT_TRUE(IsNil("x"));
}

TEST_F(ScenarioLayerCommands, APlainLayerOrAnythingElseGetsTheLayerFamilysMessage) {
  auto* plain = Registry().Add(std::make_unique<Layer>(nullptr));
  lua_State* state = Host().State();
  lua_pushlightuserdata(state, plain->Handle());
  lua_setglobal(state, "plain");
  for (const char* call :
       {"EnableScenarioLayer(plain)", "DisableScenarioLayer(plain)", "ResizeMesWnd(plain, 10, 10)",
        "ChgMesWait(plain, 10)", "SetMesKeywaitFunc(plain, 'a', 'b', 'c', 1)",
        "EnableScenarioLayer(nil)", "ChgMesWait(3, 4)", "DisableScenarioLayer(main_font)"}) {
    EXPECT_EQ(Errors(call), kReleased) << call;
  }
}

TEST_F(ScenarioLayerCommands, ResizeRefusesImpossibleSizesAndKeepsThePen) {
  Load(u"AB");
  ScenarioLayer* layer = MakeLayer(200, 100);
  Step(2);
  const Pen pen = layer->GetPen();
  const std::string log = Log("ResizeMesWnd(layer, 0, 50) ResizeMesWnd(layer, 50, -3)");
  EXPECT_NE(log.find("ResizeMesWnd: a 0x50 message window is not possible"), std::string::npos);
  EXPECT_EQ(layer->Width(), 200);
  Lua("ResizeMesWnd(layer, 120, 60)");
  EXPECT_EQ(layer->Width(), 120);
  EXPECT_EQ(layer->Height(), 60);
  EXPECT_EQ(layer->GetPen(), pen);
}

TEST_F(ScenarioLayerCommands, EachLayerHasItsOwnTextMode) {
  WriteScenario("a.tsl", u"");
  Load(u"$One$a.tsl$\nX$Two$a.tsl$\nY");
  ScenarioLayer* first = MakeLayer(200, 100);
  StepUntilStopped();
  ASSERT_FALSE(first->TextMode());
  // A second layer made while the first shows a choice starts in text mode...
  Lua("second = CreateScenarioLayer(200, 100, main_font, ruby_font) EnableScenarioLayer(second)");
  ScenarioLayer* second = LayerGlobal("second");
  EXPECT_TRUE(second->TextMode());
  Lua("ReleaseLayer(layer)");
  PressKey(SDLK_RETURN);  // the second layer ends the stop
  StepUntilStopped();
  // ...and its own choice mutes it, and picking unmutes it.
  EXPECT_FALSE(second->TextMode());
  ASSERT_EQ(second->Choices().size(), 1u);
  second->Choices()[0]->OnMouseMotion(0, second->Choices()[0]->Left(), second->Choices()[0]->Top(),
                                      0, 0);
  PressKey(SDLK_RETURN);
  EXPECT_TRUE(second->TextMode());
  StepUntilStopped(20);
  EXPECT_EQ(second->GetPen().x, test::MetricsOf(*main_font_, u'Y').advance);
}

}  // namespace
}  // namespace tessel
