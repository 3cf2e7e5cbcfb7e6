#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace tessel {

class SaveWriter;

// Base of every object a script can hold (archives, fonts, texture images,
// layers, effects, event handlers, scenario layers, sound data). Owned by the
// EngineObjectRegistry from Add until Release or ReleaseAll.
class EngineObject {
 public:
  EngineObject() = default;
  EngineObject(const EngineObject&) = delete;
  EngineObject& operator=(const EngineObject&) = delete;
  virtual ~EngineObject() = default;

  // The script handle: a light userdata carrying a never-reused id, so a stale
  // handle can never reach a newer object that happens to share an address.
  void* Handle() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(id_)); }
  std::uint64_t Id() const { return id_; }

  // The name a save file stores this object under, which picks the reader
  // that builds it again (see ObjectSaves.h); null for objects left out.
  virtual const char* SaveKind() const { return nullptr; }
  // Whatever that reader needs to build the object as it is now.
  virtual void SaveState(SaveWriter& out) const {}

 private:
  friend class EngineObjectRegistry;
  std::uint64_t id_ = 0;
};

class EngineObjectRegistry {
 public:
  // Takes ownership and assigns the next id; returns the object.
  template <class T>
  T* Add(std::unique_ptr<T> object) {
    T* raw = object.get();
    AddObject(std::unique_ptr<EngineObject>(std::move(object)));
    return raw;
  }

  // Takes ownership under a given id, as a loaded game restores its objects:
  // null (the object destroyed) when the id is 0, in use or not below NextId.
  template <class T>
  T* AddWithId(std::unique_ptr<T> object, std::uint64_t id) {
    T* raw = object.get();
    return AddObjectWithId(std::unique_ptr<EngineObject>(std::move(object)), id) ? raw : nullptr;
  }
  // The id the next Add gives. Setting it never goes below an id in use, so
  // a handle released before a save stays dead after the load.
  std::uint64_t NextId() const { return next_id_; }
  void SetNextId(std::uint64_t id);
  // The live objects, oldest (lowest id) first.
  std::vector<EngineObject*> Objects() const;

  // The live object behind a handle, or nullptr (unknown, released, null).
  EngineObject* Find(const void* handle) const;
  // nullptr also when the object is not a T (a subclass passes).
  template <class T>
  T* Find(const void* handle) const {
    return dynamic_cast<T*>(Find(handle));
  }

  bool IsRegistered(const EngineObject* object) const;

  // Unregisters and destroys. The handle is dead before the destructor runs,
  // so code that runs during destruction sees the object as released.
  void Release(EngineObject* object);
  // Unregisters and hands ownership back: the handle dies now, the caller
  // destroys the object when it is safe (e.g. after the operation running on it).
  std::unique_ptr<EngineObject> Detach(EngineObject* object);

  // Destroys every live object, oldest first, each exactly once, also when
  // destroying one releases another.
  void ReleaseAll();

  std::size_t Count() const { return objects_.size(); }

 private:
  void AddObject(std::unique_ptr<EngineObject> object);
  bool AddObjectWithId(std::unique_ptr<EngineObject> object, std::uint64_t id);

  std::unordered_map<std::uint64_t, std::unique_ptr<EngineObject>> objects_;
  std::uint64_t next_id_ = 1;  // 0 reads as a missing argument
};

EngineObjectRegistry& Registry();

}  // namespace tessel
