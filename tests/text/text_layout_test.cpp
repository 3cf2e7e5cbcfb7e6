// Where characters go, as a pure function of glyph metrics and the pen: line
// breaking at the exact edge, the characters that never start a line, the
// bottom limit and ruby placement. Metrics come from installed fonts at run
// time.
#include <gtest/gtest.h>

#include "text/StoryTest.h"
#include "text/TextLayout.h"

namespace tessel {
namespace {

class Layout : public ::testing::Test {
 protected:
  void SetUp() override {
    latin_ = test::OpenTestFont(test::kLatinFont, 20);
    japanese_ = test::OpenTestFont(test::kJapaneseFont, 32);
    ruby_ = test::OpenTestFont(test::kJapaneseFont, 12);
    ASSERT_TRUE(latin_ && japanese_ && ruby_);
  }

  TextBox Box(int width, int height) const {
    return TextBox{width, height, latin_->LineSkip(), ruby_->LineSkip()};
  }

  std::shared_ptr<FontData> latin_;
  std::shared_ptr<FontData> japanese_;
  std::shared_ptr<FontData> ruby_;
};

TEST_F(Layout, AGlyphEndingExactlyAtTheEdgeStaysAndOnePixelMoreBreaks) {
  const GlyphMetrics a = test::MetricsOf(*latin_, u'A');
  const Pen pen{3 * a.advance, 12};
  const int edge = pen.x + a.max_x;

  const CharacterPlacement fits = PlaceCharacter(u'A', a, std::nullopt, pen, Box(edge, 200));
  EXPECT_TRUE(fits.drawn);
  EXPECT_EQ(fits.glyph_x, pen.x);
  EXPECT_EQ(fits.glyph_y, pen.y);
  EXPECT_EQ(fits.pen, (Pen{pen.x + a.advance, pen.y}));

  const TextBox narrower = Box(edge - 1, 200);
  const CharacterPlacement breaks = PlaceCharacter(u'A', a, std::nullopt, pen, narrower);
  EXPECT_TRUE(breaks.drawn);
  EXPECT_EQ(breaks.glyph_x, 0);
  EXPECT_EQ(breaks.glyph_y, pen.y + narrower.LinePitch());
  EXPECT_EQ(breaks.pen, (Pen{a.advance, pen.y + narrower.LinePitch()}));
}

TEST_F(Layout, ExactlySixteenCharactersNeverStartALine) {
  const std::u16string no_break =
      u"!,.:;?\u3001\u3002\uFF01\uFF1A\uFF1B\uFF1F\uFF61\uFF63\uFF64\uFF65";
  for (char16_t ch : no_break) EXPECT_TRUE(IsNoBreakStart(ch)) << int(ch);
  int count = 0;
  for (int ch = 0; ch <= 0xFFFF; ++ch) count += IsNoBreakStart(static_cast<char16_t>(ch));
  EXPECT_EQ(count, 16);
  // Not even closing brackets are held back.
  for (char16_t ch : std::u16string(u")]}\u300D\u3009\uFF09")) EXPECT_FALSE(IsNoBreakStart(ch));
}

TEST_F(Layout, AFullStopPastTheEdgeStaysOnItsLineAndTheNextCharacterBreaks) {
  const GlyphMetrics stop = test::MetricsOf(*latin_, u'.');
  const GlyphMetrics a = test::MetricsOf(*latin_, u'A');
  const TextBox box = Box(5 * a.advance, 200);
  const Pen at_edge{5 * a.advance, 12};

  const CharacterPlacement kept = PlaceCharacter(u'.', stop, std::nullopt, at_edge, box);
  EXPECT_TRUE(kept.drawn);
  EXPECT_EQ(kept.glyph_x, at_edge.x);
  EXPECT_EQ(kept.pen, (Pen{at_edge.x + stop.advance, 12}));

  const CharacterPlacement next = PlaceCharacter(u'A', a, std::nullopt, kept.pen, box);
  EXPECT_EQ(next.glyph_x, 0);
  EXPECT_EQ(next.glyph_y, 12 + box.LinePitch());

  // The Japanese full stop behaves the same.
  const GlyphMetrics maru = test::MetricsOf(*japanese_, u'\u3002');
  EXPECT_EQ(PlaceCharacter(u'\u3002', maru, std::nullopt, at_edge, box).glyph_x, at_edge.x);
}

TEST_F(Layout, AGlyphCrossingTheBottomIsNotDrawnAndTheCursorKeepsOnlyTheBreak) {
  const GlyphMetrics kan = test::MetricsOf(*japanese_, u'\u6F22');  // 漢
  const int glyph_height = kan.max_y - kan.min_y;
  const Pen pen{40, 30};

  EXPECT_TRUE(PlaceCharacter(u'\u6F22', kan, std::nullopt, pen, Box(400, 30 + glyph_height)).drawn);

  const CharacterPlacement dropped =
      PlaceCharacter(u'\u6F22', kan, std::nullopt, pen, Box(400, 30 + glyph_height - 1));
  EXPECT_FALSE(dropped.drawn);
  EXPECT_EQ(dropped.pen, pen);  // not advanced

  // A break happens before the bottom test, so its new line stays.
  const TextBox narrow = Box(41, 30 + glyph_height + 5);
  const CharacterPlacement broken = PlaceCharacter(u'\u6F22', kan, std::nullopt, pen, narrow);
  EXPECT_FALSE(broken.drawn);
  EXPECT_EQ(broken.pen, (Pen{0, 30 + narrow.LinePitch()}));
}

TEST_F(Layout, RubyOffsetRoundsHalfUpThenTruncatesTowardZero) {
  EXPECT_EQ(RubyOffset(10, 10), 0);
  EXPECT_EQ(RubyOffset(11, 10), 1);  // 0.5 + 0.5
  EXPECT_EQ(RubyOffset(14, 10), 2);
  EXPECT_EQ(RubyOffset(10, 15), -2);  // -2.5 + 0.5
  EXPECT_EQ(RubyOffset(10, 16), -2);  // -3 + 0.5 = -2.5, toward zero
  EXPECT_EQ(RubyOffset(10, 17), -3);
}

TEST_F(Layout, ANarrowerRubyIsCentredInTheBandAboveItsGlyph) {
  const GlyphMetrics kan = test::MetricsOf(*japanese_, u'\u6F22');
  SurfacePtr ruby = ruby_->RenderText(u"\u304B");  // か
  ASSERT_TRUE(ruby);
  const int glyph_width = kan.max_x - kan.min_x;
  ASSERT_LT(ruby->w, glyph_width);
  const Pen pen{50, 20};
  const TextBox box = Box(400, 400);

  const CharacterPlacement placed = PlaceCharacter(u'\u6F22', kan, ruby->w, pen, box);
  ASSERT_TRUE(placed.drawn && placed.has_ruby);
  EXPECT_EQ(placed.glyph_x, 50);
  EXPECT_EQ(placed.ruby_x, 50 + RubyOffset(glyph_width, ruby->w));
  EXPECT_EQ(placed.ruby_y, 20 - ruby_->LineSkip());
  EXPECT_EQ(placed.pen, (Pen{50 + kan.advance, 20}));
}

TEST_F(Layout, AWiderRubyShiftsTheGlyphAndStartsAtTheOldCursor) {
  const GlyphMetrics kan = test::MetricsOf(*japanese_, u'\u6F22');
  SurfacePtr ruby = ruby_->RenderText(u"\u304B\u3093\u3058\u306E");  // かんじの
  ASSERT_TRUE(ruby);
  const int glyph_width = kan.max_x - kan.min_x;
  ASSERT_GT(ruby->w, glyph_width);
  const int shift = -RubyOffset(glyph_width, ruby->w);
  const Pen pen{50, 20};

  const CharacterPlacement placed = PlaceCharacter(u'\u6F22', kan, ruby->w, pen, Box(400, 400));
  EXPECT_EQ(placed.glyph_x, 50 + shift);
  EXPECT_EQ(placed.ruby_x, 50);  // the shifted glyph's centre minus half the ruby
  EXPECT_EQ(placed.pen.x, 50 + shift + kan.advance + shift);
}

TEST_F(Layout, AWiderRubyCountsItsRightOverhangAndKeepsItsShiftOnTheNewLine) {
  const GlyphMetrics kan = test::MetricsOf(*japanese_, u'\u6F22');
  const int glyph_width = kan.max_x - kan.min_x;
  const int ruby_width = glyph_width + 20;
  const int shift = -RubyOffset(glyph_width, ruby_width);
  const Pen pen{30, 20};
  // Right edge of the glyph plus the overhang: 30 + shift + max_x + shift.
  const int edge = 30 + shift + kan.max_x + shift;

  EXPECT_EQ(PlaceCharacter(u'\u6F22', kan, ruby_width, pen, Box(edge, 400)).glyph_x, 30 + shift);
  const TextBox narrow = Box(edge - 1, 400);
  const CharacterPlacement broken = PlaceCharacter(u'\u6F22', kan, ruby_width, pen, narrow);
  EXPECT_EQ(broken.glyph_x, shift);
  EXPECT_EQ(broken.glyph_y, 20 + narrow.LinePitch());
  EXPECT_EQ(broken.ruby_x, 0);
}

TEST_F(Layout, HugePensAndWidthsStayInRange) {
  const GlyphMetrics stop = test::MetricsOf(*latin_, u'.');
  Pen pen{0, 0};
  const TextBox box = Box(10, 1 << 30);
  for (int i = 0; i < 100; ++i) pen = PlaceCharacter(u'.', stop, 1 << 30, pen, box).pen;
  EXPECT_GE(pen.x, 0);
  for (int i = 0; i < 100; ++i) pen = NextLine(pen, TextBox{10, 10, 1 << 29, 1 << 29});
  EXPECT_GT(pen.y, 0);
}

}  // namespace
}  // namespace tessel
