#pragma once

#include <memory>
#include <string>
#include <vector>

#include "text/LuaStringTracker.h"

namespace tessel {
class Scenario;
}

namespace tessel::check {

// What the engine's scenario reader meets in one file. Lines are 0-based, as
// the reader counts them.
struct ScriptBlock {
  std::u16string code;
  int line = 0;  // the line of the opening brace
  // Nothing follows it in the file: an unclosed block also ends that way.
  bool reaches_end = false;
  ScriptBlockMarks marks;  // what cutting the block out may have broken
};

struct FileReference {
  std::u16string name;
  int line = 0;
};

struct Choice {
  std::u16string text;
  int text_line = 0;
  FileReference target;
};

struct ScenarioContents {
  std::vector<ScriptBlock> blocks;
  std::vector<FileReference> calls;
  std::vector<Choice> choices;
};

// Reads the scenario to its end with the engine's reader (nothing is run and
// nothing is entered; the reader writes no trace).
ScenarioContents WalkScenario(std::unique_ptr<Scenario> scenario);

// The script blocks of a choice text, laid out as scenario text the way a
// choice button reads it; their lines count within the text.
std::vector<ScriptBlock> ChoiceTextBlocks(const std::u16string& text);

}  // namespace tessel::check
