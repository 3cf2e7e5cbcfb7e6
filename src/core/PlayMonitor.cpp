#include "core/PlayMonitor.h"

namespace tessel {
namespace {
PlayMonitor* g_monitor = nullptr;
}  // namespace

const char* ProblemKindName(ProblemKind kind) {
  switch (kind) {
    case ProblemKind::kScriptError:
      return "script error";
    case ProblemKind::kPanic:
      return "panic";
    case ProblemKind::kMissingFile:
      return "missing file";
    case ProblemKind::kBadFile:
      return "unreadable file";
    case ProblemKind::kReleasedObject:
      return "released object";
    case ProblemKind::kStalled:
      return "stalled";
    case ProblemKind::kTextOverflow:
      return "text overflow";
  }
  return "problem";
}

void SetPlayMonitor(PlayMonitor* monitor) { g_monitor = monitor; }

void NoteScenarioRead(const std::string& name) {
  if (g_monitor != nullptr) g_monitor->ScenarioRead(name);
}

void NoteProblem(ProblemKind kind, const std::string& message) {
  if (g_monitor != nullptr) g_monitor->Problem(kind, message);
}

}  // namespace tessel
