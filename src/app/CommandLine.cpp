#include "app/CommandLine.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace tessel {
namespace {

constexpr std::string_view kHint = "; see tessel --help";

// The value of "--name=value", or nothing when the argument is another option.
std::optional<std::string> ValueOf(const std::string& argument, std::string_view name) {
  if (argument.size() <= name.size() || argument.compare(0, name.size(), name) != 0 ||
      argument[name.size()] != '=') {
    return std::nullopt;
  }
  return argument.substr(name.size() + 1);
}

std::optional<unsigned long long> ParseUnsigned(const std::string& text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  return std::strtoull(text.c_str(), nullptr, 10);
}

std::string ParseChoose(const std::string& value, CommandLine& line) {
  if (value == "first") {
    line.choose = ChoosePolicy::kFirst;
  } else if (value == "all") {
    line.choose = ChoosePolicy::kAll;
  } else if (value == "random") {
    line.choose = ChoosePolicy::kRandom;
  } else if (value.rfind("random:", 0) == 0) {
    const auto seed = ParseUnsigned(value.substr(7));
    if (!seed || *seed > 0xFFFFFFFFull) return "--choose=random:SEED needs a number up to 4294967295";
    line.choose = ChoosePolicy::kRandom;
    line.seed = static_cast<std::uint32_t>(*seed);
  } else {
    return "--choose takes first, all, random or random:SEED, not '" + value + "'";
  }
  return {};
}

std::string ParsePrefix(const std::string& value, CommandLine& line) {
  line.path_prefix.clear();
  std::size_t at = 0;
  while (at < value.size()) {
    std::size_t comma = value.find(',', at);
    if (comma == std::string::npos) comma = value.size();
    const auto index = ParseUnsigned(value.substr(at, comma - at));
    if (!index || *index > 100000) return "bad choice prefix '" + value + "'";
    line.path_prefix.push_back(static_cast<int>(*index));
    at = comma + 1;
  }
  return {};
}

// Handles one "--name[=value]" option; false when it is not one of ours.
bool ParseOption(const std::string& argument, CommandLine& line, std::string& error) {
  if (argument == "--help" || argument == "-h") {
    line.show_help = true;
  } else if (argument == "--version") {
    line.show_version = true;
  } else if (argument == "--autoplay") {
    line.autoplay = true;
  } else if (argument == "--power-save") {
    line.power_save = true;
  } else if (auto dir = ValueOf(argument, "--save-dir")) {
    if (dir->empty()) error = "--save-dir needs a folder";
    line.save_dir = *dir;
  } else if (auto choose = ValueOf(argument, "--choose")) {
    error = ParseChoose(*choose, line);
  } else if (auto dir = ValueOf(argument, "--screenshots")) {
    if (dir->empty()) error = "--screenshots needs a folder";
    line.screenshots = *dir;
  } else if (auto seconds = ValueOf(argument, "--max-seconds")) {
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(seconds->c_str(), &end);
    if (seconds->empty() || end == nullptr || *end != '\0' || errno != 0 || !std::isfinite(value) ||
        value <= 0) {
      error = "--max-seconds needs a positive number of seconds, not '" + *seconds + "'";
    }
    line.max_seconds = value;
  } else if (auto result = ValueOf(argument, "--autoplay-path-result")) {
    line.path_result = *result;
  } else if (auto prefix = ValueOf(argument, "--autoplay-path-prefix")) {
    error = ParsePrefix(*prefix, line);
  } else if (auto number = ValueOf(argument, "--autoplay-path-number")) {
    const auto value = ParseUnsigned(*number);
    if (!value || *value > 1000000) error = "bad path number";
    line.path_number = value ? static_cast<int>(*value) : 1;
  } else if (auto from = ValueOf(argument, "--autoplay-shoot-from")) {
    const auto value = ParseUnsigned(*from);
    if (!value || *value > 100000) error = "bad screenshot start";
    line.shoot_from = value ? static_cast<std::size_t>(*value) : 0;
  } else {
    return false;
  }
  return true;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments, bool environment_power_save) {
  CommandLine line;
  line.power_save = environment_power_save;
  bool options_done = false;
  for (const std::string& argument : arguments) {
    if (!options_done && argument == "--") {
      options_done = true;
    } else if (!options_done && argument.size() > 1 && argument[0] == '-') {
      std::string error;
      if (!ParseOption(argument, line, error)) {
        line.error = "unknown option '" + argument + "'" + std::string(kHint);
        return line;
      }
      if (!error.empty()) {
        line.error = error + std::string(kHint);
        return line;
      }
    } else if (!line.game_path) {
      line.game_path = argument;
    } else {
      line.error = "more than one game path ('" + *line.game_path + "', '" + argument + "')" +
                   std::string(kHint);
      return line;
    }
  }
  const bool autoplay_only = line.screenshots || line.max_seconds;
  if (autoplay_only && !line.autoplay && !line.path_result) {
    line.error = "--screenshots and --max-seconds go with --autoplay" + std::string(kHint);
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
         "  --help              show this text and exit\n"
         "  --version           show the version and exit\n"
         "  --power-save        sleep between frames while the story waits for the\n"
         "                      player (also TESSEL_POWER_SAVE=1); pacing is unchanged\n"
         "  --save-dir=DIR      keep the game's saves and settings in DIR instead of\n"
         "                      ~/.local/share/tessel/<game id>/ (tests, portable installs)\n"
         "\n"
         "Play-testing:\n"
         "  --autoplay          play the game without a player: waits are answered\n"
         "                      with Return once the text is shown, choices are picked\n"
         "                      by --choose, time jumps ahead instead of passing; a\n"
         "                      report of paths, choices, files and problems follows\n"
         "  --choose=POLICY     first (default): always the first choice;\n"
         "                      all: every choice of every list reached, one path per\n"
         "                      unexplored choice, each played from the beginning;\n"
         "                      random or random:SEED: one path of random picks\n"
         "  --screenshots=DIR   a PNG at every key wait and choice, named by path,\n"
         "                      order, scenario file and line\n"
         "  --max-seconds=N     stop the whole run after N seconds (exit status 3)\n"
         "\n"
         "Keys: Escape quits, F4 toggles full screen, Return or a left click goes on.\n"
         "Exit status: 0 after a normal run, 1 when the game could not be played,\n"
         "2 when the window could not be opened or the command line is wrong.\n"
         "With --autoplay: 0 when no problem was found, 1 when one was, 2 for a wrong\n"
         "command line, 3 when --max-seconds ran out.\n";
}

}  // namespace tessel
