#include "script/EngineObject.h"

#include <algorithm>
#include <vector>

namespace tessel {

// The engine's singletons (this registry, the layer table, the texture and
// handler lists, the script host, the controller) are never destroyed. An
// exit() from deep inside the frame loop -- a script's os.exit, Xlib giving up
// on a lost display -- runs static destructors in the order the statics were
// first touched, which has nothing to do with which objects point into which
// lists. The orderly shutdown releases everything explicitly; after an
// unplanned exit the system reclaims the rest.
EngineObjectRegistry& Registry() {
  static EngineObjectRegistry& registry = *new EngineObjectRegistry;
  return registry;
}

void EngineObjectRegistry::AddObject(std::unique_ptr<EngineObject> object) {
  object->id_ = next_id_++;
  objects_.emplace(object->id_, std::move(object));
}

bool EngineObjectRegistry::AddObjectWithId(std::unique_ptr<EngineObject> object, std::uint64_t id) {
  if (id == 0 || id >= next_id_ || objects_.count(id) != 0) return false;
  object->id_ = id;
  objects_.emplace(id, std::move(object));
  return true;
}

void EngineObjectRegistry::SetNextId(std::uint64_t id) {
  std::uint64_t lowest = 1;
  for (const auto& entry : objects_) lowest = std::max(lowest, entry.first + 1);
  next_id_ = std::max(id, lowest);
}

std::vector<EngineObject*> EngineObjectRegistry::Objects() const {
  std::vector<EngineObject*> live;
  live.reserve(objects_.size());
  for (const auto& entry : objects_) live.push_back(entry.second.get());
  std::sort(live.begin(), live.end(),
            [](const EngineObject* a, const EngineObject* b) { return a->id_ < b->id_; });
  return live;
}

EngineObject* EngineObjectRegistry::Find(const void* handle) const {
  auto id = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle));
  if (id == 0) return nullptr;
  auto it = objects_.find(id);
  return it == objects_.end() ? nullptr : it->second.get();
}

bool EngineObjectRegistry::IsRegistered(const EngineObject* object) const {
  if (object == nullptr) return false;
  auto it = objects_.find(object->id_);
  return it != objects_.end() && it->second.get() == object;
}

std::unique_ptr<EngineObject> EngineObjectRegistry::Detach(EngineObject* object) {
  if (!IsRegistered(object)) return nullptr;
  auto node = objects_.extract(object->id_);
  return std::move(node.mapped());
}

void EngineObjectRegistry::Release(EngineObject* object) {
  std::unique_ptr<EngineObject> owned = Detach(object);
  owned.reset();
}

void EngineObjectRegistry::ReleaseAll() {
  while (!objects_.empty()) {
    std::vector<std::uint64_t> ids;
    ids.reserve(objects_.size());
    for (const auto& entry : objects_) ids.push_back(entry.first);
    std::sort(ids.begin(), ids.end());
    for (std::uint64_t id : ids) {
      auto it = objects_.find(id);
      if (it == objects_.end()) continue;  // released by an earlier destructor
      auto node = objects_.extract(it);
      node.mapped().reset();
    }
  }
}

}  // namespace tessel
