#pragma once

namespace tessel {

// Sound chunks and music with their channels, volumes and what plays, and
// the mixer's channel count and music volume.
void RegisterSoundSaveSections();

}  // namespace tessel
