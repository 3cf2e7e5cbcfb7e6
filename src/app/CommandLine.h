#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessel {

// How the autoplayer picks at a choice list.
enum class ChoosePolicy { kFirst, kAll, kRandom };

// What `tessel` was asked to do. Without options it behaves as it always has:
// an optional first argument whose folder is where the game's files are read.
struct CommandLine {
  bool show_help = false;
  bool show_version = false;
  std::optional<std::string> game_path;  // a main.tsl, or a folder
  std::string error;                     // set when the line cannot be used

  // Play-testing.
  bool autoplay = false;
  ChoosePolicy choose = ChoosePolicy::kFirst;
  std::optional<std::uint32_t> seed;     // random:SEED
  std::optional<std::string> screenshots;  // folder for the PNGs
  std::optional<double> max_seconds;     // bound of the whole run
  bool power_save = false;
  std::optional<std::string> save_dir;  // replaces the game's data folder

  // Hidden: one path of an autoplay run, played by a process of its own.
  std::optional<std::string> path_result;  // file the path's findings are written to
  std::vector<int> path_prefix;            // choice indices (0-based) taken first
  int path_number = 1;                     // names the screenshots
  std::size_t shoot_from = 0;              // screenshots only from this choice on
};

// `environment_power_save` is TESSEL_POWER_SAVE=1 in the environment.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                             bool environment_power_save = false);

// The base directory for a game path: a folder is the directory itself, any
// other path is cut after its last separator.
std::string GameDirectory(const std::string& game_path);

const char* UsageText();

}  // namespace tessel
