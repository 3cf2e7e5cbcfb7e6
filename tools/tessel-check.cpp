// tessel-check: reads a game as the engine would and reports what would go
// wrong, each finding with its file and line, as a compiler does.
#include <cstdio>
#include <string>

#include "check/GameChecker.h"
#include "check/Report.h"

namespace {

constexpr const char* kUsage =
    "Usage: tessel-check [--werror] GAME\n"
    "\n"
    "Checks the game in the folder GAME (its loose files, its main.dat, or both)\n"
    "the way the engine reads it. GAME may also name a file in that folder, such\n"
    "as its main.tsl or main.dat.\n"
    "\n"
    "Reports, as FILE:LINE: error: ... or FILE:LINE: warning: ...\n"
    "  - files that call lines and choices name but that do not exist;\n"
    "  - scenario files that no call line or choice reaches from main.tsl;\n"
    "  - script blocks (and required modules) that do not compile as Lua;\n"
    "  - names called like commands that neither funcdef.tsl nor the game's\n"
    "    scripts define (warnings);\n"
    "  - scenario files that are not UTF-16 or UTF-8 with a byte-order mark,\n"
    "    and broken characters in them;\n"
    "  - funcdef.tsl lines that name no command, and commands it leaves out;\n"
    "  - file names that find their file only when letter case is ignored, and\n"
    "    fonts (CreateNewFont with a literal name) found neither in the game\n"
    "    folder nor among the installed fonts (warnings).\n"
    "The last line counts them: \"N errors, M warnings\".\n"
    "\n"
    "Options:\n"
    "  --werror   report warnings as errors\n"
    "  --help     show this text\n"
    "\n"
    "Exit status: 0 when the game is clean, 1 when something was found that is\n"
    "an error, 2 when the game could not be checked (no such folder, no main.tsl,\n"
    "a wrong option).\n";

int UsageError(const std::string& message) {
  std::fprintf(stderr, "tessel-check: %s\nTry 'tessel-check --help'.\n", message.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  bool werror = false;
  bool options = true;
  std::string game;
  bool have_game = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (options && (arg == "--help" || arg == "-h")) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (options && arg == "--werror") {
      werror = true;
    } else if (options && arg == "--") {
      options = false;
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown option " + arg);
    } else if (have_game) {
      return UsageError("one game at a time (" + game + " and " + arg + " given)");
    } else {
      game = arg;
      have_game = true;
    }
  }
  if (!have_game) return UsageError("no game given");

  tessel::check::Report report;
  std::string fatal;
  if (!tessel::check::CheckGame(game, report, fatal)) {
    std::fprintf(stderr, "tessel-check: %s\n", fatal.c_str());
    return 2;
  }
  report.Print(stdout, werror);
  return report.Errors(werror) > 0 ? 1 : 0;
}
