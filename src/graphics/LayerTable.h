#pragma once

#include <vector>

#include "graphics/Drawable.h"

namespace tessel {

// The drawing order of the engine: slots drawn from 0 upwards, each empty or
// holding one drawable (non-owning). Slot numbers are visible to scripts, so
// the table only grows; a drawable stands in at most one slot.
class LayerTable {
 public:
  // Empties the drawable's slot; its former number, or -1.
  static int Remove(Drawable* drawable);
  // Moves it to a new slot at the end (the new highest number).
  static void AddFront(Drawable* drawable);
  // Moves it to an existing slot, replacing what stood there. False (nothing
  // changed) when the number is outside the table.
  static bool Set(int number, Drawable* drawable);
  static bool ClearSlot(int number);
  static bool Swap(int a, int b);

  static int Size();
  static bool Contains(int number) { return number >= 0 && number < Size(); }
  // The drawable in a slot, nullptr for an empty slot or a number outside.
  static Drawable* At(int number);
  // The slot of a drawable, -1 when it stands in none.
  static int SlotOf(const Drawable* drawable) {
    return drawable != nullptr ? static_cast<int>(drawable->slot_) : -1;
  }
  // Grows the table to `size` slots, the new ones empty (a loaded game).
  static void Grow(int size);
  // Forgets every slot (tests; the drawables stay alive).
  static void Reset();

  static const std::vector<Drawable*>& Slots();

 private:
  static std::vector<Drawable*>& Table();
};

}  // namespace tessel
