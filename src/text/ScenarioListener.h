#pragma once

#include <string>
#include <vector>

namespace tessel {

// Receives the tokens of the ScenarioReader. Every operation returns whether
// the next listener gets the token too; the base does nothing and returns true.
// A listener that is destroyed takes itself out of every live reader, also in
// the middle of a dispatch, so no reader ever calls a dead listener.
class ScenarioListener {
 public:
  ScenarioListener() = default;
  ScenarioListener(const ScenarioListener&) = delete;
  ScenarioListener& operator=(const ScenarioListener&) = delete;
  virtual ~ScenarioListener();  // in ScenarioReader.cpp

  virtual bool OnCharacter(char16_t ch) { return true; }
  virtual bool OnParagraphEnd() { return true; }
  virtual bool OnLineEnd() { return true; }
  virtual bool OnLineBreaks(int count) { return true; }
  virtual bool OnScriptBlock(const std::u16string& text, int line) { return true; }
  virtual bool OnRubyCharacter(char16_t ch, const std::u16string& ruby) { return true; }
  // Both lists are equally long: texts[i] is shown, targets[i] is called.
  virtual bool OnChoices(const std::vector<std::u16string>& texts,
                         const std::vector<std::u16string>& targets) {
    return true;
  }
  virtual bool OnPageEnd() { return true; }
  virtual bool OnScenarioEnd() { return true; }
  virtual bool OnReserved(int value) { return true; }  // never delivered
  virtual bool OnCall(const std::u16string& name) { return true; }
};

}  // namespace tessel
