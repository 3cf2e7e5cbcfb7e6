#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "graphics/Surface.h"
#include "script/EngineObject.h"

namespace tessel {

struct GlyphMetrics {
  int min_x = 0;
  int max_x = 0;
  int min_y = 0;
  int max_y = 0;
  int advance = 0;
};

// An opened TrueType face at one point size, with its render colour and style.
// Shared: the script's Font object holds it, and so does every scenario layer
// or choice button that draws with it, so ReleaseNewFont never frees a face in
// use. A face that could not be opened is "faceless": every use does nothing
// (no glyphs, line skip 0, no surfaces).
class FontData {
 public:
  // Longest text RenderText draws (the renderer converts it on the stack).
  static constexpr std::size_t kMaxTextUnits = 8192;

  virtual ~FontData() = default;

  virtual bool HasFace() const = 0;
  // The colour exactly as the renderer receives it: the red, green and blue
  // of RenderText's surfaces. (ChgFontColor passes its arguments in reverse
  // order; see bind_font.cpp.)
  virtual void SetColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) = 0;
  virtual SDL_Color Color() const = 0;
  // 1 bold, 2 italic, 4 underline, 0 normal.
  virtual void SetStyle(int style) = 0;
  virtual int Style() const = 0;
  virtual int PointSize() const = 0;

  // Nothing when the face lacks the glyph's metrics (or is faceless).
  virtual std::optional<GlyphMetrics> Metrics(char16_t unit) const = 0;
  virtual int LineSkip() const = 0;
  // The text in the font's colour, anti-aliased: a 32-bit surface, alpha in
  // the top byte, then red, green, blue. Null for empty or unrenderable text.
  // The text ends at its first 0 unit; byte-order marks (U+FEFF, U+FFFE) are
  // left out. Null, after a log line, for more than kMaxTextUnits units or a
  // text wider than the largest texture.
  virtual SurfacePtr RenderText(std::u16string_view text) const = 0;

  // What Font::Open was given, so that a loaded game opens the same face.
  void SetOpenedAs(std::string file_name, int point_size) {
    opened_name_ = std::move(file_name);
    opened_size_ = point_size;
  }
  const std::string& OpenedName() const { return opened_name_; }
  int OpenedSize() const { return opened_size_; }

 private:
  std::string opened_name_;
  int opened_size_ = 0;
};

// The script object of a font (CreateNewFont); ReleaseNewFont kills the handle
// at once while the face lives on in its other holders.
class Font : public EngineObject {
 public:
  // What a script's command calls it when a handle is not a live one.
  static constexpr const char* kHandleName = "font";
  static constexpr int kMinPointSize = 1;
  static constexpr int kMaxPointSize = 1000;

  // Looks the file up (see FontLookup) and opens it; a font that cannot be
  // found or opened is faceless, after a log line naming it.
  static std::unique_ptr<Font> Open(const std::string& file_name, int point_size);

  explicit Font(std::shared_ptr<FontData> data) : data_(std::move(data)) {}
  const std::shared_ptr<FontData>& Data() const { return data_; }

  static constexpr const char* kSaveKind = "font";
  const char* SaveKind() const override { return kSaveKind; }
  // Its face's index in the saved font table (FontSaves.cpp).
  void SaveState(SaveWriter& out) const override;

 private:
  static std::unique_ptr<Font> OpenFace(const std::string& file_name, int point_size);
  std::shared_ptr<FontData> data_;
};

}  // namespace tessel
