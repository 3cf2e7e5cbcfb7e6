#pragma once

#include <optional>
#include <string>
#include <vector>

#include "script/ScriptHost.h"

namespace tessel {

class MessageWindow;
class ScenarioReader;

// What a played path reads from, and does to, the running game: where the
// story stands, whether effects still run, the window waiting for a choice,
// the player's Return key and the scenario files the game ships.
namespace playtest {

// The story's reader while a scenario is being read, else nullptr.
const ScenarioReader* StoryReader();

// The scenario line that a running script was started from: the outermost
// script block on the stack, else the token the reader read last (a callback
// runs outside any block).
std::optional<ScriptPosition> StoryLine(const std::vector<ScriptFrame>& trace);

bool EffectRunning();

// The first enabled message window showing choices, else nullptr.
MessageWindow* WindowWithChoices();

// Queues a Return key press and release, as a player answering a wait.
void PressReturn();

// Scenario files of the game: archive entries and files under the base
// directory (hidden folders and deep trees skipped).
std::vector<std::string> AvailableScenarios();

}  // namespace playtest
}  // namespace tessel
