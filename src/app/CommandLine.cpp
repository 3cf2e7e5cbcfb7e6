#include "app/CommandLine.h"

#include <sys/stat.h>

namespace tessel {

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  bool options_done = false;
  for (const std::string& argument : arguments) {
    if (!options_done && argument == "--") {
      options_done = true;
    } else if (!options_done && (argument == "--help" || argument == "-h")) {
      line.show_help = true;
    } else if (!options_done && argument == "--version") {
      line.show_version = true;
    } else if (!options_done && argument.size() > 1 && argument[0] == '-') {
      line.error = "unknown option '" + argument + "'; see tessel --help";
      return line;
    } else if (!line.game_path) {
      line.game_path = argument;
    } else {
      line.error = "more than one game path ('" + *line.game_path + "', '" + argument +
                   "'); see tessel --help";
      return line;
    }
  }
  return line;
}

std::string GameDirectory(const std::string& game_path) {
  struct stat info {};
  if (!game_path.empty() && ::stat(game_path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    return game_path.back() == '/' ? game_path : game_path + "/";
  }
  return game_path;
}

const char* UsageText() {
  return "Usage: tessel [OPTIONS] [GAME]\n"
         "\n"
         "Plays a visual novel. GAME is the game's main.tsl or its folder; its folder is\n"
         "where funcdef.tsl, main.tsl and the other files (or main.dat) are read from.\n"
         "Without GAME, tessel reads them from its own folder (main.dat also from the\n"
         "working folder).\n"
         "\n"
         "Options:\n"
         "  --help       show this text and exit\n"
         "  --version    show the version and exit\n"
         "\n"
         "Keys: Escape quits, F4 toggles full screen, Return or a left click goes on.\n"
         "Exit status: 0 after a normal run, 1 when the game could not be played,\n"
         "2 when the window could not be opened or the command line is wrong.\n";
}

}  // namespace tessel
