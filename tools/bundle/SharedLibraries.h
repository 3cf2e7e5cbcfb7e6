#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessel::bundle {

// A shared library a program loads: the name it asks for and the file found.
struct SharedLibrary {
  std::string soname;
  std::string path;
};

// The libraries ldd lists as found (the whole closure, in its order);
// `missing` receives the names it could not find.
std::vector<SharedLibrary> ParseLdd(std::string_view output, std::vector<std::string>& missing);

// Libraries that come from the player's system and are never bundled: the C
// library with the GCC runtime (libstdc++, libgcc_s: the OpenGL driver needs
// its own or a newer one), the OpenGL driver stack (libGL*, libEGL, libgbm,
// libdrm, ...), the X and Wayland libraries, and the ALSA and PulseAudio
// clients, which must match the player's sound system.
bool IsSystemLibrary(std::string_view soname);

// The Debian package that installed a file ("libsdl1.2-compat"), from dpkg's
// database; nothing for a file no package owns.
std::optional<std::string> DebianPackageOf(const std::string& path);

// The package's copyright file, when it has one.
std::optional<std::string> CopyrightFileOf(const std::string& package);

}  // namespace tessel::bundle
