#pragma once

#include <string>

namespace tessel::bundle {

// The launcher script `./NAME`: the bundle's engine with the bundle's
// libraries (LD_LIBRARY_PATH, no rpath), the player's arguments passed on,
// --power-save unless the game turned it off, and the game folder. It also
// points NAME.desktop at wherever the bundle was unpacked.
std::string LauncherScript(const std::string& name, bool power_save);

// NAME.desktop: a desktop entry for the launcher (and NAME.png when there
// is an icon).
std::string DesktopEntry(const std::string& name, bool has_icon);

// Whether a name can name the launcher: letters, digits, '.', '-', '_',
// not starting with '.' or '-'.
bool IsLauncherName(const std::string& name);

}  // namespace tessel::bundle
