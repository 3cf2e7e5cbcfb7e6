#include "CheckTestSupport.h"

#include <sstream>

namespace tessel::test {

ProcessResult CheckTest::RunCheck(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), TESSEL_CHECK);
  // Without a display: the tool opens no window.
  return RunProcess(arguments, dir_.Path(), {"-DISPLAY"});
}

ProcessResult CheckTest::Check(const TestGame& game, std::vector<std::string> options) {
  game.WriteLoose(dir_.Path() / "game");
  options.push_back("game");
  return RunCheck(options);
}

ProcessResult CheckTest::CheckPacked(const TestGame& game, std::vector<std::string> options) {
  game.WritePacked(dir_.Path() / "game");
  options.push_back("game");
  return RunCheck(options);
}

std::vector<std::string> Findings(const std::string& out) {
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  if (!lines.empty()) lines.pop_back();
  return lines;
}

std::string Summary(const std::string& out) {
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines.empty() ? std::string() : lines.back();
}

std::string Utf8WithMark(const std::string& utf8) { return "\xEF\xBB\xBF" + utf8; }

}  // namespace tessel::test
