#include "app/playtest/Supervisor.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <thread>

#include "app/playtest/PlayReport.h"

namespace tessel {
namespace {

namespace fs = std::filesystem;

struct Child {
  int status = -1;
  bool timed_out = false;
};

Child RunChild(const std::vector<std::string>& arguments,
               std::optional<std::chrono::steady_clock::time_point> deadline) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::fflush(stdout);
  std::fflush(stderr);
  Child child;
  const pid_t pid = ::fork();
  if (pid < 0) return child;
  if (pid == 0) {
    // The path's developer log is not the report: it goes nowhere. Its
    // standard error (released-object messages, crashes) is the author's.
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) ::dup2(null, STDOUT_FILENO);
    ::execv("/proc/self/exe", argv.data());
    _exit(127);
  }
  for (;;) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      child.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return child;
    }
    if (done < 0) return child;
    if (deadline && std::chrono::steady_clock::now() >= *deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      child.status = 128 + SIGKILL;
      child.timed_out = true;
      return child;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string PolicyName(const CommandLine& line, std::uint32_t seed) {
  switch (line.choose) {
    case ChoosePolicy::kAll:
      return "all";
    case ChoosePolicy::kRandom:
      return "random:" + std::to_string(seed);
    case ChoosePolicy::kFirst:
      break;
  }
  return "first";
}

constexpr int kMaxPaths = 10000;

// A path still to play: the choices it is given, and from which choice on it
// takes screenshots (the paths before it have shot the common beginning).
struct Pending {
  std::vector<int> prefix;
  std::size_t shoot_from = 0;
};

std::optional<std::chrono::steady_clock::time_point> Deadline(
    const CommandLine& line, std::chrono::steady_clock::time_point start) {
  if (!line.max_seconds) return std::nullopt;
  return start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                     std::chrono::duration<double>(*line.max_seconds));
}

bool MakeScreenshotFolder(const CommandLine& line) {
  if (!line.screenshots) return true;
  std::error_code ec;
  fs::create_directories(*line.screenshots, ec);
  if (fs::is_directory(*line.screenshots, ec)) return true;
  std::fprintf(stderr, "tessel: cannot make the screenshot folder '%s'\n", line.screenshots->c_str());
  return false;
}

// The command line of the process that plays one path.
std::vector<std::string> PathArguments(const CommandLine& line, const char* program_name,
                                       const RunSummary& summary, const Pending& pending,
                                       int number, const fs::path& result_file) {
  std::string prefix;
  for (int index : pending.prefix) prefix += (prefix.empty() ? "" : ",") + std::to_string(index);
  std::vector<std::string> arguments{program_name != nullptr ? program_name : "tessel",
                                     "--autoplay-path-result=" + result_file.string(),
                                     "--autoplay-path-prefix=" + prefix,
                                     "--autoplay-path-number=" + std::to_string(number),
                                     "--autoplay-shoot-from=" + std::to_string(pending.shoot_from),
                                     "--choose=" + PolicyName(line, summary.seed)};
  if (line.screenshots) arguments.push_back("--screenshots=" + *line.screenshots);
  if (line.save_dir) arguments.push_back("--save-dir=" + *line.save_dir);
  if (line.game_path) {
    arguments.push_back("--");
    arguments.push_back(*line.game_path);
  }
  return arguments;
}

// Plays path after path, depth first through the choices when every choice
// is to be taken, each path's result file in `temp`, until none is left, the
// path limit is met or time runs out.
void PlayPaths(const CommandLine& line, const char* program_name, const fs::path& temp,
               std::optional<std::chrono::steady_clock::time_point> deadline, RunSummary& summary) {
  std::vector<Pending> stack{{}};
  std::vector<std::string> explored;
  int number = 0;
  while (!stack.empty()) {
    if (number >= kMaxPaths) {
      summary.path_limit_reached = true;
      return;
    }
    const Pending pending = stack.back();
    stack.pop_back();
    ++number;
    const fs::path result_file = temp / ("path" + std::to_string(number));
    const Child child =
        RunChild(PathArguments(line, program_name, summary, pending, number, result_file), deadline);
    PathResult result = ParsePathResult(ReadWhole(result_file));
    result.number = number;
    result.status = child.status;
    if (child.timed_out) {
      summary.timed_out = true;
      if (result.ending.empty()) result.ending = "stopped by --max-seconds";
      summary.paths.push_back(std::move(result));
      return;
    }
    if (line.choose == ChoosePolicy::kAll) {
      const std::vector<std::vector<int>> next =
          NextPrefixes(result, pending.prefix.size(), explored);
      for (auto it = next.rbegin(); it != next.rend(); ++it) stack.push_back({*it, it->size()});
    }
    summary.paths.push_back(std::move(result));
  }
}

}  // namespace

int RunAutoplay(const CommandLine& line, const char* program_name) {
  const auto start = std::chrono::steady_clock::now();
  const auto deadline = Deadline(line, start);
  if (!MakeScreenshotFolder(line)) return 2;
  std::string temp_template = (fs::temp_directory_path() / "tessel-autoplay-XXXXXX").string();
  if (::mkdtemp(temp_template.data()) == nullptr) {
    std::fprintf(stderr, "tessel: cannot make a temporary folder\n");
    return 2;
  }
  const fs::path temp(temp_template);

  RunSummary summary;
  summary.policy = line.choose;
  summary.seed = line.seed.value_or(std::random_device{}());
  PlayPaths(line, program_name, temp, deadline, summary);
  std::error_code ec;
  fs::remove_all(temp, ec);
  summary.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int status = 0;
  const std::string report = FormatReport(summary, status);
  std::fputs(report.c_str(), stdout);
  std::fflush(stdout);
  return status;
}

}  // namespace tessel
