#pragma once

#include <SDL.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/SaveStream.h"
#include "text/Font.h"

namespace tessel {

class TextCanvas;

// UTF-16 text in a save: its units, two bytes each, low byte first. Reading
// fails on more than max_units units.
void WriteUnits(SaveWriter& out, std::u16string_view units);
std::u16string ReadUnits(SaveReader& in, std::size_t max_units);

// What has been inked on a page since it was last blank: each text image
// with its place and the face's colour and style at the time. A loaded game
// draws the same images again, so its page shows exactly what the saved one
// did, also when a script changed a font's colour in the middle of the page.
class PageLog {
 public:
  // After `text` was drawn in `font` (the main face, or the ruby face) at (x, y).
  void Note(std::u16string_view text, const FontData& font, bool ruby, int x, int y);
  void Clear() { marks_.clear(); }
  bool Empty() const { return marks_.empty(); }

  // Draws every image again onto the canvas, each in its own colour and
  // style; the faces are left as they were.
  void Replay(TextCanvas& canvas, FontData* main_font, FontData* ruby_font) const;

  void Write(SaveWriter& out) const;
  // False after in.Fail when the bytes are not a page log.
  bool Read(SaveReader& in);

 private:
  struct Mark {
    std::u16string text;
    bool ruby = false;
    std::int32_t x = 0;
    std::int32_t y = 0;
    SDL_Color color{};
    std::int32_t style = 0;
  };
  std::vector<Mark> marks_;
};

}  // namespace tessel
