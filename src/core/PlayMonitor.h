#pragma once

#include <string>

namespace tessel {

// What can go wrong in a game that a play-test reports.
enum class ProblemKind {
  kScriptError,     // a script block or a command's callback failed
  kPanic,           // a callback failed outside any command: the run ends
  kMissingFile,     // a scenario, picture, sound or archive that is not there
  kBadFile,         // there, but could not be read
  kReleasedObject,  // a command met a released or foreign object
  kStalled,         // the story stopped and nothing moved it on
  kTextOverflow,    // text that did not fit in its message window and is not shown
};

const char* ProblemKindName(ProblemKind kind);

// Watches a run for the play-tester. Nothing watches a normal run; the
// engine's places that report a file read or a problem tell the monitor too.
class PlayMonitor {
 public:
  virtual ~PlayMonitor() = default;
  virtual void ScenarioRead(const std::string& name) {}
  virtual void Problem(ProblemKind kind, const std::string& message) {}
};

// Installs the monitor (nullptr removes it); it is not owned.
void SetPlayMonitor(PlayMonitor* monitor);

void NoteScenarioRead(const std::string& name);
void NoteProblem(ProblemKind kind, const std::string& message);

}  // namespace tessel
