#pragma once

#include <optional>

#include "text/Font.h"

namespace tessel {

// Where text may go: the area's size and the two line skips. Every text line
// has a ruby band above it, so the pen's y always points below that band.
struct TextBox {
  int width = 0;
  int height = 0;
  int main_line_skip = 0;
  int ruby_line_skip = 0;

  int LinePitch() const { return main_line_skip + ruby_line_skip; }
};

// The text cursor: left edge of the next character and top of its line.
struct Pen {
  int x = 0;
  int y = 0;

  bool operator==(const Pen&) const = default;
};

// The outcome of laying out one character: where its glyph and ruby images go
// and where the pen stands afterwards.
struct CharacterPlacement {
  Pen pen;             // the cursor afterwards (also when nothing is drawn)
  bool drawn = false;  // false: the glyph would cross the bottom of the box
  int glyph_x = 0;
  int glyph_y = 0;
  bool has_ruby = false;
  int ruby_x = 0;
  int ruby_y = 0;
};

// The 16 code units that never start a line: a full stop that would overflow
// stays on its line, past the right edge.
bool IsNoBreakStart(char16_t ch);

// Horizontal offset that centres a ruby over its glyph: (glyph − ruby) / 2,
// rounded by adding one half and truncating toward zero. Negative when the
// ruby is wider than the glyph.
int RubyOffset(int glyph_width, int ruby_width);

// The pen at the start of the next line.
Pen NextLine(Pen pen, const TextBox& box);

// Lays out one character (not 0) with its glyph metrics and, when it carries
// a ruby that rendered to something, that ruby image's width. A ruby wider
// than the glyph shifts the glyph right by the overhang, so the centred ruby
// starts at the old cursor, and the cursor moves on by advance + overhang.
// The line breaks when the glyph's right edge plus the overhang passes the
// width, unless the character may not start a line. A glyph that would cross
// the bottom is not drawn; the pen then keeps the shift and the line break.
CharacterPlacement PlaceCharacter(char16_t ch, const GlyphMetrics& metrics,
                                  std::optional<int> ruby_width, Pen pen, const TextBox& box);

}  // namespace tessel
