#pragma once

namespace tessel {

// Script event handlers with their function names, and which engine objects
// stand in the handler list, in its order.
void RegisterEventSaveSections();

}  // namespace tessel
