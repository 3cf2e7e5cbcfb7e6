#include "graphics/LayerTable.h"

#include <utility>

namespace tessel {

Drawable::~Drawable() { LayerTable::Remove(this); }

std::vector<Drawable*>& LayerTable::Table() {
  static auto& table = *new std::vector<Drawable*>;
  return table;
}

const std::vector<Drawable*>& LayerTable::Slots() { return Table(); }

int LayerTable::Size() { return static_cast<int>(Table().size()); }

Drawable* LayerTable::At(int number) {
  return Contains(number) ? Table()[static_cast<std::size_t>(number)] : nullptr;
}

int LayerTable::Remove(Drawable* drawable) {
  if (drawable == nullptr || drawable->slot_ < 0) return -1;
  const auto number = drawable->slot_;
  Table()[static_cast<std::size_t>(number)] = nullptr;
  drawable->slot_ = -1;
  return static_cast<int>(number);
}

void LayerTable::AddFront(Drawable* drawable) {
  if (drawable == nullptr) return;
  Remove(drawable);
  auto& table = Table();
  drawable->slot_ = static_cast<std::ptrdiff_t>(table.size());
  table.push_back(drawable);
}

bool LayerTable::Set(int number, Drawable* drawable) {
  if (!Contains(number) || drawable == nullptr) return false;
  Remove(drawable);
  ClearSlot(number);
  Table()[static_cast<std::size_t>(number)] = drawable;
  drawable->slot_ = number;
  return true;
}

bool LayerTable::ClearSlot(int number) {
  if (!Contains(number)) return false;
  Drawable*& slot = Table()[static_cast<std::size_t>(number)];
  if (slot != nullptr) slot->slot_ = -1;
  slot = nullptr;
  return true;
}

bool LayerTable::Swap(int a, int b) {
  if (!Contains(a) || !Contains(b)) return false;
  auto& table = Table();
  std::swap(table[static_cast<std::size_t>(a)], table[static_cast<std::size_t>(b)]);
  if (Drawable* d = table[static_cast<std::size_t>(a)]) d->slot_ = a;
  if (Drawable* d = table[static_cast<std::size_t>(b)]) d->slot_ = b;
  return true;
}

void LayerTable::Grow(int size) {
  if (size > Size()) Table().resize(static_cast<std::size_t>(size), nullptr);
}

void LayerTable::Reset() {
  for (Drawable* drawable : Table()) {
    if (drawable != nullptr) drawable->slot_ = -1;
  }
  Table().clear();
}

}  // namespace tessel
