// UTF-8, UTF-16 and Shift-JIS conversions, and the JIS X 0208 table.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "text/Encoding.h"
#include "text/JisTables.h"

namespace tessel {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

TEST(Utf8Decoding, OneTwoAndThreeByteCharacters) {
  EXPECT_EQ(DecodeUtf8("\x41\xC3\xA9"), u"\u0041\u00E9");
  EXPECT_EQ(CountUtf8Characters("\x41\xC3\xA9"), 2u);
  EXPECT_EQ(DecodeUtf8("\xE3\x81\x82\xEF\xBD\xA1"), u"\u3042\uFF61");
}

TEST(Utf8Decoding, FourByteSequenceBecomesOneReplacementCharacter) {
  const std::string text = "a\xF0\x9F\x98\x80" "b";  // a, U+1F600, b
  EXPECT_EQ(DecodeUtf8(text), u"a\uFFFDb");
  EXPECT_EQ(CountUtf8Characters(text), 3u);
}

TEST(Utf8Decoding, LeadByteRuleAppliesWithoutValidation) {
  // A stray trail byte leads a three-byte character, as does F5..FF.
  EXPECT_EQ(DecodeUtf8("\x80\x41\x42"), u"\u0042");
  EXPECT_EQ(DecodeUtf8("\xFF\x80\x80"), std::u16string(1, u'\xF000'));
}

TEST(Utf8Decoding, CutOffSequenceStopsAtTheEnd) {
  // Exact-size heap buffers, so reading one byte too far is an ASan report.
  for (const std::string& text : {Bytes({'a', 0xE3, 0x81}), Bytes({'a', 0xE3}), Bytes({'a', 0xC3}),
                                  Bytes({'a', 0xF0, 0x9F, 0x98})}) {
    std::vector<char> buffer(text.begin(), text.end());
    std::string_view view(buffer.data(), buffer.size());
    EXPECT_EQ(DecodeUtf8(view), u"a\uFFFD");
    EXPECT_EQ(CountUtf8Characters(view), 2u);
  }
}

TEST(Utf8Decoding, ZeroByteTerminates) {
  // The terminator is never read as the trail of a character before it.
  const std::string text = Bytes({'a', 0xE3, 0x00, 0x81, 0x82});
  EXPECT_EQ(DecodeUtf8(text), u"a\uFFFD");
  EXPECT_EQ(CountUtf8Characters(text), 2u);
  EXPECT_EQ(DecodeUtf8(""), u"");
}

TEST(Utf8Encoding, UnitsByTheirSize) {
  EXPECT_EQ(EncodeUtf8(u"\u3042"), "\xE3\x81\x82");
  EXPECT_EQ(Utf8Length(u"\u3042"), 3u);
  EXPECT_EQ(EncodeUtf8(u"A\u00E9\u07FF\u0800"), "A\xC3\xA9\xDF\xBF\xE0\xA0\x80");
  EXPECT_EQ(Utf8Length(u"A\u00E9\u07FF\u0800"), 8u);
}

TEST(Utf8Encoding, SurrogatePairJoinsIntoOneSequence) {
  EXPECT_EQ(EncodeUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8Length(u"\U0001F600"), 4u);
  EXPECT_EQ(EncodeUtf8(u"\U0010FFFF"), "\xF4\x8F\xBF\xBF");
}

TEST(Utf8Encoding, LoneSurrogateIsWrittenAsReplacement) {
  const std::u16string lone_high = {u'a', 0xD83D, u'b'};
  const std::u16string lone_low = {0xDE00};
  const std::u16string reversed = {0xDE00, 0xD83D};
  const std::u16string high_at_end = {u'a', 0xD83D};
  EXPECT_EQ(EncodeUtf8(lone_high), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(EncodeUtf8(lone_low), "\xEF\xBF\xBD");
  EXPECT_EQ(EncodeUtf8(reversed), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(EncodeUtf8(high_at_end), "a\xEF\xBF\xBD");
  for (const auto& text : {lone_high, lone_low, reversed, high_at_end}) {
    EXPECT_TRUE(IsValidUtf8(EncodeUtf8(text)));
    EXPECT_EQ(Utf8Length(text), EncodeUtf8(text).size());
  }
}

TEST(Utf8Encoding, EveryBmpCharacterRoundTrips) {
  for (char32_t code = 1; code <= 0xFFFF; ++code) {
    if (code >= 0xD800 && code <= 0xDFFF) continue;
    const std::u16string unit(1, static_cast<char16_t>(code));
    const std::string encoded = EncodeUtf8(unit);
    ASSERT_EQ(encoded.size(), Utf8Length(unit)) << std::hex << static_cast<std::uint32_t>(code);
    ASSERT_TRUE(IsValidUtf8(encoded)) << std::hex << static_cast<std::uint32_t>(code);
    ASSERT_EQ(DecodeUtf8(encoded), unit) << std::hex << static_cast<std::uint32_t>(code);
  }
}

TEST(Utf8Validation, RejectsMalformedInput) {
  EXPECT_TRUE(IsValidUtf8("plain \xE3\x81\x82 \xF0\x9F\x98\x80"));
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_FALSE(IsValidUtf8("\x80"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));      // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xE3\x81"));          // cut off
  EXPECT_FALSE(IsValidUtf8("\xE3\x41\x82"));      // bad trail byte
}

TEST(ShiftJisConversion, KanaAndKanjiByTheRowCellArithmetic) {
  EXPECT_EQ(ToShiftJis(u"\u3042"), "\x82\xA0");
  EXPECT_EQ(ToShiftJis(u"\u4E00"), "\x88\xEA");
  EXPECT_EQ(ToShiftJis(u"\u301C"), "\x81\x60");
  // Rows at and beyond 0x5F take the second lead-byte range.
  EXPECT_EQ(ToShiftJis(u"\u6F3E"), "\xE0\x40");  // JIS 0x5F21
  EXPECT_EQ(ToShiftJis(u"\u7199"), "\xEA\xA4");  // JIS 0x7426, the last kanji
}

TEST(ShiftJisConversion, BelowU0100FollowsJisRoman) {
  EXPECT_EQ(ToShiftJis(u"data/ch1.tsl"), "data/ch1.tsl");
  EXPECT_EQ(ToShiftJis(u"a\\b~c"), "abc");
  EXPECT_EQ(ToShiftJis(u"\u00A5"), "\x5C");
  EXPECT_EQ(ToShiftJis(u"\t\n\u007F\u00E9\u00A7"), "");
}

TEST(ShiftJisConversion, UnmappedUnitsAreDropped) {
  EXPECT_EQ(ToShiftJis(u"\uFF5E"), "");  // full-width tilde
  std::u16string half_width;
  for (char16_t unit = 0xFF61; unit <= 0xFF9F; ++unit) half_width.push_back(unit);
  EXPECT_EQ(ToShiftJis(half_width), "");
  // Only in JIS X 0212, which Shift-JIS cannot show.
  EXPECT_EQ(ToShiftJis(u"\u4E02\u0100\u02D8\u2116"), "");
  const std::u16string surrogates = {0xD83D, 0xDE00};
  EXPECT_EQ(ToShiftJis(surrogates), "");
}

TEST(ShiftJisConversion, StopsAtAZeroUnit) {
  EXPECT_EQ(ToShiftJis(std::u16string(u"a\0b", 3)), "a");
}

TEST(JisX0208Table, PublishedMappingWithBackslashAt2140) {
  EXPECT_EQ(JisX0208FromUnicode(u'\u005C'), 0x2140);
  EXPECT_EQ(JisX0208FromUnicode(u'\uFF3C'), 0);
  EXPECT_EQ(JisX0208FromUnicode(u'\u301C'), 0x2141);
  EXPECT_EQ(JisX0208FromUnicode(u'\u2016'), 0x2142);
  EXPECT_EQ(JisX0208FromUnicode(u'\u2212'), 0x215D);
  EXPECT_EQ(JisX0208FromUnicode(u'\u00AC'), 0x224C);
  EXPECT_EQ(JisX0208FromUnicode(u'\u3042'), 0x2422);
  EXPECT_EQ(JisX0208FromUnicode(u'\u4E00'), 0x306C);
}

TEST(JisX0208Table, CountsPagesAndCodes) {
  int entries = 0;
  std::set<int> pages;
  std::set<std::uint16_t> codes;
  for (char32_t code = 0; code <= 0xFFFF; ++code) {
    const std::uint16_t jis = JisX0208FromUnicode(static_cast<char16_t>(code));
    if (jis == 0) continue;
    ++entries;
    pages.insert(static_cast<int>(code >> 8));
    codes.insert(jis);
    ASSERT_GE(jis >> 8, 0x21);
    ASSERT_LE(jis >> 8, 0x74);
    ASSERT_GE(jis & 0xFF, 0x21);
    ASSERT_LE(jis & 0xFF, 0x7E);
    // Every mapped character (above U+00FF) gives a well-formed double-byte code.
    if (code >= 0x100) {
      const std::string sjis = ToShiftJis(std::u16string(1, static_cast<char16_t>(code)));
      ASSERT_EQ(sjis.size(), 2u);
      const auto lead = static_cast<unsigned char>(sjis[0]);
      const auto trail = static_cast<unsigned char>(sjis[1]);
      ASSERT_TRUE((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEA)) << lead;
      ASSERT_TRUE(trail >= 0x40 && trail <= 0xFC && trail != 0x7F) << trail;
    }
  }
  EXPECT_EQ(entries, 6879);
  EXPECT_EQ(codes.size(), 6879u);  // one character per code
  std::set<int> expected = {0x00, 0x03, 0x04, 0x20, 0x21, 0x22, 0x23, 0x25, 0x26, 0x30, 0xFF};
  for (int page = 0x4E; page <= 0x9F; ++page) expected.insert(page);
  EXPECT_EQ(pages, expected);
}

}  // namespace
}  // namespace tessel
