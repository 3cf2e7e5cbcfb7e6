// tessel-bundle: makes a folder a player unpacks and runs, with the game, the
// engine, the libraries and the fonts it needs.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bundle/Bundle.h"

namespace {

constexpr const char* kUsage =
    "Usage: tessel-bundle [OPTIONS] GAME OUT\n"
    "\n"
    "Makes the folder OUT, which a player unpacks on a Linux desktop and starts\n"
    "with ./NAME, with nothing to install. GAME is the game's folder (or its\n"
    "main.tsl) or a main.dat. The game is checked first, as tessel-check does;\n"
    "a game with errors is refused and its errors are listed.\n"
    "\n"
    "OUT holds:\n"
    "  NAME            the launcher: passes its arguments on to the engine and\n"
    "                  turns on --power-save unless bundle.ini says otherwise\n"
    "  NAME.desktop    a desktop entry (and NAME.png with --icon)\n"
    "  game/           the game packed into main.dat, and the fonts it names,\n"
    "                  found as the engine finds them (fontconfig)\n"
    "  bin/, lib/      the engine and the libraries it needs that a desktop\n"
    "                  may lack (SDL with its codecs, Lua, FreeType, zlib, ...)\n"
    "  licenses/       the Debian copyright files of the fonts and libraries\n"
    "  CONTENTS.txt    which fonts and libraries were taken, and from where\n"
    "The C library, the GCC runtime, the OpenGL driver, the X and Wayland\n"
    "libraries, ALSA and PulseAudio come from the player's system.\n"
    "\n"
    "bundle.ini in the game folder (optional, not packed):\n"
    "  power_save = no          the launcher leaves --power-save off\n"
    "  fonts = a.ttf, MS Gothic fonts the scripts name in ways not seen in them\n"
    "\n"
    "Options:\n"
    "  --name NAME     the launcher's name (default: the last part of OUT)\n"
    "  --icon PNG      the icon of the desktop entry\n"
    "  --tar           also write OUT.tar.gz\n"
    "  --engine PATH   the tessel binary to bundle (default: the one installed\n"
    "                  beside tessel-bundle)\n"
    "  --help          show this text\n"
    "\n"
    "Exit status: 0 when the bundle was made, 1 when the game has errors or a\n"
    "step failed, 2 for a wrong command line, a missing game or a used OUT.\n";

int UsageError(const std::string& message) {
  std::fprintf(stderr, "tessel-bundle: %s\nTry 'tessel-bundle --help'.\n", message.c_str());
  return 2;
}

// The engine installed beside this program, else the one of its build.
std::string DefaultEngine() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec && std::filesystem::is_regular_file(self.parent_path() / "tessel", ec)) {
    return (self.parent_path() / "tessel").string();
  }
  return TESSEL_BUILD_ENGINE;
}

}  // namespace

int main(int argc, char** argv) {
  tessel::bundle::BundleOptions options;
  std::vector<std::string> positional;
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool takes_value = arg == "--name" || arg == "--icon" || arg == "--engine";
    if (!options_done && (arg == "--help" || arg == "-h")) {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (!options_done && arg == "--") {
      options_done = true;
    } else if (!options_done && arg == "--tar") {
      options.tar = true;
    } else if (!options_done && takes_value) {
      if (i + 1 >= argc) return UsageError(arg + " needs a value");
      std::string& target = arg == "--name" ? options.name : arg == "--icon" ? options.icon
                                                                              : options.engine;
      target = argv[++i];
    } else if (!options_done && arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown option " + arg);
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 2) return UsageError("give the game and the bundle's folder");
  options.game = positional[0];
  options.out = positional[1];
  if (options.engine.empty()) options.engine = DefaultEngine();
  return tessel::bundle::MakeBundle(options);
}
