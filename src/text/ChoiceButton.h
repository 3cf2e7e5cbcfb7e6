#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "event/EventHandler.h"
#include "graphics/Drawable.h"
#include "text/Font.h"
#include "text/PageLog.h"

namespace tessel {

class Texture;

// One choice line of a choice list: its text laid out like scenario text into
// an image, and a hover-and-press state that highlights the line under the
// pointer (opaque instead of half transparent). It takes no decision itself:
// the scenario layer, which gets the same Return or button release, calls the
// highlighted button's target. Owned and registered by the scenario layer.
class ChoiceButton : public EventHandler, public Drawable {
 public:
  // State bits.
  static constexpr int kOver = 1;
  static constexpr int kPressed = 2;

  // Lays the text out (a first pass measures, a second draws and runs the
  // text's script blocks once). The image is `width` wide and one line pitch
  // high per laid-out line, at most the largest texture.
  ChoiceButton(std::shared_ptr<FontData> main_font, std::shared_ptr<FontData> ruby_font, int width,
               std::u16string_view text, std::u16string target);
  // A loaded game's button: its image of that size drawn again from its log,
  // without running the text's script blocks a second time.
  ChoiceButton(const std::shared_ptr<FontData>& main_font, const std::shared_ptr<FontData>& ruby_font,
               int width, int height, std::u16string target, PageLog log);
  ~ChoiceButton() override;
  const PageLog& Log() const { return log_; }

  int ImageWidth() const { return image_width_; }
  int ImageHeight() const { return image_height_; }
  const std::u16string& Target() const { return target_; }
  bool Highlighted() const { return highlighted_; }
  double Alpha() const { return alpha_; }
  int State() const { return state_; }
  const Texture* Image() const { return image_.get(); }

  // Relative to the page.
  void SetPosition(int x, int y) {
    position_x_ = x;
    position_y_ = y;
  }
  // The scenario layer's screen position.
  void SetLayerOffset(int x, int y) {
    offset_x_ = x;
    offset_y_ = y;
  }
  int OffsetX() const { return offset_x_; }
  int OffsetY() const { return offset_y_; }
  int Left() const { return position_x_ + offset_x_; }
  int Top() const { return position_y_ + offset_y_; }

  // Highlights the line (or not) as the pointer over it would.
  void SetHighlighted(bool on) { Enter(on ? kOver : 0); }

  // Window pixels; the left and top edges are inside, the right and bottom not.
  bool HitTest(int x, int y) const;

  void Draw() override;

  bool OnMouseMotion(std::uint8_t state, std::uint16_t x, std::uint16_t y, std::int16_t xrel,
                     std::int16_t yrel) override;
  bool OnMouseButtonDown(std::uint8_t button, std::uint16_t x, std::uint16_t y) override;
  bool OnMouseButtonUp(std::uint8_t button, std::uint16_t x, std::uint16_t y) override;

 private:
  // Enters a state and applies its look: over the button (with or without
  // the button held) it is opaque and highlighted, else half transparent.
  void Enter(int state);

  std::u16string target_;
  PageLog log_;  // what the image shows
  std::shared_ptr<Texture> image_;  // owned; shared only with the canvas while drawing
  int image_width_ = 0;
  int image_height_ = 0;
  int state_ = 0;
  int position_x_ = 0;
  int position_y_ = 0;
  int offset_x_ = 0;
  int offset_y_ = 0;
  double alpha_ = 0.5;
  bool highlighted_ = false;
};

}  // namespace tessel
