#include "text/ScenarioReader.h"

#include <algorithm>
#include <utility>

#include "core/DebugLog.h"

namespace tessel {
namespace {

// Every reader alive, so that a listener being destroyed can leave them all.
// Never freed: a listener may outlive static destruction order.
std::vector<ScenarioReader*>& LiveReaders() {
  static auto* readers = new std::vector<ScenarioReader*>();
  return *readers;
}

// The two trace lines of a push, pop or return, each line indented by one TAB
// per scenario on the stack.
void Trace(std::size_t depth, std::string_view what, const Scenario& s) {
  const std::string tabs(depth, '\t');
  std::string text = tabs;
  text.append(what).append(s.name).append("\n");
  text.append(tabs).append("LineNumber : ").append(std::to_string(s.line)).append("\n");
  DebugLog::Write(text);
}

}  // namespace

ScenarioListener::~ScenarioListener() { ScenarioReader::ForgetEverywhere(this); }

void ScenarioReader::ForgetEverywhere(ScenarioListener* listener) {
  for (ScenarioReader* reader : LiveReaders()) reader->RemoveListener(listener);
}

ScenarioReader::ScenarioReader(std::unique_ptr<Scenario> scenario) {
  LiveReaders().push_back(this);
  if (scenario != nullptr) Push(std::move(scenario));
}

ScenarioReader::~ScenarioReader() {
  std::erase(LiveReaders(), this);
  while (!stack_.empty()) stack_.pop_back();
}

bool ScenarioReader::Push(std::unique_ptr<Scenario> scenario) {
  if (scenario == nullptr) return false;
  if (stack_.size() >= kMaxDepth) {
    DebugLog::Print("Error : %zu scenario files are open, %s is not entered.\n", kMaxDepth,
                    scenario->name.c_str());
    return false;
  }
  if (!scenario->pushed) {
    Trace(stack_.size(), "-> Push ", *scenario);
    scenario->ResolveByteOrder();
    scenario->pushed = true;
  }
  stack_.push_back(std::move(scenario));
  return true;
}

void ScenarioReader::Pop() {
  if (stack_.size() < 2) return;
  Trace(stack_.size(), "<- Pop ", *stack_.back());
  stack_.pop_back();
  Scenario& caller = *stack_.back();
  Trace(stack_.size(), "Leave point ", caller);
  // The call line or choice list that entered the finished file must not be
  // delivered again.
  caller.status &= ~(Scenario::kCall | Scenario::kChoices);
  caller.choice_texts.clear();
  caller.choice_targets.clear();
  caller.choice_text_lines.clear();
  caller.choice_target_lines.clear();
}

void ScenarioReader::AddListener(ScenarioListener* listener) {
  if (listener == nullptr || HasListener(listener)) return;
  if (dispatch_depth_ > 0) {
    if (std::find(pending_additions_.begin(), pending_additions_.end(), listener) ==
        pending_additions_.end()) {
      pending_additions_.push_back(listener);
    }
    return;
  }
  listeners_.push_back(listener);
}

void ScenarioReader::RemoveListener(ScenarioListener* listener) {
  if (listener == nullptr) return;
  std::erase(pending_additions_, listener);
  if (dispatch_depth_ > 0) {
    std::replace(listeners_.begin(), listeners_.end(), listener,
                 static_cast<ScenarioListener*>(nullptr));
  } else {
    std::erase(listeners_, listener);
  }
}

bool ScenarioReader::HasListener(const ScenarioListener* listener) const {
  return listener != nullptr &&
         std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end();
}

std::string ScenarioReader::CurrentName() const {
  const Scenario* s = Current();
  return s != nullptr ? s->name : std::string();
}

int ScenarioReader::CurrentLine() const {
  const Scenario* s = Current();
  return s != nullptr ? s->line : 0;
}

int ScenarioReader::CurrentTokenLine() const {
  const Scenario* s = Current();
  return s != nullptr ? s->token_line : 0;
}

void ScenarioReader::Step() {
  Scenario* s = Current();
  if (s == nullptr) return;
  s->script_text.clear();
  if (s->status & Scenario::kChoices) {
    s->choice_texts.clear();
    s->choice_targets.clear();
    s->choice_text_lines.clear();
    s->choice_target_lines.clear();
  }
  s->status = 0;
  const char16_t ch = NextToken();
  Dispatch(ch);
}

bool ScenarioReader::Dispatch(char16_t ch) {
  ++dispatch_depth_;
  bool result = true;
  for (std::size_t i = 0; i < listeners_.size(); ++i) {
    ScenarioListener* listener = listeners_[i];
    if (listener == nullptr) continue;  // removed during this dispatch
    // Read afresh for each listener: one may have pushed another scenario.
    const Scenario* s = Current();
    if (s == nullptr) break;
    // Listeners get copies: the scenario may be popped or changed under them.
    switch (s->status) {
      case 0:
        result = listener->OnCharacter(ch);
        break;
      case Scenario::kPageEnd:
        result = listener->OnPageEnd();
        break;
      case Scenario::kParagraphEnd:
        result = listener->OnParagraphEnd();
        break;
      case Scenario::kLineEnd:
        result = listener->OnLineEnd();
        break;
      case Scenario::kLineBreaks:
        result = listener->OnLineBreaks(s->backslash_count);
        break;
      case Scenario::kRuby: {
        const std::u16string ruby = s->ruby_text;
        result = listener->OnRubyCharacter(ch, ruby);
        break;
      }
      case Scenario::kScriptBlock: {
        const std::u16string script = s->script_text;
        result = listener->OnScriptBlock(script, s->script_line);
        break;
      }
      case Scenario::kChoices: {
        const std::vector<std::u16string> texts = s->choice_texts;
        const std::vector<std::u16string> targets = s->choice_targets;
        result = listener->OnChoices(texts, targets);
        break;
      }
      case Scenario::kCall: {
        const std::u16string name = s->call_name;
        result = listener->OnCall(name);
        break;
      }
      case Scenario::kEnd:
        result = listener->OnScenarioEnd();
        break;
      default:
        break;
    }
    if (!result) break;
  }
  if (--dispatch_depth_ == 0) FinishDispatch();
  return result;
}

void ScenarioReader::FinishDispatch() {
  std::erase(listeners_, nullptr);
  // Additions made during the dispatch join now, taken from the back.
  while (!pending_additions_.empty()) {
    ScenarioListener* listener = pending_additions_.back();
    pending_additions_.pop_back();
    AddListener(listener);
  }
}

}  // namespace tessel
