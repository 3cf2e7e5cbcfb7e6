#include "graphics/TextureManager.h"

namespace tessel {

// Textures arrive with the graphics family; until then there is nothing to carry.
void TextureManager::SaveAll() {}
void TextureManager::RestoreAll() {}

}  // namespace tessel
