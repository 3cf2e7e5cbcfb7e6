#pragma once

namespace tessel {

// Texture images, layers with their attributes, running effects with their
// elapsed time, and the layer table's slots, rebuilt by a loaded game.
void RegisterGraphicsSaveSections();

}  // namespace tessel
