#include "text/Font.h"

#include <SDL_opengl.h>
#include <SDL_ttf.h>

#include <algorithm>

#include "core/DebugLog.h"
#include "core/PlayMonitor.h"
#include "graphics/Texture.h"
#include "text/FontLookup.h"

namespace tessel {
namespace {

// Without a window there is no texture size to go by; this is what common
// drivers allow, and it keeps a long text at a large size from asking for
// gigabytes of surface.
constexpr int kMaxWidthWithoutWindow = 16384;

int MaxTextWidth() {
  if (!HasGlContext()) return kMaxWidthWithoutWindow;
  GLint size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
  return size > 0 ? static_cast<int>(size) : kMaxWidthWithoutWindow;
}

// The text up to its first 0 unit, without byte-order marks: the renderer
// reads U+FEFF and U+FFFE as byte-order switches, and after U+FFFE it would
// swap the bytes of every following unit.
std::u16string RenderableUnits(std::u16string_view text) {
  std::u16string units;
  units.reserve(text.size());
  for (char16_t unit : text) {
    if (unit == 0) break;
    if (unit == UNICODE_BOM_NATIVE || unit == UNICODE_BOM_SWAPPED) continue;
    units.push_back(unit);
  }
  return units;
}

const Uint16* AsTtfText(const std::u16string& units) {
  static_assert(sizeof(char16_t) == sizeof(Uint16));
  return reinterpret_cast<const Uint16*>(units.c_str());
}

class TtfFontData final : public FontData {
 public:
  // Faceless.
  explicit TtfFontData(int point_size) : point_size_(point_size) {}
  // Takes both; the stream stays open for the life of the face, which reads
  // the file as it needs glyphs.
  TtfFontData(TTF_Font* face, SDL_RWops* stream, int point_size)
      : face_(face), stream_(stream), point_size_(point_size) {
    TTF_SetFontStyle(face_, style_);
  }
  TtfFontData(const TtfFontData&) = delete;
  TtfFontData& operator=(const TtfFontData&) = delete;

  ~TtfFontData() override {
    // TTF_Quit frees every face together with the library; closing one
    // afterwards would free it a second time.
    if (face_ != nullptr && TTF_WasInit() != 0) TTF_CloseFont(face_);
    if (stream_ != nullptr) SDL_RWclose(stream_);
  }

  bool HasFace() const override { return face_ != nullptr; }

  void SetColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) override {
    color_ = SDL_Color{red, green, blue, 0};
  }
  SDL_Color Color() const override { return color_; }

  void SetStyle(int style) override {
    style_ = style & kKnownStyles;
    if (face_ != nullptr) TTF_SetFontStyle(face_, style_);
  }
  int Style() const override { return style_; }
  int PointSize() const override { return point_size_; }

  std::optional<GlyphMetrics> Metrics(char16_t unit) const override {
    if (face_ == nullptr) return std::nullopt;
    GlyphMetrics metrics;  // zeroed: the library leaves them untouched when it fails
    if (TTF_GlyphMetrics(face_, unit, &metrics.min_x, &metrics.max_x, &metrics.min_y,
                         &metrics.max_y, &metrics.advance) != 0) {
      return std::nullopt;
    }
    return metrics;
  }

  int LineSkip() const override { return face_ != nullptr ? TTF_FontLineSkip(face_) : 0; }

  SurfacePtr RenderText(std::u16string_view text) const override {
    if (face_ == nullptr) return nullptr;
    const std::u16string units = RenderableUnits(text);
    if (units.empty()) return nullptr;
    // The library converts the text on the stack, six bytes per unit.
    if (units.size() > kMaxTextUnits) {
      DebugLog::Print("Font: a text of %zu characters is longer than the %zu one image can hold; "
                      "it is not drawn.\n",
                      units.size(), kMaxTextUnits);
      return nullptr;
    }
    int width = 0;
    int height = 0;
    if (TTF_SizeUNICODE(face_, AsTtfText(units), &width, &height) != 0) return nullptr;
    const int max_width = MaxTextWidth();
    if (width > max_width) {
      DebugLog::Print("Font: a text %d pixels wide is wider than the largest texture (%d); it is "
                      "not drawn.\n",
                      width, max_width);
      return nullptr;
    }
    return SurfacePtr(TTF_RenderUNICODE_Blended(face_, AsTtfText(units), color_));
  }

 private:
  static constexpr int kKnownStyles =
      TTF_STYLE_BOLD | TTF_STYLE_ITALIC | TTF_STYLE_UNDERLINE | TTF_STYLE_STRIKETHROUGH;

  TTF_Font* face_ = nullptr;
  SDL_RWops* stream_ = nullptr;
  SDL_Color color_{255, 255, 255, 0};
  int point_size_ = 0;
  int style_ = TTF_STYLE_NORMAL;
};

std::unique_ptr<Font> Faceless(int point_size) {
  return std::make_unique<Font>(std::make_shared<TtfFontData>(point_size));
}

}  // namespace

std::unique_ptr<Font> Font::Open(const std::string& file_name, int point_size) {
  std::unique_ptr<Font> font = OpenFace(file_name, point_size);
  font->Data()->SetOpenedAs(file_name, point_size);
  return font;
}

std::unique_ptr<Font> Font::OpenFace(const std::string& file_name, int point_size) {
  const int size = std::clamp(point_size, kMinPointSize, kMaxPointSize);
  if (size != point_size) {
    DebugLog::Print("Font \"%s\": point size %d is outside %d..%d; %d is used.\n",
                    file_name.c_str(), point_size, kMinPointSize, kMaxPointSize, size);
  }

  const std::optional<FontFile> file = FindFontFile(file_name);
  if (!file) {
    DebugLog::Print("Font \"%s\" was not found; text in it is not drawn.\n", file_name.c_str());
    NoteProblem(ProblemKind::kMissingFile, "font '" + file_name + "' does not exist");
    return Faceless(size);
  }
  if (file->source == FontFile::Source::kAlias) {
    DebugLog::Print("Font \"%s\": %s (%s) stands in for it.\n", file_name.c_str(),
                    file->family.c_str(), file->path.c_str());
  } else if (file->source == FontFile::Source::kSubstitute) {
    DebugLog::Print("Font \"%s\" was not found; substituting %s (%s).\n", file_name.c_str(),
                    file->family.c_str(), file->path.c_str());
    // The text is drawn, but in a font a player's machine may not have.
    NoteProblem(ProblemKind::kMissingFile, "font '" + file_name + "' was not found; " +
                                               file->family + " stands in for it");
  }
  if (TTF_WasInit() == 0) {
    DebugLog::Print("Font \"%s\": the font library is not initialised; text in it is not drawn.\n",
                    file_name.c_str());
    return Faceless(size);
  }

  SDL_RWops* stream = SDL_RWFromFile(file->path.c_str(), "rb");
  if (stream == nullptr) {
    DebugLog::Print("Font \"%s\" (%s) cannot be opened: %s; text in it is not drawn.\n",
                    file_name.c_str(), file->path.c_str(), SDL_GetError());
    NoteProblem(ProblemKind::kBadFile, "font '" + file_name + "' cannot be opened");
    return Faceless(size);
  }
  // freesrc 0: the stream stays ours whether or not a face comes back.
  TTF_Font* face = TTF_OpenFontIndexRW(stream, 0, size, file->index);
  if (face == nullptr) {
    DebugLog::Print("Font \"%s\" (%s) is not a font the library can read: %s; text in it is not "
                    "drawn.\n",
                    file_name.c_str(), file->path.c_str(), TTF_GetError());
    NoteProblem(ProblemKind::kBadFile, "font '" + file_name + "' is not a readable font");
    SDL_RWclose(stream);
    return Faceless(size);
  }
  return std::make_unique<Font>(std::make_shared<TtfFontData>(face, stream, size));
}

}  // namespace tessel
