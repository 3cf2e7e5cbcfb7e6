#pragma once

namespace tessel {

// Registers the save sections of every subsystem below app (story position,
// message windows, engine objects, window state). Each floor keeps its own
// section code; this only calls each floor's registration once.
void RegisterEngineSaveSections();

}  // namespace tessel
