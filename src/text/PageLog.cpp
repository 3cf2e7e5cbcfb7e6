#include "text/PageLog.h"

#include "text/TextCanvas.h"

namespace tessel {
namespace {

constexpr std::size_t kMaxMarkUnits = FontData::kMaxTextUnits;

}  // namespace

void WriteUnits(SaveWriter& out, std::u16string_view units) {
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (char16_t unit : units) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  out.String(bytes);
}

std::u16string ReadUnits(SaveReader& in, std::size_t max_units) {
  const std::string bytes = in.String(max_units * 2);
  if (in.Ok() && bytes.size() % 2 != 0) in.Fail("a text is cut in the middle of a unit");
  if (!in.Ok()) return {};
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                     static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
  }
  return units;
}

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
    WriteUnits(out, mark.text);
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
    mark.text = ReadUnits(in, kMaxMarkUnits);
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
