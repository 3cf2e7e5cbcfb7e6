#pragma once

namespace tessel {

// The window's size, caption, base colour and frame rate.
void RegisterAppSaveSections();

}  // namespace tessel
