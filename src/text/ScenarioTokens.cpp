// The reader's lexer: cuts the current scenario into tokens (text, comments,
// line-end runs, ruby, call lines, script blocks, choice lists).
#include <utility>

#include "text/ScenarioReader.h"

namespace tessel {
namespace {

constexpr char16_t kTab = u'\t';
constexpr char16_t kLf = u'\n';
constexpr char16_t kCr = u'\r';

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

}  // namespace

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

}  // namespace tessel
