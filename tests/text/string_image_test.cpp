// The font commands from scripts: colour (with its red/blue exchange) and
// style in string images and in the surfaces the scenario layer draws,
// UTF-8 against UTF-16, the shared face outliving its handle, and every bad
// argument a script can pass.
#include <SDL.h>
#include <SDL_opengl.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <string>

#include "app/Window.h"
#include "graphics/TexImage.h"
#include "script/EngineObject.h"
#include "text/Font.h"
#include "text/FontTestSupport.h"

namespace tessel {
namespace {

using test::FromSurface;
using test::FromTexture;
using test::GlobalHandle;
using test::LogOf;
using test::Picture;
using test::Rgba;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

Font* GlobalFont(const std::string& global) { return Registry().Find<Font>(GlobalHandle(global)); }
TexImage* GlobalImage(const std::string& global) {
  return Registry().Find<TexImage>(GlobalHandle(global));
}

// A real window, so string images become textures that can be read back.
class StringImageTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (HasFatalFailure()) return;
    test::StartFontLibrary();
    mono_ = test::InstalledFont("DejaVu Sans Mono");
    gothic_ = test::InstalledFont("VL Gothic");
    ASSERT_FALSE(mono_.empty() || gothic_.empty()) << "the test fonts are not installed";
    LogOf([] { InitWindow(64, 64); });
  }

  Picture Image(const std::string& global) {
    TexImage* image = GlobalImage(global);
    EXPECT_NE(image, nullptr) << global;
    return image != nullptr ? FromTexture(image->GetTexture()) : Picture{};
  }

  std::string mono_;
  std::string gothic_;
};

TEST_F(StringImageTest, ColourArgumentsReachTheRendererBlueFirst) {
  Run("font = CreateNewFont(" + Quoted(mono_) + ", 24)\n"
      "ChgFontColor(font, 255, 0, 0)\n"
      "blue = CreateStringImage(font, 'Hello')\n"
      "ChgFontColor(font, 10, 20, 30)\n"
      "mixed = CreateStringImage(font, 'Hello')\n"
      "ChgFontColor(font, 256 + 40, -1, 511)\n"
      "wrapped = CreateStringImage(font, 'Hello')\n");

  // String images: red c3, green c2, blue c1.
  EXPECT_EQ(Image("blue").OpaqueColours(), (std::vector<Rgba>{{0, 0, 255, 255}}));
  EXPECT_EQ(Image("mixed").OpaqueColours(), (std::vector<Rgba>{{30, 20, 10, 255}}));
  // Only the low 8 bits count.
  EXPECT_EQ(Image("wrapped").OpaqueColours(), (std::vector<Rgba>{{255, 255, 40, 255}}));

  // The scenario layer uploads the renderer's bytes unchanged, as R, G, B, A:
  // in memory they are blue, green, red, alpha, so its text shows red c1.
  Run("ChgFontColor(font, 255, 0, 0)");
  SurfacePtr glyphs = GlobalFont("font")->Data()->RenderText(u"Hello");
  ASSERT_TRUE(glyphs);
  const SDL_Color colour = GlobalFont("font")->Data()->Color();
  EXPECT_EQ(colour.r, 0);
  EXPECT_EQ(colour.b, 255);
  bool found_opaque = false;
  const auto* bytes = static_cast<const Uint8*>(glyphs->pixels);
  for (int i = 0; i < glyphs->w * glyphs->h && !found_opaque; ++i) {
    const Uint8* pixel = bytes + (i / glyphs->w) * glyphs->pitch + (i % glyphs->w) * 4;
    if (pixel[3] != 255) continue;
    found_opaque = true;
    EXPECT_EQ((Rgba{pixel[0], pixel[1], pixel[2], pixel[3]}), (Rgba{255, 0, 0, 255}));
  }
  EXPECT_TRUE(found_opaque);
}

TEST_F(StringImageTest, BoldItalicInStringImagesAndInTheSharedFace) {
  Run("font = CreateNewFont(" + Quoted(mono_) + ", 40)\n"
      "normal = CreateStringImage(font, 'I')\n"
      "ChgFontStyle(font, 1)\n"
      "bold = CreateStringImage(font, 'I')\n"
      "ChgFontStyle(font, 3)\n"
      "bold_italic = CreateStringImage(font, 'I')\n");
  const Picture normal = Image("normal");
  const Picture bold = Image("bold");
  const Picture bold_italic = Image("bold_italic");
  ASSERT_GT(normal.Ink(), 0);
  EXPECT_GT(bold.Ink(), normal.Ink() * 5 / 4);

  // Italic leans right: the ink of the top rows sits right of the bottom rows'.
  const int h = bold_italic.height;
  EXPECT_GT(bold_italic.InkCentre(0, h / 3), bold_italic.InkCentre(2 * h / 3, h) + 2);
  EXPECT_NEAR(normal.InkCentre(0, h / 3), normal.InkCentre(2 * h / 3, h), 1);

  // Scenario layers draw with the same face: the style is theirs too.
  const auto& data = GlobalFont("font")->Data();
  EXPECT_EQ(data->Style(), TTF_STYLE_BOLD | TTF_STYLE_ITALIC);
  SurfacePtr glyph = data->RenderText(u"I");
  ASSERT_TRUE(glyph);
  EXPECT_EQ(FromSurface(glyph.get()).pixels, bold_italic.pixels);
}

TEST_F(StringImageTest, Utf8TextGivesTheImageOfItsUtf16Form) {
  // One-, two- and three-byte sequences: A, é, ß, あ, 漢, ｱ (half-width).
  Run("font = CreateNewFont(" + Quoted(gothic_) + ", 32)\n"
      "ChgFontColor(font, 40, 160, 250)\n"
      "image = CreateStringImage(font, 'Aéßあ漢ｱ')\n"
      "w, h = GetTexImageInf(image)\n");
  SurfacePtr expected = GlobalFont("font")->Data()->RenderText(u"Aéßあ漢ｱ");
  ASSERT_TRUE(expected);
  EXPECT_EQ(Number("w"), expected->w);
  EXPECT_EQ(Number("h"), expected->h);
  const Picture image = Image("image");
  EXPECT_EQ(image.pixels, FromSurface(expected.get()).pixels);
  EXPECT_EQ(image.OpaqueColours(), (std::vector<Rgba>{{250, 160, 40, 255}}));
}

TEST_F(StringImageTest, TextWiderThanTheLargestTextureGivesAnEmptyImage) {
  GLint max_size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
  ASSERT_GT(max_size, 0);
  Run("font = CreateNewFont(" + Quoted(mono_) + ", 100)");
  const int advance = GlobalFont("font")->Data()->Metrics(u'W')->advance;
  const int count = max_size / advance + 1;
  const std::string log = LogOf([&] {
    Run("image = CreateStringImage(font, string.rep('W', " + std::to_string(count) + "))\n"
        "w, h = GetTexImageInf(image)\n");
  });
  EXPECT_NE(log.find("wider than the largest texture (" + std::to_string(max_size) + ")"),
            std::string::npos)
      << log;
  EXPECT_EQ(Number("w"), 0);
  EXPECT_EQ(Number("h"), 0);
}

TEST_F(StringImageTest, FaceOutlivesItsReleasedHandle) {
  Run("font = CreateNewFont(" + Quoted(gothic_) + ", 24)");
  std::shared_ptr<FontData> holder = GlobalFont("font")->Data();  // as a scenario layer would
  Run("ReleaseNewFont(font)");
  EXPECT_EQ(GlobalFont("font"), nullptr);
  EXPECT_TRUE(holder->HasFace());
  SurfacePtr text = holder->RenderText(u"まだ読める");
  ASSERT_TRUE(text);
  EXPECT_GT(FromSurface(text.get()).Ink(), 0);
}

// Bad arguments need no window: nothing is drawn.
class FontCommandArguments : public test::SdlScriptTest {
 protected:
  void SetUp() override {
    SdlScriptTest::SetUp();
    test::StartFontLibrary();
    mono_ = test::InstalledFont("DejaVu Sans Mono");
    ASSERT_FALSE(mono_.empty());
    LogOf([&] {
      Run("font = CreateNewFont(" + Quoted(mono_) + ", 16)\n"
          "released = CreateNewFont(" + Quoted(mono_) + ", 16)\n"
          "ReleaseNewFont(released)\n"
          "image = LoadTexImage(4, 4)\n");
    });
  }
  std::string mono_;
};

TEST_F(FontCommandArguments, BadFontHandlesAreReportedAndAnsweredWithNil) {
  for (const char* bad : {"released", "image", "nil", "12", "'font'", "{}"}) {
    const std::string b = bad;
    ::testing::internal::CaptureStderr();
    Run("r1 = CreateStringImage(" + b + ", 'text')\n"
        "ChgFontColor(" + b + ", 1, 2, 3)\n"
        "ChgFontStyle(" + b + ", 3)\n"
        "ReleaseNewFont(" + b + ")\n");
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(IsNil("r1")) << bad;
    for (const char* command :
         {"CreateStringImage", "ChgFontColor", "ChgFontStyle", "ReleaseNewFont"}) {
      EXPECT_NE(log.find(std::string(command) + ": argument 1 is not a live font"),
                std::string::npos)
          << bad << "\n" << log;
    }
  }
  // Nothing reached the live font.
  const auto& data = GlobalFont("font")->Data();
  EXPECT_EQ(data->Style(), 0);
  EXPECT_EQ(data->Color().r, 255);
  EXPECT_EQ(data->Color().g, 255);
  EXPECT_EQ(data->Color().b, 255);
  EXPECT_NE(GlobalImage("image"), nullptr);  // a texture image is not a font to release
}

TEST_F(FontCommandArguments, TextThatIsNotAStringGivesAnEmptyImage) {
  const std::size_t objects = Registry().Count();
  for (const char* text : {"", ", nil", ", 42", ", {}", ", font", ", ''", ", '\\239\\187\\191'"}) {
    LogOf([&] {
      Run("image = CreateStringImage(font" + std::string(text) + ")\n"
          "w, h = GetTexImageInf(image)\n");
    });
    EXPECT_NE(GlobalImage("image"), nullptr) << text;
    EXPECT_EQ(Number("w"), 0) << text;
    EXPECT_EQ(Number("h"), 0) << text;
  }
  EXPECT_EQ(Registry().Count(), objects + 7);
}

TEST_F(FontCommandArguments, TextLongerThan8192UnitsGivesAnEmptyImage) {
  const std::string log = LogOf([&] {
    Run("image = CreateStringImage(font, string.rep('\\227\\129\\130', 8193))\n"
        "w, h = GetTexImageInf(image)\n");
  });
  EXPECT_NE(log.find("8193 characters"), std::string::npos) << log;
  EXPECT_EQ(Number("w"), 0);
}

TEST_F(FontCommandArguments, MissingFontsAreFacelessButLive) {
  std::string log = LogOf([&] {
    Run("nameless = CreateNewFont()\n"
        "image = CreateStringImage(nameless, 'text')\n"
        "w, h = GetTexImageInf(image)\n"
        "ChgFontColor(nameless, 1, 2, 3)\n"
        "ChgFontStyle(nameless, 2)\n");
  });
  ASSERT_NE(GlobalFont("nameless"), nullptr);
  EXPECT_FALSE(GlobalFont("nameless")->Data()->HasFace());
  EXPECT_NE(log.find("Font \"\" was not found"), std::string::npos) << log;
  EXPECT_EQ(Number("w"), 0);
  EXPECT_EQ(GlobalFont("nameless")->Data()->Style(), 2);

  // Any other name that no step finds is drawn in a Japanese substitute.
  log = LogOf([&] { Run("other = CreateNewFont('no-such-font.ttf', 16)"); });
  EXPECT_NE(log.find("Font \"no-such-font.ttf\" was not found; substituting"), std::string::npos)
      << log;
  EXPECT_TRUE(GlobalFont("other")->Data()->HasFace());

  log = LogOf([&] { Run("windows = CreateNewFont('C:\\\\Windows\\\\Fonts\\\\msgothic.ttc', 16)"); });
  EXPECT_NE(log.find("IPAGothic"), std::string::npos) << log;
  EXPECT_TRUE(GlobalFont("windows")->Data()->HasFace());

  log = LogOf([&] { Run("ReleaseNewFont(nameless)"); });
  EXPECT_EQ(GlobalFont("nameless"), nullptr);
}

}  // namespace
}  // namespace tessel
