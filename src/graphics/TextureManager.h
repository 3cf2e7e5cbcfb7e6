#pragma once

#include <cstddef>
#include <vector>

namespace tessel {

class Texture;

// Carries every live texture across a change of video mode. Holds references
// only: a Texture adds itself when made and removes itself on Release.
class TextureManager {
 public:
  // Reads every texture's image back into main memory.
  static void SaveAll();
  // Makes every saved texture again under a new name. All old names are
  // deleted before the first new one is made: a driver that lost its context
  // hands out the old numbers again, and deleting an old name in the same
  // step would delete a texture just restored under it.
  static void RestoreAll();

  static void Add(Texture* texture);
  static void Remove(Texture* texture);
  static std::size_t Count();
  static const std::vector<Texture*>& Textures();
};

}  // namespace tessel
