#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/playtest/PlayReport.h"
#include "core/PlayMonitor.h"
#include "text/ScenarioListener.h"

namespace tessel {

class MessageWindow;
class SystemEventHandler;

// One path of an autoplay run, inside the process that plays it. Made before
// the game boots (so the boot's reads and problems count); Run then plays the
// frames on a virtual clock, answers key waits with Return, takes choices by
// the policy and writes its findings, line by line, to the result file.
class AutoplayPath final : public PlayMonitor, public ScenarioListener {
 public:
  explicit AutoplayPath(const CommandLine& line);
  ~AutoplayPath() override;
  AutoplayPath(const AutoplayPath&) = delete;
  AutoplayPath& operator=(const AutoplayPath&) = delete;

  // Plays until the story ends, quits or stalls. Returns the exit status.
  int Run(SystemEventHandler& system);
  // The game left through exit() in the middle of the path.
  void EndAtExit();

  void ScenarioRead(const std::string& name) override;
  void Problem(ProblemKind kind, const std::string& message) override;

  bool OnParagraphEnd() override;
  bool OnPageEnd() override;
  bool OnChoices(const std::vector<std::u16string>& texts,
                 const std::vector<std::u16string>& targets) override;

 private:
  struct Stop {
    bool choice = false;
    std::string file;
    int line = 0;
    int frames = 0;  // frames drawn since
  };

  void Write(const std::string& record);
  void NoteStop(bool choice);
  void WaitFrame(SystemEventHandler& system);
  // Whether this frame answers the key wait or choice the story stopped at
  // (no effect runs any more, or it has waited long enough for them).
  bool AnswerDue() const;
  // After the frame: answers the stop when `answer`, or nudges a story that
  // stays stopped; false when the path is over.
  bool Respond(bool answer);
  // The stop is due an answer: takes a choice or presses Return.
  bool AnswerStop(MessageWindow* chooser);
  // The story stays stopped with no stop noted: Return (or a choice) now and
  // then, until the path counts as stalled.
  bool Nudge(MessageWindow* chooser);
  void TakeChoice(MessageWindow& window, const Stop& stop);
  void Screenshot(const Stop& stop, const char* what);
  void WriteAvailableScenarios();
  void End(const std::string& ending);

  CommandLine line_;
  std::FILE* out_ = nullptr;
  std::optional<Stop> stop_;
  std::size_t choices_made_ = 0;
  int shots_ = 0;
  int idle_frames_ = 0;
  int nudges_ = 0;
  std::set<std::string> problems_seen_;
  std::set<std::string> taken_here_;  // "file:line#index" taken on this path
  std::mt19937 random_;
  std::string ending_;
};

// "p02-003-story_a.tsl-L14-wait.png": path, order, file, line and kind, with
// characters a file name cannot hold replaced by '_'.
std::string ScreenshotName(int path, int order, const std::string& file, int line, const char* what);

}  // namespace tessel
