#pragma once

namespace tessel {

// The story position: the scenario call stack, the pacing (running, key
// waits, timed waits) and which windows hear the story, in order. Also
// registers the font and message-window sections of the text floor.
void RegisterTextSaveSections();

}  // namespace tessel
