#include "text/ScenarioReader.h"

#include <algorithm>
#include <utility>

#include "core/DebugLog.h"

namespace tessel {
namespace {

constexpr char16_t kTab = u'\t';
constexpr char16_t kLf = u'\n';
constexpr char16_t kCr = u'\r';

// Every reader alive, so that a listener being destroyed can leave them all.
// Never freed: a listener may outlive static destruction order.
std::vector<ScenarioReader*>& LiveReaders() {
  static auto* readers = new std::vector<ScenarioReader*>();
  return *readers;
}

void SkipTabs(Scenario& s) {
  while (s.Peek() == kTab) s.Next();
}

// When `c` (just taken by Next) ends a line: consumes the LF of a CR LF pair,
// counts the line and says so.
bool TakeLineEnd(Scenario& s, char16_t c) {
  if (c != kLf && c != kCr) return false;
  if (c == kCr && s.Peek() == kLf) s.Next();
  ++s.line;
  return true;
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

char16_t ScenarioReader::NextToken() {
  Scenario* current = Current();
  if (current == nullptr) return 0;
  Scenario& s = *current;
  for (;;) {
    s.token_line = s.line;
    const char16_t c = s.Next();
    switch (c) {
      case 0:
        s.Unget();
        if (s.status != 0) return 0;  // deliver what is pending; the end comes next step
        s.status |= Scenario::kEnd;
        Pop();  // destroys s unless it is the first scenario
        return 0;
      case kTab:
        SkipTabs(s);
        continue;
      case kLf:
      case kCr:
        ReadLineEndRun(s);
        return 0;
      case u'$':
        s.status |= Scenario::kChoices;
        ReadChoices(s);
        return 0;
      case u'%':
        ReadComment(s);
        continue;
      case u'@':
        s.status |= Scenario::kCall;
        ReadCallLine(s);
        return 0;
      case u'\\': {
        int count = 1;
        while (s.Peek() == u'\\') {
          s.Next();
          ++count;
        }
        s.backslash_count = count;
        s.status |= Scenario::kLineBreaks;
        return 0;
      }
      case u'{':
        s.status |= Scenario::kScriptBlock;
        ReadScriptBlock(s);
        return 0;
      default:
        // A "<" only opens a ruby right after a character; a lone "<", ">"
        // or "}" is an ordinary character.
        if (s.Peek() == u'<') {
          s.Next();
          ReadRuby(s);
          s.status |= Scenario::kRuby;
        }
        return c;
    }
  }
}

void ScenarioReader::ReadComment(Scenario& s) {
  for (;;) {
    const char16_t c = s.Next();
    if (c == 0) {
      s.Unget();
      return;
    }
    if (TakeLineEnd(s, c)) return;
  }
}

void ScenarioReader::ReadLineEndRun(Scenario& s) {
  s.Unget();
  for (;;) {
    const char16_t c = s.Next();
    if (c == kTab) {
      SkipTabs(s);
    } else if (c == u'%') {
      ReadComment(s);  // its line end does not count towards the run
    } else if (TakeLineEnd(s, c)) {
      constexpr std::uint32_t kRunBits = Scenario::kPageEnd | Scenario::kParagraphEnd |
                                         Scenario::kLineEnd;
      switch (s.status & kRunBits) {
        case 0:
          s.status |= Scenario::kLineEnd;
          break;
        case Scenario::kLineEnd:
          s.status = (s.status & ~Scenario::kLineEnd) | Scenario::kParagraphEnd;
          break;
        case Scenario::kParagraphEnd:
          s.status = (s.status & ~Scenario::kParagraphEnd) | Scenario::kPageEnd;
          break;
        default:
          break;
      }
    } else {
      s.Unget();
      return;
    }
  }
}

void ScenarioReader::ReadRuby(Scenario& s) {
  s.ruby_text.clear();
  for (;;) {
    const char16_t c = s.Peek();
    if (c == 0) return;
    s.Next();
    if (c == u'>') return;
    s.ruby_text.push_back(c);
  }
}

void ScenarioReader::ReadCallLine(Scenario& s) {
  s.call_name.clear();
  const auto skip_blanks = [&s] {
    while (s.Peek() == u' ' || s.Peek() == kTab) s.Next();
  };
  skip_blanks();
  bool keep = true;  // only the first word names the file
  for (;;) {
    const char16_t c = s.Peek();
    if (c == 0) return;
    if (c == u' ' || c == kTab) {
      skip_blanks();
      keep = false;
      continue;
    }
    s.Next();
    if (TakeLineEnd(s, c)) return;
    if (keep) s.call_name.push_back(c);
  }
}

void ScenarioReader::ReadScriptBlock(Scenario& s) {
  s.script_text.clear();
  s.script_line = s.line;
  s.script_marks = ScriptBlockMarks{};
  // Where strings run, so that a block that does not compile can say why.
  LuaStringTracker lua;
  int depth = 0;
  for (;;) {
    const char16_t c = s.Next();
    switch (c) {
      case 0:
        s.Unget();  // an unclosed block ends with the text
        s.script_marks.end_line = s.line;
        return;
      case kLf:
        ++s.line;
        break;
      case kCr:
        if (s.Peek() != kLf) ++s.line;
        break;
      case u'#': {
        // One in a Lua comment cuts nothing that Lua would have read.
        if (s.script_marks.hash_line < 0 && !lua.InComment()) {
          s.script_marks.hash_line = s.line;
          s.script_marks.hash_in_string = lua.InString();
        }
        // The comment goes, its line end stays: Lua's messages then count
        // the same lines as the scenario file.
        const std::int32_t line_before = s.line;
        ReadComment(s);
        if (s.line != line_before) {
          s.script_text.push_back(kLf);
          lua.Feed(kLf);
        }
        continue;
      }
      case u'{':
        ++depth;
        break;
      case u'}':
        if (depth <= 0) {
          s.script_marks.ends_in_string = lua.InString();
          s.script_marks.end_line = s.line;
          SkipTabs(s);
          return;
        }
        --depth;
        break;
      default:
        break;
    }
    s.script_text.push_back(c);
    lua.Feed(c);
  }
}

void ScenarioReader::ReadChoices(Scenario& s) {
  s.choice_texts.clear();
  s.choice_targets.clear();
  s.choice_text_lines.clear();
  s.choice_target_lines.clear();
  std::u16string text;
  std::int32_t text_line = -1;  // where its first character stands
  for (;;) {
    const char16_t c = s.Next();
    if (c == 0) {
      s.Unget();
      break;
    }
    if (SkipFiller(s, c)) continue;
    if (c != u'$') {
      if (text_line < 0) text_line = s.line;
      text.push_back(c);
    } else {
      s.choice_texts.push_back(std::move(text));
      s.choice_text_lines.push_back(text_line >= 0 ? text_line : s.line);
      text.clear();
      text_line = -1;
      if (!ReadChoiceTarget(s)) {
        // Cut off by the end of the text: a choice without its target is no
        // choice, and listeners index both lists together.
        s.choice_texts.pop_back();
        s.choice_text_lines.pop_back();
        break;
      }
      // Between triples: tabs, line ends and comments, then "$" for the next.
      bool another = false;
      for (;;) {
        const char16_t d = s.Next();
        if (SkipFiller(s, d)) continue;
        another = d == u'$';
        if (!another) s.Unget();
        break;
      }
      if (!another) break;
    }
  }
  // A list with no complete choice offers nothing; delivering it would stop
  // the story at a choice that cannot be taken.
  if (s.choice_texts.empty()) s.status &= ~Scenario::kChoices;
}

bool ScenarioReader::SkipFiller(Scenario& s, char16_t c) {
  if (TakeLineEnd(s, c)) return true;
  if (c == kTab) {
    SkipTabs(s);
    return true;
  }
  if (c == u'%') {
    ReadComment(s);
    return true;
  }
  return false;
}

bool ScenarioReader::ReadChoiceTarget(Scenario& s) {
  std::u16string target;
  std::int32_t target_line = -1;  // where its first character stands
  for (;;) {
    const char16_t c = s.Next();
    if (c == 0) {
      s.Unget();
      return false;
    }
    if (SkipFiller(s, c)) continue;
    if (c == u'$') {
      s.choice_targets.push_back(std::move(target));
      s.choice_target_lines.push_back(target_line >= 0 ? target_line : s.line);
      return true;
    } else {
      if (target_line < 0) target_line = s.line;
      target.push_back(c);
    }
  }
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
