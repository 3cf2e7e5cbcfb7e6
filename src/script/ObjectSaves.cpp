#include "script/ObjectSaves.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "core/SaveSections.h"

namespace tessel {
namespace {

constexpr std::size_t kMaxKindLength = 64;

std::map<std::string, ObjectReader>& Kinds() {
  static auto& kinds = *new std::map<std::string, ObjectReader>;
  return kinds;
}

struct ResetStep {
  std::function<void()> before;
  std::function<void()> after;
};
std::map<std::string, ResetStep>& ResetSteps() {
  static auto& steps = *new std::map<std::string, ResetStep>;
  return steps;
}

// What the sections being read have claimed so far: the saved next id and
// every object id, so two sections can never restore the same handle.
struct StagedIds {
  std::uint64_t next = 1;
  std::set<std::uint64_t> used;
};
StagedIds& Staged() {
  static auto& staged = *new StagedIds;
  return staged;
}

void WriteObjects(SaveWriter& out, const std::vector<std::string>& kinds) {
  std::vector<EngineObject*> saved;
  for (EngineObject* object : Registry().Objects()) {
    const char* kind = object->SaveKind();
    if (kind != nullptr && std::find(kinds.begin(), kinds.end(), kind) != kinds.end()) {
      saved.push_back(object);
    }
  }
  out.U32(static_cast<std::uint32_t>(saved.size()));
  for (EngineObject* object : saved) {
    SaveWriter state;
    object->SaveState(state);
    out.U64(object->Id());
    out.String(object->SaveKind());
    out.U32(static_cast<std::uint32_t>(state.Data().size()));
    out.Bytes(state.Data().data(), state.Data().size());
  }
}

// One object's entry: its id, its kind and its state, read on a reader of its
// own so a kind's reader can never run into the next object.
ObjectBuilder ReadObject(SaveReader& in, const std::vector<std::string>& kinds, std::uint64_t& id) {
  id = in.U64();
  const std::string kind = in.String(kMaxKindLength);
  const std::uint32_t size = in.Count(1);
  std::vector<std::uint8_t> bytes(in.Ok() ? size : 0);
  in.Bytes(bytes.data(), bytes.size());
  if (!in.Ok()) return {};
  StagedIds& staged = Staged();
  if (id == 0 || id >= staged.next || !staged.used.insert(id).second) {
    in.Fail("object id " + std::to_string(id) + " is out of range or used twice");
    return {};
  }
  auto reader = Kinds().find(kind);
  if (reader == Kinds().end() || std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) {
    in.Fail("object " + std::to_string(id) + " is of an unknown kind \"" + kind + "\"");
    return {};
  }
  SaveReader state(bytes);
  ObjectBuilder build = reader->second(state);
  if (state.Ok() && !state.AtEnd()) state.Fail("unread bytes at its end");
  if (!state.Ok() || !build) {
    in.Fail(kind + " " + std::to_string(id) + ": " +
            (state.Error().empty() ? std::string("unreadable") : state.Error()));
    return {};
  }
  return build;
}

std::function<void()> ReadObjects(SaveReader& in, const std::vector<std::string>& kinds) {
  const std::uint32_t count = in.Count(16);
  std::vector<std::pair<std::uint64_t, ObjectBuilder>> builders;
  for (std::uint32_t i = 0; i < count && in.Ok(); ++i) {
    std::uint64_t id = 0;
    ObjectBuilder build = ReadObject(in, kinds, id);
    if (build) builders.emplace_back(id, std::move(build));
  }
  if (!in.Ok()) return {};
  return [builders = std::move(builders)] {
    for (const auto& [id, build] : builders) {
      std::unique_ptr<EngineObject> object = build();
      if (object) Registry().AddWithId(std::move(object), id);
    }
  };
}

}  // namespace

void RegisterObjectKind(const std::string& kind, ObjectReader read) { Kinds()[kind] = std::move(read); }

void RegisterObjectSection(const std::string& tag, int order, std::vector<std::string> kinds) {
  RegisterSaveSection({tag, order, [kinds](SaveWriter& out) { WriteObjects(out, kinds); },
                       [kinds](SaveReader& in) { return ReadObjects(in, kinds); }});
}

void AddSaveResetStep(const std::string& name, std::function<void()> before,
                      std::function<void()> after) {
  ResetSteps()[name] = ResetStep{std::move(before), std::move(after)};
}

void RegisterScriptSaveSections() {
  RegisterSaveSection({"reset", 0, [](SaveWriter& out) { out.U64(Registry().NextId()); },
                       [](SaveReader& in) -> std::function<void()> {
                         const std::uint64_t next = in.U64();
                         if (!in.Ok()) return {};
                         if (next == 0) {
                           in.Fail("the next handle id is 0");
                           return {};
                         }
                         Staged() = StagedIds{next, {}};
                         return [next] {
                           for (auto& [name, step] : ResetSteps()) {
                             if (step.before) step.before();
                           }
                           Registry().ReleaseAll();
                           for (auto& [name, step] : ResetSteps()) {
                             if (step.after) step.after();
                           }
                           Registry().SetNextId(next);
                         };
                       }});
}

}  // namespace tessel
