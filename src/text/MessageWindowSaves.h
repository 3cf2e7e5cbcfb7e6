#pragma once

namespace tessel {

// Scenario layers with their page, pen, waits, key-wait state and choices.
void RegisterMessageWindowSaveSections(int order);

}  // namespace tessel
