#include <gtest/gtest.h>

#include <map>
#include <string>

#include "script/FunctionNameList.h"

namespace tessel {
namespace {

std::map<std::string, std::string> Parse(std::string_view text) {
  FunctionNameList list(text);
  list.Load();
  return list.Names();
}

TEST(FunctionNameList, LinesCommentsAndWhitespace) {
  auto names = Parse("# comment\nCreateLayer MakeLayer extra words\r\n  # not a comment\n\tSystemExit\tQuit\r\n");
  EXPECT_EQ(names["CreateLayer"], "MakeLayer");
  EXPECT_EQ(names["SystemExit"], "Quit");
  EXPECT_EQ(names.count("# comment"), 0u);
  EXPECT_EQ(names["#"], "not");  // only column one starts a comment
}

TEST(FunctionNameList, LaterLineWinsAndKeyWithoutValueIsEmpty) {
  auto names = Parse("InitWindow A\nInitWindow B\nSystemExit\n");
  EXPECT_EQ(names["InitWindow"], "B");
  EXPECT_EQ(names["SystemExit"], "");
}

TEST(FunctionNameList, LastLineWithoutLineFeedAndLongLinesAreKept) {
  std::string long_name(5000, 'x');
  auto names = Parse("InitWindow " + long_name + "\nSystemExit Quit");
  EXPECT_EQ(names["InitWindow"], long_name);
  EXPECT_EQ(names["SystemExit"], "Quit");
}

TEST(FunctionNameList, ByteOrderMarkIsSkippedAndTextEndsAtNul) {
  auto names = Parse(std::string("\xEF\xBB\xBFSystemExit Quit\n\0InitWindow Open\n", 36));
  EXPECT_EQ(names["SystemExit"], "Quit");
  EXPECT_EQ(names.count("InitWindow"), 0u);
}

}  // namespace
}  // namespace tessel
