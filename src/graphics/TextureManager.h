#pragma once

namespace tessel {

// Carries every live texture across a change of video mode.
class TextureManager {
 public:
  static void SaveAll();
  static void RestoreAll();
};

}  // namespace tessel
