#include "app/playtest/PathRunner.h"


#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/Application.h"
#include "app/FrameRate.h"
#include "app/SystemEventHandler.h"
#include "app/playtest/GameProbe.h"
#include "app/playtest/PngWriter.h"
#include "app/save/SaveSlots.h"
#include "core/Clock.h"
#include "event/EventHandler.h"
#include "graphics/Renderer.h"
#include "graphics/ScreenSurface.h"
#include "script/ScriptHost.h"
#include "text/ChoiceButton.h"
#include "text/Encoding.h"
#include "text/MessageWindow.h"
#include "text/ScenarioController.h"
#include "text/ScenarioReader.h"

namespace tessel {

using playtest::AvailableScenarios;
using playtest::EffectRunning;
using playtest::PressReturn;
using playtest::StoryLine;
using playtest::StoryReader;
using playtest::WindowWithChoices;

namespace {

namespace fs = std::filesystem;

// Dispatch passes one frame may take while the story reads on without a pause
// to show; then the frame is drawn anyway.
constexpr int kMaxPassesPerFrame = 20000;
// Frames a key wait or a choice waits for running effects before it is
// answered anyway (an endless effect must not hold the story).
constexpr int kEffectPatienceFrames = 300;
// Frames in between are stepped (effects, callbacks) but only one in this
// many is drawn: software rendering of every frame would cost most of the
// run. The frame that answers a key wait or a choice is always drawn.
constexpr int kDrawEvery = 8;
// Frames between two Returns when the story stays stopped with nothing shown
// to answer, and how many are tried before the path counts as stalled.
constexpr int kNudgeFrames = 120;
constexpr int kMaxNudges = 5;
constexpr std::size_t kMaxChoicesPerPath = 1000;
constexpr std::uint32_t kMaxPlayMilliseconds = 24u * 60u * 60u * 1000u;

// The virtual clock of a path: it moves only when the path says so.
std::uint32_t g_now = 1000;

// The path being played, for a game that leaves through exit() (Lua's os.exit).
AutoplayPath* g_current_path = nullptr;

void EndPathAtExit() {
  if (g_current_path != nullptr) g_current_path->EndAtExit();
}

std::string SafeFilePart(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '_' || c == '-';
    out += plain ? static_cast<char>(c) : '_';
  }
  return out.empty() ? std::string("_") : out;
}

}  // namespace

std::string ScreenshotName(int path, int order, const std::string& file, int line, const char* what) {
  char prefix[32];
  std::snprintf(prefix, sizeof prefix, "p%02d-%03d-", path, order);
  return prefix + SafeFilePart(file) + "-L" + std::to_string(line) + "-" + what + ".png";
}

// ---------------------------------------------------------------------------
// One path, in its own process.

AutoplayPath::AutoplayPath(const CommandLine& line)
    : line_(line), random_(line.seed.value_or(0)) {
  if (line_.path_result) out_ = std::fopen(line_.path_result->c_str(), "w");
  static const bool registered = std::atexit(EndPathAtExit) == 0;
  (void)registered;
  g_current_path = this;
  g_now = 1000;
  SetTickSource([] { return g_now; });
  SetPlayMonitor(this);
  Host().SetErrorObserver(
      [this](const std::string& message) { Problem(ProblemKind::kScriptError, message); });
  Host().SetPanicHandler([this](const std::string& message) {
    // The process ends right after this; what the path found is written.
    Problem(ProblemKind::kPanic, message);
    WriteAvailableScenarios();
    End("panic");
  });
}

AutoplayPath::~AutoplayPath() {
  g_current_path = nullptr;
  Host().SetPanicHandler(nullptr);
  Host().SetErrorObserver(nullptr);
  SetPlayMonitor(nullptr);
  SetTickSource(nullptr);
  if (out_ != nullptr) std::fclose(out_);
}

void AutoplayPath::Write(const std::string& record) {
  if (out_ == nullptr) return;
  std::fputs(record.c_str(), out_);
  std::fflush(out_);
}

void AutoplayPath::ScenarioRead(const std::string& name) { Write(ReadLine(name)); }

void AutoplayPath::Problem(ProblemKind kind, const std::string& message) {
  ProblemRecord record;
  record.kind = kind;
  record.message = message;
  while (!record.message.empty() && record.message.back() == '\n') record.message.pop_back();
  if ((kind == ProblemKind::kScriptError || kind == ProblemKind::kPanic) &&
      SplitLuaPosition(record.message, record.file, record.line)) {
    // Lua named the place itself.
  } else if (const std::vector<ScriptFrame> trace = Host().SourceTrace(); !trace.empty()) {
    // The innermost script line with a file (a module's function, say),
    // then the scenario line that led there.
    record.file = trace.front().file;
    record.line = trace.front().line;
    const std::optional<ScriptPosition> caller = StoryLine(trace);
    if (trace.front().module && caller) {
      record.message += " (called from " + caller->file + ":" + std::to_string(caller->line) + ")";
    }
  } else if (const ScenarioReader* reader = StoryReader(); reader != nullptr) {
    // The token that asked for the file (a call line, a block), not where
    // the reader stands after it.
    record.file = reader->CurrentName();
    record.line = reader->CurrentTokenLine() + 1;
  } else {
    const ScriptPosition position = Host().CurrentPosition();
    record.file = position.file;
    record.line = position.line;
  }
  // A callback that fails on every frame is one problem.
  const std::string key = ProblemLine(record);
  if (!problems_seen_.insert(key).second) return;
  Write(key);
}

void AutoplayPath::NoteStop(bool choice) {
  Stop stop;
  stop.choice = choice;
  if (ScenarioController* controller = ScenarioController::Instance()) {
    if (ScenarioReader* reader = controller->Reader(); reader != nullptr && reader->Current()) {
      // The reader has just read the end of the line that stops the story
      // (the blank line of a paragraph end): its 0-based count of lines
      // read is that line's 1-based number.
      stop.file = reader->CurrentName();
      stop.line = std::max(reader->CurrentLine(), 1);
      // A choice list is known by its first line, the one with its first '$'.
      if (choice) stop.line = reader->CurrentTokenLine() + 1;
    }
  }
  stop_ = stop;
}

bool AutoplayPath::OnParagraphEnd() {
  NoteStop(false);
  return true;
}

bool AutoplayPath::OnPageEnd() {
  NoteStop(false);
  return true;
}

bool AutoplayPath::OnChoices(const std::vector<std::u16string>&, const std::vector<std::u16string>&) {
  NoteStop(true);
  return true;
}

void AutoplayPath::End(const std::string& ending) {
  if (!ending_.empty()) return;
  ending_ = ending;
  Write(EndingLine(ending));
}

void AutoplayPath::EndAtExit() {
  if (!ending_.empty()) return;
  WriteAvailableScenarios();
  End("the game exited");
}

void AutoplayPath::WriteAvailableScenarios() {
  for (const std::string& name : AvailableScenarios()) Write(AvailableLine(name));
}

void AutoplayPath::WaitFrame(SystemEventHandler& system) {
  // The frame's share of time, as the real wait gives it; a pause in the
  // story (the message speed, a wait command) is jumped over at once unless
  // an effect needs the frames in between.
  const std::uint32_t frame_end = FrameClock().Start() + FrameThreshold() + 1;
  for (int pass = 0; pass < kMaxPassesPerFrame; ++pass) {
    DispatchEvents();
    if (!system.Running()) return;
    ApplyPendingLoad();
    ScenarioController* controller = ScenarioController::Instance();
    const bool reading =
        controller != nullptr && controller->Running() && !controller->MainScenarioEnded();
    if (!reading) break;
    if (controller->Waiting()) {
      const std::uint32_t due = g_now + controller->WaitRemaining();
      if (EffectRunning() && static_cast<std::int32_t>(due - frame_end) > 0) break;
      g_now = due;
    }
  }
  if (static_cast<std::int32_t>(frame_end - g_now) > 0) {
    g_now = frame_end;
    DispatchEvents();
  }
}

void AutoplayPath::Screenshot(const Stop& stop, const char* what) {
  if (!line_.screenshots || choices_made_ < line_.shoot_from) return;
  int width = 0;
  int height = 0;
  const std::vector<std::uint8_t> pixels = ReadFrame(width, height);
  const std::string name = ScreenshotName(line_.path_number, ++shots_, stop.file, stop.line, what);
  const fs::path path = fs::path(*line_.screenshots) / name;
  if (!WritePng(path.string(), width, height, pixels)) {
    std::fprintf(stderr, "tessel: cannot write %s\n", path.string().c_str());
  }
}

void AutoplayPath::TakeChoice(MessageWindow& window, const Stop& stop) {
  const int count = static_cast<int>(window.Choices().size());
  int index = 0;
  const std::string key = stop.file + ":" + std::to_string(stop.line);
  if (choices_made_ < line_.path_prefix.size()) {
    index = std::min(line_.path_prefix[choices_made_], count - 1);
  } else if (line_.choose == ChoosePolicy::kRandom) {
    index = static_cast<int>(random_() % static_cast<std::uint32_t>(count));
  } else {
    // The first choice not yet taken here on this path: a list the story
    // loops back to moves on instead of going round for ever.
    for (int i = 0; i < count; ++i) {
      if (taken_here_.count(key + "#" + std::to_string(i)) == 0) {
        index = i;
        break;
      }
    }
  }
  taken_here_.insert(key + "#" + std::to_string(index));
  ChoiceRecord record;
  record.file = stop.file;
  record.line = stop.line;
  record.count = count;
  record.taken = index;
  record.target = EncodeUtf8(window.Choices()[static_cast<std::size_t>(index)]->Target());
  Write(ChoiceLine(record));
  ++choices_made_;
  ReleaseDeferral deferral;  // the choice may run scripts that release the window
  window.Choose(static_cast<std::size_t>(index));
}

bool AutoplayPath::AnswerDue() const {
  ScenarioController* controller = ScenarioController::Instance();
  if (controller == nullptr || controller->Running() || !stop_) return false;
  return stop_->frames >= kEffectPatienceFrames || !EffectRunning();
}

bool AutoplayPath::Respond(bool answer) {
  ScenarioController* controller = ScenarioController::Instance();
  if (controller == nullptr) return false;
  if (controller->Running()) {
    stop_.reset();  // a paragraph end no window stopped for
    idle_frames_ = 0;
    nudges_ = 0;
    if (controller->MainScenarioEnded()) {
      End("the story ended");
      return false;
    }
    return true;
  }
  MessageWindow* chooser = WindowWithChoices();
  if (!stop_) return Nudge(chooser);
  if (!answer) {
    ++stop_->frames;  // effects still run: wait for them, a while
    return true;
  }
  return AnswerStop(chooser);
}

bool AutoplayPath::AnswerStop(MessageWindow* chooser) {
  const Stop& stop = *stop_;
  if (chooser != nullptr) {
    Screenshot(stop, "choice");
    TakeChoice(*chooser, stop);
  } else {
    Screenshot(stop, "wait");
    PressReturn();
  }
  stop_.reset();
  idle_frames_ = 0;
  nudges_ = 0;
  if (choices_made_ > kMaxChoicesPerPath) {
    Problem(ProblemKind::kStalled, "more than " + std::to_string(kMaxChoicesPerPath) +
                                       " choices on one path: the story seems to loop");
    End("choice limit");
    return false;
  }
  return true;
}

bool AutoplayPath::Nudge(MessageWindow* chooser) {
  // Stopped with nothing new to answer: press Return now and then, as a
  // player would, and give up after a few tries.
  if (++idle_frames_ % kNudgeFrames != 0) return true;
  if (++nudges_ > kMaxNudges) {
    Problem(ProblemKind::kStalled, "the story stopped here and Return did not move it on");
    End("stalled");
    return false;
  }
  if (chooser != nullptr) {
    Stop stop;
    stop.choice = true;
    const ScriptPosition position = Host().CurrentPosition();
    stop.file = position.file;
    stop.line = position.line;
    TakeChoice(*chooser, stop);
  } else {
    PressReturn();
  }
  return true;
}

int AutoplayPath::Run(SystemEventHandler& system) {
  if (!system.Booted()) {
    Problem(ProblemKind::kMissingFile, "no game: funcdef.tsl and main.tsl are needed");
    End("no game");
    return 1;
  }
  ScenarioController* controller = ScenarioController::Instance();
  if (controller != nullptr) controller->AttachListener(this);

  while (ScreenSurface::Get() == nullptr && system.Running() && ending_.empty()) {
    FrameClock().Restart();
    WaitFrame(system);
    controller = ScenarioController::Instance();
    if (controller != nullptr && controller->MainScenarioEnded() && ScreenSurface::Get() == nullptr) {
      Problem(ProblemKind::kStalled, "main.tsl ended without opening a window (InitWindow)");
      End("no window");
    } else if (g_now - 1000 > kMaxPlayMilliseconds) {
      Problem(ProblemKind::kStalled, "no window was opened within 24 hours of play time");
      End("time limit");
    }
  }

  for (int frame = 0; ending_.empty() && system.Running() && ScreenSurface::Get() != nullptr;
       ++frame) {
    FrameClock().Restart();
    // The answer comes after the frame is drawn (and shot), as a player sees
    // the frame before pressing Return.
    const bool answer = AnswerDue();
    const bool draw = answer || frame % kDrawEvery == 0;
    if (draw) DrawFrame();
    const bool going_on = Respond(answer);
    if (draw) SDL_GL_SwapBuffers();
    if (!going_on) break;
    WaitFrame(system);
    if (g_now - 1000 > kMaxPlayMilliseconds) {
      Problem(ProblemKind::kStalled, "the story did not end within 24 hours of play time");
      End("time limit");
    }
  }
  if (ending_.empty()) End(system.Running() ? "the window was closed" : "the game quit");
  WriteAvailableScenarios();
  if (controller != nullptr && ScenarioController::Instance() == controller) {
    controller->DetachListener(this);
  }
  return 0;
}

}  // namespace tessel
