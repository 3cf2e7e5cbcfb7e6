// The story saved and loaded in a window: mid-page while typing, at a key
// wait, with a choice list shown and highlighted; a file of the saved stack
// that is gone refuses the load; a changed file resumes at its saved line.
#include <filesystem>

#include "script/ScriptHost.h"
#include "support/SaveTestSupport.h"
#include "text/ScenarioController.h"
#include "text/ScenarioReader.h"
#include "text/StoryTest.h"

namespace tessel::test {
namespace {

class StorySaveTest : public StoryWindowTest {
 protected:
  // Starts the story on main.tsl as the game would, from the file.
  void Begin(const std::u16string& main) {
    WriteScenario("main.tsl", main);
    ScenarioController& controller = *ScenarioController::Instance();
    controller.SetReader(std::make_unique<ScenarioReader>(LoadScenarioFile("main.tsl")));
    controller.AttachListener(system_listener_.get());
  }

  // Plays on with the clock, drawing a frame at every stop, then Return.
  std::vector<std::vector<std::uint8_t>> Play(int stops, SDLKey first_key = SDLK_RETURN) {
    std::vector<std::vector<std::uint8_t>> frames;
    ScenarioController& controller = *ScenarioController::Instance();
    SDLKey key = first_key;
    for (int stop = 0; stop < stops; ++stop) {
      PressKey(key);
      key = SDLK_RETURN;
      for (int i = 0; i < 500 && controller.Running(); ++i) {
        clock_.Advance(7);
        controller.Step();
      }
      RenderFrame();
      frames.push_back(ReadFrame());
    }
    return frames;
  }

  // Saves, plays on, loads the save and plays on again: both must match.
  void ExpectSameAfterLoad(int stops, SDLKey first_key = SDLK_RETURN) {
    RenderFrame();
    const std::vector<std::uint8_t> shown = ReadFrame();
    const std::vector<std::uint8_t> saved = SaveEngineState();
    Output();
    const auto frames = Play(stops, first_key);
    const std::string trace = Output();
    ASSERT_EQ(LoadEngineState(saved), "");
    EXPECT_EQ(SaveEngineState(), saved);
    RenderFrame();
    EXPECT_EQ(ReadFrame(), shown);
    EXPECT_EQ(Play(stops, first_key), frames);
    EXPECT_EQ(Output(), trace);
  }
};

TEST_F(StorySaveTest, TypingKeyWaitsAndChoicesGoOnExactlyAfterALoad) {
  WriteScenario("yes.tsl", u"{note('yes')}Yes\n\nSaid.\n\n");
  WriteScenario("no.tsl", u"{note('no')}No\n\n");
  Begin(u"Hi {note('hi')}there\n\nA long line of text\n\n$One$yes.tsl$$Two$no.tsl$\nEnd\n\n");
  ScenarioLayer* layer = MakeLayer(300, 200);
  Lua("ChgMesWait(layer, 20) OffsetLayer(layer, 5, 9) SetMesKeywaitFunc(layer, '', 'tick', '', 8) "
      "function tick(x, y, t) note('tick', x, y, t) end");
  // Midway through the first line, a timed wait pending.
  for (int i = 0; i < 5; ++i) {
    clock_.Advance(11);
    ScenarioController::Instance()->Step();
  }
  ASSERT_TRUE(ScenarioController::Instance()->Waiting());
  ExpectSameAfterLoad(4);

  // At the choice list with the second line highlighted.
  for (int i = 0; i < 2; ++i) Play(1);
  ASSERT_NE(layer = LayerGlobal(), nullptr);  // the loaded game's layer, under the same handle
  ASSERT_FALSE(layer->Choices().empty());
  PressKey(SDLK_DOWN);
  PressKey(SDLK_DOWN);
  ExpectSameAfterLoad(3, SDLK_RETURN);
  EXPECT_TRUE(LayerGlobal()->Choices().empty());
}

TEST_F(StorySaveTest, AGoneFileRefusesTheLoadAndAChangedOneResumesAtItsLine) {
  WriteScenario("sub.tsl", u"First\n\nSecond {note('second')}\n\n");
  Begin(u"Go@sub.tsl\nBack\n\n");
  MakeLayer(300, 200);
  StepUntilStopped();
  PressKey(SDLK_RETURN);
  StepUntilStopped();  // sub.tsl's second line waits; "Third" would follow
  const std::vector<std::uint8_t> saved = SaveEngineState();
  Output();

  std::filesystem::remove(dir_.Path() / "sub.tsl");
  EXPECT_NE(LoadEngineState(saved).find("sub.tsl no longer exists"), std::string::npos);
  EXPECT_EQ(SaveEngineState(), saved);  // nothing changed

  // The author fixed a typo above the saved line: the story goes on at the
  // start of the line it was to read next.
  WriteScenario("sub.tsl", u"Fixed first\n\nSecond {note('second')}\n\nThird {note('third')}");
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(LoadEngineState(saved), "");
  EXPECT_NE(::testing::internal::GetCapturedStdout().find("sub.tsl has changed"), std::string::npos);
  PressKey(SDLK_RETURN);
  StepUntilStopped();
  EXPECT_EQ(Output(), "third\n");
}

}  // namespace
}  // namespace tessel::test
