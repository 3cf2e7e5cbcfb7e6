#include "check/ScenarioWalk.h"

#include "text/Scenario.h"
#include "text/ScenarioListener.h"
#include "text/ScenarioReader.h"

namespace tessel::check {
namespace {

class Recorder final : public ScenarioListener {
 public:
  Recorder(ScenarioReader& reader, ScenarioContents& out) : reader_(reader), out_(out) {}

  bool OnScriptBlock(const std::u16string& text, int line) override {
    const Scenario& s = *reader_.Current();
    out_.blocks.push_back({text, line, s.Peek() == 0, s.script_marks});
    return true;
  }

  bool OnCall(const std::u16string& name) override {
    out_.calls.push_back({name, reader_.Current()->token_line});
    return true;
  }

  bool OnChoices(const std::vector<std::u16string>& texts,
                 const std::vector<std::u16string>& targets) override {
    const Scenario& s = *reader_.Current();
    for (std::size_t i = 0; i < texts.size() && i < targets.size(); ++i) {
      Choice choice;
      choice.text = texts[i];
      choice.text_line = i < s.choice_text_lines.size() ? s.choice_text_lines[i] : s.token_line;
      choice.target.name = targets[i];
      choice.target.line =
          i < s.choice_target_lines.size() ? s.choice_target_lines[i] : s.token_line;
      out_.choices.push_back(std::move(choice));
    }
    return true;
  }

  bool OnScenarioEnd() override {
    ended_ = true;
    return true;
  }

  bool Ended() const { return ended_; }

 private:
  ScenarioReader& reader_;
  ScenarioContents& out_;
  bool ended_ = false;
};

}  // namespace

ScenarioContents WalkScenario(std::unique_ptr<Scenario> scenario) {
  ScenarioContents contents;
  if (!scenario) return contents;
  // Entered here, so that the reader takes it as already pushed and writes
  // no push trace into the report.
  scenario->ResolveByteOrder();
  scenario->pushed = true;
  const std::size_t units = scenario->text.size();
  ScenarioReader reader(std::move(scenario));
  Recorder recorder(reader, contents);
  reader.AddListener(&recorder);
  // Every step but the last consumes at least one unit.
  for (std::size_t steps = 0; steps <= units + 2 && !recorder.Ended(); ++steps) reader.Step();
  return contents;
}

std::vector<ScriptBlock> ChoiceTextBlocks(const std::u16string& text) {
  auto scenario = std::make_unique<Scenario>(text, false);
  scenario->name = "Alternative";
  return WalkScenario(std::move(scenario)).blocks;
}

}  // namespace tessel::check
