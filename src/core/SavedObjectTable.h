#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace tessel {

// Objects that several saved objects share (textures, font faces) are
// written once, in a table, and referred to by their index in it. The table
// lives across the three steps of a save or load: the indices given while
// writing, how many entries the file holds while reading, and the objects
// rebuilt while applying.
template <class T>
struct SavedObjectTable {
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  std::unordered_map<const T*, std::uint32_t> saved;
  std::uint32_t staged = 0;
  std::vector<std::shared_ptr<T>> restored;

  std::uint32_t IndexOf(const T* object) const {
    auto found = saved.find(object);
    return found != saved.end() ? found->second : kNone;
  }
  bool IsStaged(std::uint32_t index) const { return index == kNone || index < staged; }
  std::shared_ptr<T> Restored(std::uint32_t index) const {
    return index < restored.size() ? restored[index] : nullptr;
  }
};

}  // namespace tessel
