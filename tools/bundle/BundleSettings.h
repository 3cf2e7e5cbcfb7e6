#pragma once

#include <string>
#include <vector>

namespace tessel::bundle {

// bundle.ini, beside the game's main.tsl (or its main.dat): how the game
// wants to be bundled. Lines "key = value"; '#' or ';' starts a comment line.
//   power_save = yes | no   the launcher turns --power-save on (default yes)
//   fonts = a.ttf, MS Gothic  fonts the scripts name in ways the bundler
//                             cannot see (computed names), comma-separated
// The file is read at bundle time and not packed.
struct BundleSettings {
  bool power_save = true;
  std::vector<std::string> fonts;
};

// Reads the text of bundle.ini; a line it cannot use adds a message
// ("bundle.ini:LINE: ...") to `problems` and changes nothing.
BundleSettings ParseBundleSettings(const std::string& text, std::vector<std::string>& problems);

}  // namespace tessel::bundle
