#include "app/EngineSaveSections.h"

namespace tessel {

void RegisterEngineSaveSections() {
  // Each floor's Register...SaveSections() is called from here as it gains one.
}

}  // namespace tessel
