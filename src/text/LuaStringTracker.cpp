#include "text/LuaStringTracker.h"

namespace tessel {

void LuaStringTracker::FeedBracket(char16_t unit) {
  if (unit == u'=') {
    ++opening_;
    return;
  }
  const bool comment = opening_comment_;
  const int level = opening_;
  opening_ = -1;
  opening_comment_ = false;
  if (unit == u'[') {
    state_ = comment ? State::kLongComment : State::kLongString;
    level_ = level;
    closing_ = -1;
    return;
  }
  // Not a long bracket: "--[x" is a line comment, "[x" plain code.
  if (comment) state_ = State::kLineComment;
  Feed(unit);
}

void LuaStringTracker::Feed(char16_t unit) {
  if (opening_ >= 0) {
    FeedBracket(unit);
    return;
  }
  switch (state_) {
    case State::kCode:
      if (comment_start_) {
        comment_start_ = false;
        if (unit == u'[') {
          opening_ = 0;
          opening_comment_ = true;
        } else if (unit != u'\n') {
          state_ = State::kLineComment;
        }
        return;
      }
      if (unit == u'"' || unit == u'\'') {
        state_ = State::kShortString;
        quote_ = unit;
        escaped_ = false;
      } else if (unit == u'-' && after_dash_) {
        comment_start_ = true;
        after_dash_ = false;
        return;
      } else if (unit == u'[') {
        opening_ = 0;
      }
      after_dash_ = unit == u'-';
      return;
    case State::kShortString:
      if (escaped_) {
        escaped_ = false;
      } else if (unit == u'\\') {
        escaped_ = true;
      } else if (unit == quote_ || unit == u'\n' || unit == u'\r') {
        state_ = State::kCode;  // closed, or left unfinished at the line end
      }
      return;
    case State::kLineComment:
      if (unit == u'\n' || unit == u'\r') state_ = State::kCode;
      return;
    case State::kLongString:
    case State::kLongComment:
      if (closing_ >= 0 && unit == u'=') {
        ++closing_;
      } else if (closing_ == level_ && unit == u']') {
        state_ = State::kCode;
        closing_ = -1;
      } else {
        closing_ = unit == u']' ? 0 : -1;
      }
      return;
  }
}

std::string BlockCompileHint(const ScriptBlockMarks& marks) {
  if (marks.ends_in_string) {
    return "hint: a '}' ends a script block even inside a string, as on line " +
           std::to_string(marks.end_line + 1) + "; write \\125 for it";
  }
  if (marks.hash_line < 0) return {};
  const std::string line = std::to_string(marks.hash_line + 1);
  if (marks.hash_in_string) {
    return "hint: '#' starts a comment in a script block even inside a string, as on line " +
           line + "; write \\35 for it";
  }
  return "hint: '#' starts a comment in a script block (line " + line +
         "), so the length operator cannot be written there; use table.getn(t) or "
         "string.len(s)";
}

}  // namespace tessel
