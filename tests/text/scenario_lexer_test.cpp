// The scenario text format, token by token: what an author writes and what the
// listeners receive.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "text/RecordingListener.h"
#include "text/Scenario.h"
#include "text/ScenarioReader.h"

namespace tessel {
namespace {

using Tokens = std::vector<std::string>;

struct Lexed {
  Tokens tokens;
  std::vector<int> lines;  // the scenario's line after each token
};

// Steps a reader over the scenario until its end has been delivered once.
Lexed Lex(std::unique_ptr<Scenario> scenario, int max_steps = 200) {
  Lexed result;
  ScenarioReader reader(std::move(scenario));
  test::RecordingListener listener(&result.tokens);
  reader.AddListener(&listener);
  for (int i = 0; i < max_steps; ++i) {
    reader.Step();
    result.lines.push_back(reader.CurrentLine());
    if (result.tokens.back() == "end") break;
  }
  return result;
}

Tokens LexText(const std::u16string& text) {
  return Lex(std::make_unique<Scenario>(text, false)).tokens;
}

Tokens LexFile(const std::string& bytes) { return Lex(Scenario::FromFileBytes(bytes)).tokens; }

TEST(ScenarioCharacters, OrdinaryCharactersOneTokenEach) {
  EXPECT_EQ(LexText(u"aあ "), (Tokens{"char a", "char あ", "char  ", "end"}));
}

TEST(ScenarioCharacters, StrayBracketsAreOrdinaryCharacters) {
  EXPECT_EQ(LexText(u"<a>}"), (Tokens{"char <", "char a", "char >", "char }", "end"}));
}

TEST(ScenarioCharacters, TabsAreSkippedOutsideBlocks) {
  EXPECT_EQ(LexText(u"\ta\t\tb\t"), (Tokens{"char a", "char b", "end"}));
}

TEST(ScenarioRuby, BelongsToTheOneCharacterBeforeIt) {
  EXPECT_EQ(LexText(u"A<ka>B"), (Tokens{"ruby A:ka", "char B", "end"}));
}

TEST(ScenarioRuby, KeepsLineEndsAndOpeningBracketsAsText) {
  EXPECT_EQ(LexText(u"A<k\na>A<<b>"), (Tokens{"ruby A:k\na", "ruby A:<b", "end"}));
}

TEST(ScenarioRuby, CutOffByTheEndKeepsWhatWasRead) {
  EXPECT_EQ(LexText(u"A<ka"), (Tokens{"ruby A:ka", "end"}));
  EXPECT_EQ(LexText(u"A<"), (Tokens{"ruby A:", "end"}));
}

TEST(ScenarioLineEnds, OneLineEndIsNoBreak) {
  EXPECT_EQ(LexText(u"a\nb"), (Tokens{"char a", "line", "char b", "end"}));
}

TEST(ScenarioLineEnds, RunsOfTwoAndThreeOrMoreEndParagraphAndPage) {
  EXPECT_EQ(LexText(u"a\n\nb"), (Tokens{"char a", "paragraph", "char b", "end"}));
  EXPECT_EQ(LexText(u"a\n\n\nb"), (Tokens{"char a", "page", "char b", "end"}));
  EXPECT_EQ(LexText(u"a\n\n\n\n\n\nb"), (Tokens{"char a", "page", "char b", "end"}));
}

TEST(ScenarioLineEnds, CrLfCrAndLfCountOnceEach) {
  Lexed lexed = Lex(std::make_unique<Scenario>(u"a\r\n\r\nb\r\rc\n\r\nd", false));
  EXPECT_EQ(lexed.tokens, (Tokens{"char a", "paragraph", "char b", "paragraph", "char c",
                                  "paragraph", "char d", "end"}));
  EXPECT_EQ(lexed.lines.back(), 6);
}

TEST(ScenarioLineEnds, CommentLineInsideARunIsNotCounted) {
  Lexed lexed = Lex(std::make_unique<Scenario>(u"a\n% note\n\nb", false));
  EXPECT_EQ(lexed.tokens, (Tokens{"char a", "paragraph", "char b", "end"}));
  EXPECT_EQ(lexed.lines[1], 3);  // the comment's line end still counts as a line
}

TEST(ScenarioLineEnds, TabsDoNotBreakARunButASpaceDoes) {
  EXPECT_EQ(LexText(u"a\n\t\n\tb"), (Tokens{"char a", "paragraph", "char b", "end"}));
  EXPECT_EQ(LexText(u"a\n \nb"), (Tokens{"char a", "line", "char  ", "line", "char b", "end"}));
}

TEST(ScenarioComments, RunToTheEndOfTheLine) {
  Lexed lexed = Lex(std::make_unique<Scenario>(u"%c {x} @y $z\nA%tail", false));
  EXPECT_EQ(lexed.tokens, (Tokens{"char A", "end"}));
  EXPECT_EQ(lexed.lines[0], 1);
}

TEST(ScenarioLineBreaks, BackslashRunIsOneToken) {
  EXPECT_EQ(LexText(u"a\\\\\\b\\"), (Tokens{"char a", "breaks 3", "char b", "breaks 1", "end"}));
}

TEST(ScenarioScriptBlocks, InnerBracesNestAndStayInTheCode) {
  EXPECT_EQ(LexText(u"{t = {1, {2}}}Z"), (Tokens{"script t = {1, {2}} @0", "char Z", "end"}));
}

TEST(ScenarioScriptBlocks, HashCommentIsDroppedButItsLineEndKept) {
  // The kept line end lets Lua's line numbers match the file's.
  Lexed lexed = Lex(std::make_unique<Scenario>(u"{a = 1 # note }\nb = 2}Z", false));
  EXPECT_EQ(lexed.tokens, (Tokens{"script a = 1 \nb = 2 @0", "char Z", "end"}));
  EXPECT_EQ(lexed.lines[0], 1);
}

TEST(ScenarioScriptBlocks, KeepLineEndsAndOtherControlCharacters) {
  Lexed lexed = Lex(std::make_unique<Scenario>(u"x\n{a\r\nb % $ @ \\ <>\t}\t\tZ", false));
  EXPECT_EQ(lexed.tokens,
            (Tokens{"char x", "line", "script a\r\nb % $ @ \\ <>\t @1", "char Z", "end"}));
  EXPECT_EQ(lexed.lines[2], 2);
}

TEST(ScenarioScriptBlocks, CutOffByTheEndKeepsWhatWasRead) {
  EXPECT_EQ(LexText(u"{a = {1"), (Tokens{"script a = {1 @0", "end"}));
  EXPECT_EQ(LexText(u"{f() # no end"), (Tokens{"script f()  @0", "end"}));
}

TEST(ScenarioCallLines, NameIsTheFirstWordAndTheRestIsIgnored) {
  Lexed lexed = Lex(std::make_unique<Scenario>(u"@ \tnext.tsl rest\tof line\nZ", false));
  EXPECT_EQ(lexed.tokens, (Tokens{"call next.tsl", "char Z", "end"}));
  EXPECT_EQ(lexed.lines[0], 1);
}

TEST(ScenarioCallLines, CrLfEndsTheLineOnce) {
  Lexed lexed = Lex(std::make_unique<Scenario>(u"@a.tsl\r\nZ", false));
  EXPECT_EQ(lexed.tokens, (Tokens{"call a.tsl", "char Z", "end"}));
  EXPECT_EQ(lexed.lines[0], 1);
}

TEST(ScenarioCallLines, CutOffByTheEnd) {
  EXPECT_EQ(LexText(u"@na"), (Tokens{"call na", "end"}));
  EXPECT_EQ(LexText(u"@"), (Tokens{"call ", "end"}));
}

TEST(ScenarioChoices, TriplesSeparatedByLineEndsTabsAndComments) {
  Lexed lexed = Lex(std::make_unique<Scenario>(
      u"$Yes$a.tsl$\n\t% second one\n$No$b.tsl$Z", false));
  EXPECT_EQ(lexed.tokens, (Tokens{"choices Yes>a.tsl|No>b.tsl", "char Z", "end"}));
  EXPECT_EQ(lexed.lines[0], 2);
}

TEST(ScenarioChoices, LineEndsAndTabsInsideTextAndTargetAreDropped) {
  EXPECT_EQ(LexText(u"$Y\r\ne\ts$a.\nt%c\nsl$"), (Tokens{"choices Yes>a.tsl", "end"}));
}

TEST(ScenarioChoices, TextKeepsRubyBracketsBackslashesAndBlocks) {
  EXPECT_EQ(LexText(u"$A<a>\\\\{f()}$t$"), (Tokens{"choices A<a>\\\\{f()}>t", "end"}));
}

TEST(ScenarioChoices, CutOffListYieldsOnlyCompletePairs) {
  EXPECT_EQ(LexText(u"$A$a$$B$b"), (Tokens{"choices A>a", "end"}));
  EXPECT_EQ(LexText(u"$A$a$\n$B"), (Tokens{"choices A>a", "end"}));
}

TEST(ScenarioChoices, ListWithoutACompleteChoiceIsNoChoice) {
  // Nothing to pick: the token is an empty character, never an empty list.
  EXPECT_EQ(LexText(u"$A$a"), (Tokens{"char \\0", "end"}));
  EXPECT_EQ(LexText(u"$"), (Tokens{"char \\0", "end"}));
}

TEST(ScenarioEnd, IsDeliveredOnEveryStepOnceReached) {
  ScenarioReader reader(std::make_unique<Scenario>(u"a", false));
  Tokens tokens;
  test::RecordingListener listener(&tokens);
  reader.AddListener(&listener);
  for (int i = 0; i < 4; ++i) reader.Step();
  EXPECT_EQ(tokens, (Tokens{"char a", "end", "end", "end"}));
  EXPECT_EQ(reader.Current()->position, 1);
}

TEST(ScenarioEnd, ZeroUnitEndsTheText) {
  EXPECT_EQ(LexText(std::u16string(u"a\0b", 3)), (Tokens{"char a", "end"}));
}

// Files as they come from disk or an archive: mark, byte order, UTF-8.

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

TEST(ScenarioFile, LittleEndianWithMarkReadsAsStored) {
  EXPECT_EQ(LexFile(test::Utf16File(u"A<か>\n\nB")),
            (Tokens{"ruby A:か", "paragraph", "char B", "end"}));
}

TEST(ScenarioFile, BigEndianWithMarkIsSwapped) {
  EXPECT_EQ(LexFile(Bytes({0xFE, 0xFF, 0x00, 'A', 0x30, 0x42, 0x00, '\n', 0x00, 'B'})),
            (Tokens{"char A", "char あ", "line", "char B", "end"}));
}

TEST(ScenarioFile, OddLastByteIsDropped) {
  EXPECT_EQ(LexFile(Bytes({0xFF, 0xFE, 'A', 0x00, 'B'})), (Tokens{"char A", "end"}));
}

TEST(ScenarioFile, Utf8WithMarkIsDecoded) {
  EXPECT_EQ(LexFile("\xEF\xBB\xBF" "A\xE3\x81\x82\n\n{x}"),
            (Tokens{"char A", "char あ", "paragraph", "script x @2", "end"}));
}

TEST(ScenarioFile, Utf8WithoutMarkIsDecoded) {
  EXPECT_EQ(LexFile("\xE3\x81\x82" "b"), (Tokens{"char あ", "char b", "end"}));
  EXPECT_EQ(LexFile("A"), (Tokens{"char A", "end"}));
}

TEST(ScenarioFile, Utf16WithoutMarkGuessesTheOrderAndLosesNothing) {
  EXPECT_EQ(LexFile(Bytes({'A', 0x00, 'B', 0x00})), (Tokens{"char A", "char B", "end"}));
  EXPECT_EQ(LexFile(Bytes({0x00, 'A', 0x00, 'B'})), (Tokens{"char A", "char B", "end"}));
}

TEST(ScenarioFile, BytesThatAreNotUtf8AreReadAsUtf16) {
  // 0x82 0xA0 is あ in Shift-JIS: invalid UTF-8, no zero byte, taken as one unit.
  EXPECT_EQ(LexFile(Bytes({0x82, 0xA0})), (Tokens{"char " + EncodeUtf8(u"\uA082"), "end"}));
}

TEST(ScenarioFile, EmptyAndOneByteFilesEndAtOnceWithoutPassingTheEnd) {
  for (const std::string& bytes : {std::string(), Bytes({0xFF}), Bytes({0xFF, 0xFE})}) {
    ScenarioReader reader(Scenario::FromFileBytes(bytes));
    // Only a real mark is consumed, never the terminator.
    EXPECT_EQ(reader.Current()->position, bytes.size() == 2 ? 1 : 0);
    Tokens tokens;
    test::RecordingListener listener(&tokens);
    reader.AddListener(&listener);
    reader.Step();
    reader.Step();
    EXPECT_EQ(tokens, (Tokens{"end", "end"}));
    EXPECT_EQ(static_cast<std::size_t>(reader.Current()->position), reader.Current()->text.size());
  }
}

TEST(ScenarioFile, MarkFlagWithoutAMarkConsumesNothing) {
  // Built the way a loader that trusts the flag would: the first unit is text.
  EXPECT_EQ(Lex(std::make_unique<Scenario>(u"AB", true)).tokens,
            (Tokens{"char A", "char B", "end"}));
}

TEST(ScenarioFile, WithoutMarkFlagUnitsAreTakenAsTheyAre) {
  // Choice texts are read this way: a leading FFFE is text, not a mark.
  ScenarioReader reader(std::make_unique<Scenario>(u"\uFFFEA", false));
  EXPECT_EQ(reader.Current()->byte_order, Scenario::kAsStored);
  EXPECT_EQ(reader.Current()->position, 0);
}

}  // namespace
}  // namespace tessel
