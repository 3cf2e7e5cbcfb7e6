// Opened faces and faceless fonts: metrics read at run time from DejaVu Sans
// Mono and VL Gothic, rendering limits, and what a font that cannot be opened
// still does (nothing, safely).
#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "text/Font.h"
#include "text/FontTestSupport.h"

namespace tessel {
namespace {

using test::FromSurface;
using test::LogOf;

class FontFaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    test::StartFontLibrary();
    mono_ = test::InstalledFont("DejaVu Sans Mono");
    gothic_ = test::InstalledFont("VL Gothic");
    ASSERT_FALSE(mono_.empty()) << "fonts-dejavu-core is not installed";
    ASSERT_FALSE(gothic_.empty()) << "fonts-vlgothic is not installed";
  }
  void TearDown() override { SDL_Quit(); }

  std::shared_ptr<FontData> Open(const std::string& path, int size) {
    std::string log;
    std::unique_ptr<Font> font;
    log = LogOf([&] { font = Font::Open(path, size); });
    EXPECT_EQ(log, "");
    return font->Data();
  }

  std::string mono_;
  std::string gothic_;
};

int OpenDescriptors() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

TEST_F(FontFaceTest, MonospacedMetricsAgreeWithTheRenderedWidth) {
  auto font = Open(mono_, 20);
  ASSERT_TRUE(font->HasFace());
  EXPECT_EQ(font->PointSize(), 20);
  EXPECT_GT(font->LineSkip(), 20);

  const std::optional<GlyphMetrics> m = font->Metrics(u'M');
  ASSERT_TRUE(m);
  EXPECT_GT(m->advance, 0);
  EXPECT_LT(m->min_x, m->max_x);
  EXPECT_LT(m->min_y, m->max_y);
  for (char16_t unit : std::u16string_view(u"il.W@~")) {
    ASSERT_TRUE(font->Metrics(unit));
    EXPECT_EQ(font->Metrics(unit)->advance, m->advance) << static_cast<int>(unit);
  }

  SurfacePtr text = font->RenderText(u"MMMMM");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->w, 5 * m->advance);
  EXPECT_GE(text->h, m->max_y - m->min_y);
  // The renderer's layout: 32 bits, alpha on top, then red, green, blue.
  EXPECT_EQ(text->format->BitsPerPixel, 32);
  EXPECT_EQ(text->format->Amask, 0xFF000000u);
  EXPECT_EQ(text->format->Rmask, 0x00FF0000u);
  EXPECT_EQ(text->format->Gmask, 0x0000FF00u);
  EXPECT_EQ(text->format->Bmask, 0x000000FFu);
}

TEST_F(FontFaceTest, JapaneseGlyphsAreFullWidthInVlGothic) {
  auto font = Open(gothic_, 32);
  const std::optional<GlyphMetrics> kana = font->Metrics(u'あ');
  const std::optional<GlyphMetrics> kanji = font->Metrics(u'漢');
  const std::optional<GlyphMetrics> latin = font->Metrics(u'a');
  ASSERT_TRUE(kana && kanji && latin);
  EXPECT_EQ(kana->advance, kanji->advance);
  EXPECT_NEAR(kana->advance, 2 * latin->advance, 1);
  EXPECT_NEAR(kana->advance, 32, 1);  // an em at 32 px

  SurfacePtr text = font->RenderText(u"漢字");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->w, 2 * kanji->advance);
  EXPECT_GT(FromSurface(text.get()).Ink(), 0);
}

TEST_F(FontFaceTest, ByteOrderMarksAreLeftOut) {
  auto font = Open(gothic_, 24);
  SurfacePtr plain = font->RenderText(u"AB漢");
  // After U+FFFE the renderer would swap the bytes of every later unit.
  SurfacePtr marked = font->RenderText(u"\uFEFFA\uFFFEB\uFEFF漢\uFFFE");
  ASSERT_TRUE(plain && marked);
  EXPECT_EQ(FromSurface(marked.get()).pixels, FromSurface(plain.get()).pixels);
  EXPECT_FALSE(font->RenderText(u"\uFEFF\uFFFE"));
  EXPECT_FALSE(font->RenderText(u""));
  // The text ends at its first 0 unit.
  SurfacePtr cut = font->RenderText(std::u16string_view(u"AB漢\0XYZ", 7));
  ASSERT_TRUE(cut);
  EXPECT_EQ(FromSurface(cut.get()).pixels, FromSurface(plain.get()).pixels);
}

TEST_F(FontFaceTest, TextLimits) {
  auto font = Open(mono_, 1);
  // 8192 units are drawn; one more is refused before the renderer's stack copy.
  const std::u16string longest(FontData::kMaxTextUnits, u'i');
  SurfacePtr drawn = font->RenderText(longest);
  ASSERT_TRUE(drawn);
  std::string log = LogOf([&] { EXPECT_FALSE(font->RenderText(longest + u"i")); });
  EXPECT_NE(log.find("8193"), std::string::npos) << log;

  // Without a window the width is held to 16384 pixels.
  auto big = Open(mono_, 200);
  const int advance = big->Metrics(u'W')->advance;
  const std::u16string wide(static_cast<std::size_t>(16384 / advance + 1), u'W');
  log = LogOf([&] { EXPECT_FALSE(big->RenderText(wide)); });
  EXPECT_NE(log.find("wider than the largest texture"), std::string::npos) << log;
}

TEST_F(FontFaceTest, PointSizesAreClampedToOneThroughAThousand) {
  struct Case {
    int given;
    int used;
  };
  for (const Case& c : {Case{0, 1}, Case{-12, 1}, Case{5000, 1000}, Case{1, 1}, Case{1000, 1000}}) {
    std::unique_ptr<Font> font;
    const std::string log = LogOf([&] { font = Font::Open(mono_, c.given); });
    EXPECT_EQ(font->Data()->PointSize(), c.used);
    EXPECT_TRUE(font->Data()->HasFace());
    EXPECT_EQ(log.find("outside") != std::string::npos, c.given != c.used) << log;
  }
  // The largest size still renders a glyph.
  std::unique_ptr<Font> huge = Font::Open(gothic_, 1000);
  EXPECT_TRUE(huge->Data()->RenderText(u"漢"));
}

TEST_F(FontFaceTest, FacelessFontsDoNothing) {
  test::TempDir dir;
  const std::string not_a_font = dir.Write("broken.ttf", std::string(4096, 'x')).string();
  const std::string empty_file = dir.Write("empty.ttf", "").string();

  for (const std::string& name : {std::string(), not_a_font, empty_file}) {
    std::unique_ptr<Font> font;
    const std::string log = LogOf([&] { font = Font::Open(name, 16); });
    EXPECT_NE(log.find("\"" + name + "\""), std::string::npos) << log;
    const auto& data = font->Data();
    EXPECT_FALSE(data->HasFace());
    EXPECT_FALSE(data->Metrics(u'A'));
    EXPECT_EQ(data->LineSkip(), 0);
    EXPECT_FALSE(data->RenderText(u"text"));
    data->SetColor(1, 2, 3);
    data->SetStyle(TTF_STYLE_BOLD);
    EXPECT_EQ(data->Color().r, 1);
    EXPECT_EQ(data->Style(), TTF_STYLE_BOLD);
  }
}

TEST_F(FontFaceTest, FailedOpensCloseTheirFiles) {
  test::TempDir dir;
  const std::string not_a_font = dir.Write("broken.ttf", std::string(4096, 'x')).string();
  const int before = OpenDescriptors();
  for (int i = 0; i < 20; ++i) {
    LogOf([&] { Font::Open(not_a_font, 16); });
  }
  EXPECT_EQ(OpenDescriptors(), before);

  // An opened face keeps its file until its last holder lets go.
  std::shared_ptr<FontData> kept = Font::Open(mono_, 16)->Data();
  EXPECT_EQ(OpenDescriptors(), before + 1);
  EXPECT_TRUE(kept->RenderText(u"still here"));
  kept.reset();
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST_F(FontFaceTest, StyleIsKeptToTheKnownBits) {
  auto font = Open(mono_, 16);
  font->SetStyle(-1);
  EXPECT_EQ(font->Style(), TTF_STYLE_BOLD | TTF_STYLE_ITALIC | TTF_STYLE_UNDERLINE |
                               TTF_STYLE_STRIKETHROUGH);
  EXPECT_TRUE(font->RenderText(u"every style at once"));
  font->SetStyle(0);
  EXPECT_EQ(font->Style(), 0);
}

}  // namespace
}  // namespace tessel
