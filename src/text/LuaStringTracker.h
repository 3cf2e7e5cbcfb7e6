#pragma once

#include <string>

namespace tessel {

// Follows Lua code unit by unit far enough to tell whether the next unit
// would lie inside a string literal: short strings with their escapes, long
// strings and comments ([[ ]], [==[ ]==], --[[ ]]) and line comments.
class LuaStringTracker {
 public:
  void Feed(char16_t unit);
  bool InString() const { return state_ == State::kShortString || state_ == State::kLongString; }
  bool InComment() const {
    return comment_start_ || state_ == State::kLineComment || state_ == State::kLongComment;
  }

 private:
  enum class State { kCode, kShortString, kLongString, kLineComment, kLongComment };

  // A '[' seen in code or right after "--": counts '=' until the second '['.
  void FeedBracket(char16_t unit);

  State state_ = State::kCode;
  char16_t quote_ = 0;
  bool escaped_ = false;
  bool after_dash_ = false;    // the last code unit was '-'
  bool comment_start_ = false; // just after "--": a '[' may open a long comment
  int opening_ = -1;           // '=' count of a '[' being read; -1 none
  bool opening_comment_ = false;
  int level_ = 0;              // '=' count of the open long bracket
  int closing_ = -1;           // '=' count after a ']' inside a long bracket; -1 none
};

// What the reader noted in the last script block, for the hints that a block
// which does not compile gets (0-based lines).
struct ScriptBlockMarks {
  int hash_line = -1;          // first '#' dropped as a comment, or -1
  bool hash_in_string = false; // that '#' was inside a string literal
  bool ends_in_string = false; // the closing '}' came inside a string literal
  int end_line = 0;            // line of the closing '}'
};

// Why a block that does not compile may have been cut wrongly, as text to add
// to Lua's message; empty when the marks explain nothing.
std::string BlockCompileHint(const ScriptBlockMarks& marks);

}  // namespace tessel
