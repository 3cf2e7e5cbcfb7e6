#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "script/EngineObject.h"
#include "support/Picture.h"

namespace tessel::test {

// A clock that moves only when told; installed for the life of the object.
class ManualClock {
 public:
  explicit ManualClock(std::uint32_t start = 1000);
  ~ManualClock();
  void Advance(std::uint32_t milliseconds) { now_ += milliseconds; }
  void Set(std::uint32_t now) { now_ = now; }
  std::uint32_t Now() const { return now_; }

 private:
  std::uint32_t now_;
};

// A fresh Lua state with every command registered under its internal name.
// Tears the state, the registry's objects and the handler list down afterwards.
class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Runs a chunk; fails the test on a script error.
  void Run(const std::string& code);
  // Runs a chunk and returns its error message ("" when it ran).
  std::string RunExpectingError(const std::string& code);
  double Number(const std::string& global);
  std::string String(const std::string& global);
  bool IsNil(const std::string& global);
};

// Like ScriptTest, with SDL's video initialised (dummy driver).
class SdlScriptTest : public ScriptTest {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// A real X window (Xvfb under `make test`) with Mesa's software renderer.
class WindowTest : public SdlScriptTest {
 protected:
  void SetUp() override;
  // Also empties the layer table and puts the base colour back.
  void TearDown() override;
  // Opens the window as InitWindow does, its reports kept out of the test's
  // output. Tests run side by side on one X screen: windows opening under
  // the shared pointer, or another test's clicks, would reach this window as
  // real input and undo what a test sent, so only pushed events count.
  void OpenWindow(int width, int height);
  // Draws one frame as the frame loop does and leaves it unswapped.
  static void RenderFrame();
  // A pixel of the frame being drawn (before the swap), window coordinates
  // (y downwards).
  static Rgba Pixel(int x, int y);
  static std::uint32_t ReadPixel(int x, int y);
};

// A folder under the test's temporary directory, removed afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path Write(const std::string& name, const std::string& content) const;

 private:
  std::filesystem::path path_;
};

// Standard output written by the engine's log while `body` runs.
template <class Body>
std::string LogOf(Body body);
// Standard error written while `body` runs (the released-object messages).
template <class Body>
std::string ErrorsOf(Body body);
std::string StopCapturingStdout();
std::string StopCapturingStderr();

// The light userdata held by a Lua global (nullptr for anything else).
const void* GlobalHandle(const std::string& global);
// Sets a Lua global to a handle (a light userdata).
void SetGlobalHandle(const std::string& global, const void* handle);
// The live engine object of class T behind a Lua global.
template <class T>
T* GlobalObject(const std::string& global) {
  return Registry().Find<T>(GlobalHandle(global));
}

template <class Body>
std::string LogOf(Body body) {
  std::fflush(stdout);
  ::testing::internal::CaptureStdout();
  body();
  return StopCapturingStdout();
}

template <class Body>
std::string ErrorsOf(Body body) {
  std::fflush(stderr);
  ::testing::internal::CaptureStderr();
  body();
  return StopCapturingStderr();
}

// The content of funcdef.tsl that names every command by its internal name.
std::string IdentityFunctionList();

// Scenario text as a UTF-16LE file with its byte-order mark.
std::string Utf16File(const std::u16string& text);

struct ProcessResult {
  int status = -1;  // exit status, or 128 + signal
  std::string out;
  std::string err;
};
// Runs a program with arguments in a folder, with extra environment entries
// ("NAME=value", or "-NAME" to remove one), killed after `timeout_seconds`.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::filesystem::path& cwd,
                         const std::vector<std::string>& env = {}, int timeout_seconds = 60);

}  // namespace tessel::test

namespace tessel::test {

// A small game written by a test: named files, loose in a folder or packed
// into main.dat (funcdef.tsl is added with every command under its own name).
class TestGame {
 public:
  TestGame();
  // Scenario text, stored as UTF-16LE with its byte-order mark.
  TestGame& Scenario(const std::string& name, const std::u16string& text);
  // Scenario text stored as given (UTF-8 editors' files, odd encodings).
  TestGame& File(const std::string& name, const std::string& bytes);
  // Writes every file into dir.
  void WriteLoose(const std::filesystem::path& dir) const;
  // Writes main.dat into dir holding every file.
  void WritePacked(const std::filesystem::path& dir) const;

 private:
  std::vector<std::pair<std::string, std::string>> files_;
};

// A program running beside the test, whose standard output the test reads as
// it comes: the test waits for log lines instead of sleeping.
class ChildProcess {
 public:
  // Started like RunProcess (argv[0] is a path; "NAME=value" / "-NAME" env).
  ChildProcess(const std::vector<std::string>& argv, const std::filesystem::path& cwd,
               const std::vector<std::string>& env = {});
  // Kills it if it still runs.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Waits until `needle` appears in standard output after the end of the
  // previous match; false when the program ends or time is up first.
  bool WaitFor(const std::string& needle, int timeout_seconds = 30);
  // Waits for the end (killed after the timeout) and returns everything.
  ProcessResult Finish(int timeout_seconds = 30);
  const std::string& Out() const { return result_.out; }
  const std::string& Err() const { return result_.err; }

 private:
  // Reads what is there, waiting at most `milliseconds`; false once both
  // streams are closed.
  bool Pump(int milliseconds);

  int pid_ = -1;
  int out_fd_ = -1;
  int err_fd_ = -1;
  std::size_t search_from_ = 0;
  ProcessResult result_;
};

// The real tessel beside the test, under the tests' X server.
std::unique_ptr<ChildProcess> StartTessel(const std::vector<std::string>& arguments,
                                          const std::filesystem::path& cwd,
                                          const std::vector<std::string>& env = {});

// Runs the real tessel binary on a game under the X server of the tests.
ProcessResult RunTessel(const std::vector<std::string>& arguments, const std::filesystem::path& cwd,
                        const std::vector<std::string>& env = {}, int timeout_seconds = 60);

// Checks that `needles` occur in `text` in this order; returns the first one missing.
std::string FirstMissingInOrder(const std::string& text, const std::vector<std::string>& needles);

}  // namespace tessel::test
