#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tessel {

// What `tessel` was asked to do. Without options it behaves as it always has:
// an optional first argument whose folder is where the game's files are read.
struct CommandLine {
  bool show_help = false;
  bool show_version = false;
  std::optional<std::string> game_path;  // a main.tsl, or a folder
  std::string error;                     // set when the line cannot be used
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The base directory for a game path: a folder is the directory itself, any
// other path is cut after its last separator.
std::string GameDirectory(const std::string& game_path);

const char* UsageText();

}  // namespace tessel
