#include "text/TextLayout.h"

#include <algorithm>
#include <cstdint>

namespace tessel {
namespace {

// Far past any page: a story that never clears its page, or a line of a
// million full stops, keeps the pen in range instead of overflowing it.
constexpr std::int64_t kPenLimit = 1 << 24;

int ClampPen(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, -kPenLimit, kPenLimit));
}

}  // namespace

bool IsNoBreakStart(char16_t ch) {
  switch (ch) {
    case u'!':
    case u',':
    case u'.':
    case u':':
    case u';':
    case u'?':
    case u'\u3001':  // 、
    case u'\u3002':  // 。
    case u'\uFF01':  // ！
    case u'\uFF1A':  // ：
    case u'\uFF1B':  // ；
    case u'\uFF1F':  // ？
    case u'\uFF61':  // ｡
    case u'\uFF63':  // ｣
    case u'\uFF64':  // ､
    case u'\uFF65':  // ･
      return true;
    default:
      return false;
  }
}

int RubyOffset(int glyph_width, int ruby_width) {
  const double difference = static_cast<double>(glyph_width) - static_cast<double>(ruby_width);
  return static_cast<int>(difference / 2.0 + 0.5);
}

Pen NextLine(Pen pen, const TextBox& box) {
  return Pen{0, ClampPen(static_cast<std::int64_t>(pen.y) + box.LinePitch())};
}

CharacterPlacement PlaceCharacter(char16_t ch, const GlyphMetrics& metrics,
                                  std::optional<int> ruby_width, Pen pen, const TextBox& box) {
  CharacterPlacement placement;
  const std::int64_t glyph_width = static_cast<std::int64_t>(metrics.max_x) - metrics.min_x;
  const std::int64_t glyph_height = static_cast<std::int64_t>(metrics.max_y) - metrics.min_y;

  int ruby_offset = 0;
  int shift = 0;
  if (ruby_width.has_value()) {
    ruby_offset = RubyOffset(static_cast<int>(glyph_width), *ruby_width);
    if (ruby_offset < 0) {
      shift = -ruby_offset;
      pen.x = ClampPen(static_cast<std::int64_t>(pen.x) + shift);
    }
  }

  // The glyph's right edge plus the ruby's overhang on the right.
  if (!IsNoBreakStart(ch) && static_cast<std::int64_t>(pen.x) + metrics.max_x + shift > box.width) {
    pen = NextLine(pen, box);
    pen.x = ClampPen(static_cast<std::int64_t>(pen.x) + shift);
  }

  if (static_cast<std::int64_t>(pen.y) + glyph_height > box.height) {
    placement.pen = pen;
    return placement;
  }

  placement.drawn = true;
  placement.glyph_x = pen.x;
  placement.glyph_y = pen.y;
  if (ruby_width.has_value()) {
    placement.has_ruby = true;
    placement.ruby_x = ClampPen(static_cast<std::int64_t>(pen.x) + ruby_offset);
    placement.ruby_y = ClampPen(static_cast<std::int64_t>(pen.y) - box.ruby_line_skip);
  }
  placement.pen = Pen{ClampPen(static_cast<std::int64_t>(pen.x) + metrics.advance + shift), pen.y};
  return placement;
}

}  // namespace tessel
