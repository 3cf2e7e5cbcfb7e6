// Scenario files whose bytes the engine would misread: no byte-order mark,
// bytes that are no UTF-8, broken UTF-16.
#include "CheckTestSupport.h"

namespace tessel::test {
namespace {

using ::testing::ElementsAre;

std::string Utf16Bytes(const std::u16string& text, bool big_endian) {
  std::string bytes;
  for (char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  }
  return bytes;
}

TEST_F(CheckTest, FilesWithAByteOrderMarkAreClean) {
  TestGame game;
  game.Scenario("main.tsl", u"@be.tsl\n@utf8.tsl\n");
  game.File("be.tsl", "\xFE\xFF" + Utf16Bytes(u"\u3042\u3044\n\U0001F600\n", true));
  game.File("utf8.tsl", Utf8WithMark("{ x = '\xE3\x81\x82' }\nText.\n"));
  ProcessResult result = Check(game);
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(result.out, "0 errors, 0 warnings\n");
}

TEST_F(CheckTest, EncodingProblemsAreReportedWithTheirLine) {
  std::u16string lone = u"ok\nok\n";
  lone += static_cast<char16_t>(0xD800);
  lone += u"x\n";
  std::u16string zero = u"one\n";
  zero += char16_t(0);
  zero += u"lost\n";

  TestGame game;
  game.Scenario(
      "main.tsl",
      u"@plain.tsl\n@le.tsl\n@swapped.tsl\n@surrogate.tsl\n@bad-utf8.tsl\n@sjis.tsl\n@zero.tsl\n"
      u"@wide.tsl\n");
  game.File("plain.tsl", "Plain ASCII, no mark.\n");
  game.File("le.tsl", Utf16Bytes(u"No mark.\n", false));
  game.File("swapped.tsl", Utf16Bytes(u"\u3042 starts the file.\n", true));
  game.Scenario("surrogate.tsl", lone);
  game.File("bad-utf8.tsl", Utf8WithMark("ok\n\xFF\n"));
  game.File("sjis.tsl", "ok\n\x82\xA0\n");
  game.Scenario("zero.tsl", zero);
  game.File("wide.tsl", Utf8WithMark("a\nb \xF0\x9F\x98\x80\n"));
  ProcessResult result = Check(game);
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(Findings(result.out),
              ElementsAre(Finding("game/plain.tsl:1: warning:", "no byte-order mark"),
                          Finding("game/le.tsl:1: warning:", "UTF-16 without a byte-order mark"),
                          Finding("game/swapped.tsl:1: error:", "read it with its bytes swapped"),
                          Finding("game/surrogate.tsl:3: error:", "unpaired surrogate U+D800"),
                          Finding("game/bad-utf8.tsl:2: error:", "byte 0xFF is not UTF-8"),
                          Finding("game/sjis.tsl:2: error:", "neither UTF-16 nor UTF-8"),
                          Finding("game/zero.tsl:2: error:", "the engine reads nothing after it"),
                          Finding("game/wide.tsl:2: warning:", "U+1F600 is beyond U+FFFF")));
}

}  // namespace
}  // namespace tessel::test
