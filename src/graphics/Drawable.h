#pragma once

#include <cstddef>

namespace tessel {

// Anything the layer table can hold: a position, a visible flag and Draw.
// A drawable that is destroyed, by whatever path, leaves the table.
class Drawable {
 public:
  Drawable() = default;
  Drawable(const Drawable&) = delete;
  Drawable& operator=(const Drawable&) = delete;
  virtual ~Drawable();

  // Called by DrawLayers (and by parents for their children) with the 2D
  // projection of Begin2D in place.
  virtual void Draw() = 0;

  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }
  int X() const { return x_; }
  int Y() const { return y_; }
  void SetOffset(int x, int y) {
    x_ = x;
    y_ = y;
  }

 private:
  friend class LayerTable;
  bool visible_ = true;
  int x_ = 0;                 // screen pixels from the left edge of the window
  int y_ = 0;                 // screen pixels from the top edge, downwards
  std::ptrdiff_t slot_ = -1;  // where it stands in the LayerTable, -1 for nowhere
};

}  // namespace tessel
