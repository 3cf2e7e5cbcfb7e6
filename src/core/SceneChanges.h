#pragma once

#include <cstdint>

namespace tessel {

// Counts what may change the picture: script commands, input and window
// events, steps of the story. The power-save frame loop leaves out a frame
// that would repeat the last one when the count has not moved.
void NoteSceneChange();
std::uint64_t SceneChangeCount();

}  // namespace tessel
