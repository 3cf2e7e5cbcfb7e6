#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "text/Scenario.h"
#include "text/ScenarioListener.h"

namespace tessel {

// Reads scenario text token by token and hands each token to its listeners.
// Owns the call stack of scenarios (the back is the one being read); the
// listeners are not owned. Owned by the ScenarioController (or, briefly, by a
// choice button that lays out its text).
class ScenarioReader {
 public:
  // A file that calls itself would otherwise stack a copy per call until
  // memory runs out.
  static constexpr std::size_t kMaxDepth = 1000;

  // Pushes the first scenario (with its trace lines); a null one leaves the
  // stack empty and every step does nothing.
  explicit ScenarioReader(std::unique_ptr<Scenario> scenario);
  ~ScenarioReader();

  ScenarioReader(const ScenarioReader&) = delete;
  ScenarioReader& operator=(const ScenarioReader&) = delete;

  // Enters a scenario: writes the "-> Push" trace and resolves its byte order
  // the first time. False (with a log line, the scenario destroyed) when it is
  // null or the stack already holds kMaxDepth scenarios.
  bool Push(std::unique_ptr<Scenario> scenario);
  // Leaves the current scenario for its caller, with the "<- Pop" and
  // "Leave point" traces. The first scenario is never popped.
  void Pop();

  // Listener changes made while a dispatch runs: an addition takes effect
  // from the next token; a removal at once, so a removed (or destroyed)
  // listener is never called again. No listener is held twice.
  void AddListener(ScenarioListener* listener);
  void RemoveListener(ScenarioListener* listener);
  bool HasListener(const ScenarioListener* listener) const;

  // Reads one token of the current scenario and dispatches it.
  void Step();
  // The lexer: sets the current scenario's status and returns the character
  // (0 for every other token).
  char16_t NextToken();
  // Calls each listener in order with the token that the current scenario's
  // status names, until one returns false; returns the last result.
  bool Dispatch(char16_t ch);

  // The scenario being read; null only when the reader started without one.
  Scenario* Current() const { return stack_.empty() ? nullptr : stack_.back().get(); }
  std::size_t Depth() const { return stack_.size(); }
  // A loaded game's call stack, entered as it was (no traces, byte orders kept).
  void ReplaceStack(std::deque<std::unique_ptr<Scenario>> stack) { stack_ = std::move(stack); }
  const std::deque<std::unique_ptr<Scenario>>& Stack() const { return stack_; }
  // The listeners in the order they hear each token (removed ones as null).
  const std::vector<ScenarioListener*>& Listeners() const { return listeners_; }
  // For error reports: "" and 0 when there is no scenario.
  std::string CurrentName() const;
  int CurrentLine() const;
  // Where the token read last began (0-based): the line of a call line or of
  // a script block's opening brace, although the reader is past its end.
  int CurrentTokenLine() const;

 private:
  friend class ScenarioListener;
  static void ForgetEverywhere(ScenarioListener* listener);

  void ReadComment(Scenario& s);
  void ReadLineEndRun(Scenario& s);
  void ReadRuby(Scenario& s);
  void ReadCallLine(Scenario& s);
  void ReadScriptBlock(Scenario& s);
  void ReadChoices(Scenario& s);
  bool ReadChoiceTarget(Scenario& s);
  // Line ends, tabs and comments inside a choice list carry no text: when `c`
  // (just taken) starts one, consumes it whole and says so.
  bool SkipFiller(Scenario& s, char16_t c);
  void FinishDispatch();

  std::deque<std::unique_ptr<Scenario>> stack_;
  // Entries of listeners removed during a dispatch are nulled, not erased, so
  // the walk over the list never shifts; they are dropped when it ends.
  std::vector<ScenarioListener*> listeners_;
  std::deque<ScenarioListener*> pending_additions_;
  int dispatch_depth_ = 0;  // a listener may step a reader from inside a dispatch
};

}  // namespace tessel
