#pragma once

namespace tessel {

// The mounted archives, rebuilt under their handles in the order they were
// loaded (which is the order names are looked up in).
void RegisterResourceSaveSections();

}  // namespace tessel
