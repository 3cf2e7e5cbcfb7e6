#pragma once

#include <string>

namespace tessel {

// The window's icon: a picture from the game's files (archives first, then
// the base directory). Some window systems take an icon only when the video
// mode is set, so the picture is kept and handed over again at every mode
// set; it is also handed over at once, for a window that already exists.
class WindowIcon {
 public:
  // False, after a log line naming the file, when it is missing or is no
  // picture; the icon set before stays.
  static bool Set(const std::string& name);
  // Hands the kept picture to the media layer (nothing when none is kept).
  static void Apply();
  // The kept picture's size; 0 x 0 when none is kept.
  static int Width();
  static int Height();
  static void Forget();
};

}  // namespace tessel
