#include "support/TestSupport.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

extern "C" {
#include <lua.h>
}

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>

#include "app/Application.h"
#include "app/ScriptApi.h"
#include "app/Window.h"
#include "core/Clock.h"
#include "event/EventHandler.h"
#include "graphics/LayerTable.h"
#include "graphics/ScreenSurface.h"
#include "script/EngineObject.h"
#include "script/ScriptHost.h"

namespace tessel::test {

ManualClock::ManualClock(std::uint32_t start) : now_(start) {
  SetTickSource([this] { return now_; });
}

ManualClock::~ManualClock() { SetTickSource(nullptr); }

namespace {
std::unique_ptr<ScriptApi> g_api;
std::string g_last_error;
}  // namespace

std::string IdentityFunctionList() {
  std::string text;
  for (const char* name : ScriptApi::CommandNames()) {
    text += name;
    text += ' ';
    text += name;
    text += '\n';
  }
  return text;
}

void ScriptTest::SetUp() {
  ASSERT_TRUE(Host().Open());
  g_api = std::make_unique<ScriptApi>(IdentityFunctionList());
  Host().SetErrorObserver([](const std::string& message) { g_last_error = message; });
}

void ScriptTest::TearDown() {
  Host().SetErrorObserver(nullptr);
  Host().SetPanicHandler(nullptr);
  Host().Close();
  g_api.reset();
  Registry().ReleaseAll();
  EventHandlerList::Clear();
}

void ScriptTest::Run(const std::string& code) {
  g_last_error.clear();
  int status = Host().RunBuffer(code, "=test");
  EXPECT_EQ(status, 0) << g_last_error << "\nin:\n" << code;
}

std::string ScriptTest::RunExpectingError(const std::string& code) {
  g_last_error.clear();
  Host().RunBuffer(code, "=test");
  return g_last_error;
}

double ScriptTest::Number(const std::string& global) {
  lua_State* state = Host().State();
  lua_getglobal(state, global.c_str());
  double value = lua_tonumber(state, -1);
  lua_pop(state, 1);
  return value;
}

std::string ScriptTest::String(const std::string& global) {
  lua_State* state = Host().State();
  lua_getglobal(state, global.c_str());
  size_t length = 0;
  const char* text = lua_tolstring(state, -1, &length);
  std::string value = text != nullptr ? std::string(text, length) : std::string();
  lua_pop(state, 1);
  return value;
}

bool ScriptTest::IsNil(const std::string& global) {
  lua_State* state = Host().State();
  lua_getglobal(state, global.c_str());
  bool nil = lua_isnil(state, -1);
  lua_pop(state, 1);
  return nil;
}

void SdlScriptTest::SetUp() {
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  ScriptTest::SetUp();
}

void SdlScriptTest::TearDown() {
  ScriptTest::TearDown();
  SDL_Quit();
}

void WindowTest::SetUp() {
  const char* display = std::getenv("DISPLAY");
  ASSERT_TRUE(display != nullptr && *display != '\0')
      << "window tests need an X server: run them through `make test` (it starts Xvfb)";
  unsetenv("SDL_VIDEODRIVER");
  SdlScriptTest::SetUp();
}

void WindowTest::TearDown() {
  for (Uint8 type : {SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, SDL_KEYDOWN, SDL_KEYUP}) {
    SDL_EventState(type, SDL_ENABLE);
  }
  SdlScriptTest::TearDown();
  LayerTable::Reset();
  BaseColor() = Color{};
}

void WindowTest::OpenWindow(int width, int height) {
  ::testing::internal::CaptureStdout();
  InitWindow(width, height);
  StopCapturingStdout();
  for (Uint8 type : {SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, SDL_KEYDOWN, SDL_KEYUP}) {
    SDL_EventState(type, SDL_IGNORE);
  }
}

void WindowTest::RenderFrame() { DrawFrame(); }

Rgba WindowTest::Pixel(int x, int y) {
  const std::uint32_t value = ReadPixel(x, y);
  return Rgba{static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
              static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

std::string StopCapturingStdout() {
  std::fflush(stdout);
  return ::testing::internal::GetCapturedStdout();
}

std::string StopCapturingStderr() {
  std::fflush(stderr);
  return ::testing::internal::GetCapturedStderr();
}

const void* GlobalHandle(const std::string& global) {
  lua_State* state = Host().State();
  lua_getglobal(state, global.c_str());
  const void* handle = lua_islightuserdata(state, -1) ? lua_touserdata(state, -1) : nullptr;
  lua_pop(state, 1);
  return handle;
}

void SetGlobalHandle(const std::string& global, const void* handle) {
  lua_State* state = Host().State();
  lua_pushlightuserdata(state, const_cast<void*>(handle));
  lua_setglobal(state, global.c_str());
}

std::uint32_t WindowTest::ReadPixel(int x, int y) {
  SDL_Surface* screen = SDL_GetVideoSurface();
  int height = screen != nullptr ? screen->h : 0;
  unsigned char rgba[4] = {0, 0, 0, 0};
  glReadPixels(x, height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return (std::uint32_t(rgba[0]) << 24) | (std::uint32_t(rgba[1]) << 16) |
         (std::uint32_t(rgba[2]) << 8) | rgba[3];
}

TempDir::TempDir() {
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() /
          ("tessel-test-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::Write(const std::string& name, const std::string& content) const {
  std::filesystem::path file = path_ / name;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out << content;
  return file;
}

std::string Utf16File(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

namespace {

// Forks and runs the program with its output on two pipes; the pid, or -1.
int Spawn(const std::vector<std::string>& argv, const std::filesystem::path& cwd,
          const std::vector<std::string>& env, int* out_fd, int* err_fd) {
  int out_pipe[2];
  int err_pipe[2];
  if (pipe(out_pipe) != 0) return -1;
  if (pipe(err_pipe) != 0) {
    close(out_pipe[0]);
    close(out_pipe[1]);
    return -1;
  }
  pid_t pid = fork();
  if (pid == 0) {
    dup2(out_pipe[1], 1);
    dup2(err_pipe[1], 2);
    close(out_pipe[0]);
    close(err_pipe[0]);
    close(out_pipe[1]);
    close(err_pipe[1]);
    int null_in = open("/dev/null", O_RDONLY);
    if (null_in >= 0) dup2(null_in, 0);
    if (chdir(cwd.c_str()) != 0) _exit(127);
    for (const std::string& entry : env) {
      if (!entry.empty() && entry[0] == '-') {
        unsetenv(entry.c_str() + 1);  // "-NAME" removes NAME
      } else {
        putenv(const_cast<char*>(entry.c_str()));
      }
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);
  *out_fd = out_pipe[0];
  *err_fd = err_pipe[0];
  return pid;
}

int ExitStatus(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::filesystem::path& cwd,
                         const std::vector<std::string>& env, int timeout_seconds) {
  ProcessResult result;
  int out_fd = -1;
  int err_fd = -1;
  const int pid = Spawn(argv, cwd, env, &out_fd, &err_fd);
  if (pid < 0) return result;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
  int open_count = 2;
  bool killed = false;
  while (open_count > 0) {
    int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    deadline - std::chrono::steady_clock::now())
                                    .count());
    if (left <= 0) {
      kill(pid, SIGKILL);
      killed = true;
      break;
    }
    if (poll(fds, 2, left) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP)) == 0) continue;
      char buffer[4096];
      ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_count;
      } else {
        (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(n));
      }
    }
  }
  for (auto& fd : fds) {
    if (fd.fd >= 0) close(fd.fd);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = killed ? -2 : ExitStatus(status);
  return result;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::filesystem::path& cwd,
                           const std::vector<std::string>& env) {
  pid_ = Spawn(argv, cwd, env, &out_fd_, &err_fd_);
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (out_fd_ >= 0) close(out_fd_);
  if (err_fd_ >= 0) close(err_fd_);
}

bool ChildProcess::Pump(int milliseconds) {
  pollfd fds[2] = {{out_fd_, POLLIN, 0}, {err_fd_, POLLIN, 0}};
  if (out_fd_ < 0 && err_fd_ < 0) return false;
  if (poll(fds, 2, milliseconds) <= 0) return true;
  for (int i = 0; i < 2; ++i) {
    int& fd = i == 0 ? out_fd_ : err_fd_;
    if (fd < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) {
      close(fd);
      fd = -1;
    } else {
      (i == 0 ? result_.out : result_.err).append(buffer, static_cast<size_t>(n));
    }
  }
  return out_fd_ >= 0 || err_fd_ >= 0;
}

bool ChildProcess::WaitFor(const std::string& needle, int timeout_seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  for (;;) {
    const std::size_t found = result_.out.find(needle, search_from_);
    if (found != std::string::npos) {
      search_from_ = found + needle.size();
      return true;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0 || !Pump(static_cast<int>(std::min<long long>(left, 200)))) return false;
  }
}

ProcessResult ChildProcess::Finish(int timeout_seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  bool killed = false;
  while (Pump(200)) {
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(pid_, SIGKILL);
      killed = true;
      while (Pump(200)) {
      }
      break;
    }
  }
  if (pid_ > 0) {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    result_.status = killed ? -2 : ExitStatus(status);
  }
  return result_;
}

}  // namespace tessel::test

#include "resource/ArchiveWriter.h"

namespace tessel::test {

TestGame::TestGame() { File("funcdef.tsl", IdentityFunctionList()); }

TestGame& TestGame::Scenario(const std::string& name, const std::u16string& text) {
  return File(name, Utf16File(text));
}

TestGame& TestGame::File(const std::string& name, const std::string& bytes) {
  for (auto& file : files_) {
    if (file.first == name) {
      file.second = bytes;
      return *this;
    }
  }
  files_.emplace_back(name, bytes);
  return *this;
}

void TestGame::WriteLoose(const std::filesystem::path& dir) const {
  for (const auto& [name, bytes] : files_) {
    std::filesystem::path file = dir / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
  }
}

void TestGame::WritePacked(const std::filesystem::path& dir) const {
  std::vector<ArchiveSource> entries;
  for (const auto& [name, bytes] : files_) {
    ArchiveSource source;
    source.name = name;
    source.data = bytes;
    entries.push_back(std::move(source));
  }
  std::filesystem::create_directories(dir);
  std::string error;
  if (!WriteArchive((dir / "main.dat").string(), entries, error)) ADD_FAILURE() << error;
}

ProcessResult RunTessel(const std::vector<std::string>& arguments, const std::filesystem::path& cwd,
                        const std::vector<std::string>& env, int timeout_seconds) {
  std::vector<std::string> argv = {TESSEL_BINARY};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  // A real window on the tests' X server, unless the caller says otherwise.
  std::vector<std::string> full_env = {"-SDL_VIDEODRIVER", "SDL_AUDIODRIVER=dummy",
                                       "LIBGL_ALWAYS_SOFTWARE=1"};
  full_env.insert(full_env.end(), env.begin(), env.end());
  return RunProcess(argv, cwd, full_env, timeout_seconds);
}

std::unique_ptr<ChildProcess> StartTessel(const std::vector<std::string>& arguments,
                                          const std::filesystem::path& cwd,
                                          const std::vector<std::string>& env) {
  std::vector<std::string> argv = {TESSEL_BINARY};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<std::string> full_env = {"-SDL_VIDEODRIVER", "SDL_AUDIODRIVER=dummy",
                                       "LIBGL_ALWAYS_SOFTWARE=1"};
  full_env.insert(full_env.end(), env.begin(), env.end());
  return std::make_unique<ChildProcess>(argv, cwd, full_env);
}

std::string FirstMissingInOrder(const std::string& text, const std::vector<std::string>& needles) {
  size_t at = 0;
  for (const std::string& needle : needles) {
    size_t found = text.find(needle, at);
    if (found == std::string::npos) return needle;
    at = found + needle.size();
  }
  return "";
}

}  // namespace tessel::test
