#include "text/PageLog.h"

#include "text/TextCanvas.h"

namespace tessel {
namespace {

constexpr std::size_t kMaxMarkUnits = FontData::kMaxTextUnits;

}  // namespace

void PageLog::Note(std::u16string_view text, const FontData& font, bool ruby, int x, int y) {
  marks_.push_back(Mark{std::u16string(text), ruby, x, y, font.Color(), font.Style()});
}

void PageLog::Replay(TextCanvas& canvas, FontData* main_font, FontData* ruby_font) const {
  for (const Mark& mark : marks_) {
    FontData* font = mark.ruby ? ruby_font : main_font;
    if (font == nullptr) continue;
    const SDL_Color color = font->Color();
    const int style = font->Style();
    font->SetColor(mark.color.r, mark.color.g, mark.color.b);
    font->SetStyle(mark.style);
    SurfacePtr image = font->RenderText(mark.text);
    if (image) canvas.Draw(image.get(), mark.x, mark.y);
    font->SetColor(color.r, color.g, color.b);
    font->SetStyle(style);
  }
  canvas.Flush();
}

void PageLog::Write(SaveWriter& out) const {
  out.U32(static_cast<std::uint32_t>(marks_.size()));
  for (const Mark& mark : marks_) {
    out.U32(static_cast<std::uint32_t>(mark.text.size()));
    for (char16_t unit : mark.text) out.U32(unit);
    out.Bool(mark.ruby);
    out.I32(mark.x);
    out.I32(mark.y);
    out.U8(mark.color.r);
    out.U8(mark.color.g);
    out.U8(mark.color.b);
    out.I32(mark.style);
  }
}

bool PageLog::Read(SaveReader& in) {
  marks_.clear();
  const std::uint32_t count = in.Count(20);
  for (std::uint32_t i = 0; i < count && in.Ok(); ++i) {
    Mark mark;
    const std::uint32_t units = in.Count(4);
    if (units > kMaxMarkUnits) in.Fail("a text on a page is too long");
    for (std::uint32_t u = 0; u < units && in.Ok(); ++u) {
      const std::uint32_t unit = in.U32();
      if (unit > 0xFFFF) in.Fail("a text on a page holds a unit out of range");
      mark.text.push_back(static_cast<char16_t>(unit));
    }
    mark.ruby = in.Bool();
    mark.x = in.I32();
    mark.y = in.I32();
    mark.color.r = in.U8();
    mark.color.g = in.U8();
    mark.color.b = in.U8();
    mark.style = in.I32();
    marks_.push_back(std::move(mark));
  }
  return in.Ok();
}

}  // namespace tessel
