#include "text/StorySaves.h"

#include "core/DebugLog.h"
#include "core/SaveSections.h"
#include "resource/ResourceFile.h"
#include "script/ObjectSaves.h"
#include "text/FontSaves.h"
#include "text/MessageWindowSaves.h"
#include "text/PageLog.h"
#include "text/Scenario.h"
#include "text/ScenarioController.h"
#include "text/ScenarioLayer.h"
#include "text/ScenarioReader.h"

namespace tessel {
namespace {

constexpr std::size_t kMaxNameLength = 4096;
constexpr std::size_t kMaxChoiceUnits = 1 << 20;

std::uint64_t ContentHash(const std::u16string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (char16_t unit : text) {
    hash = (hash ^ (unit & 0xFF)) * 1099511628211ull;
    hash = (hash ^ (unit >> 8)) * 1099511628211ull;
  }
  return hash;
}

void WriteUnitsList(SaveWriter& out, const std::vector<std::u16string>& list) {
  out.U32(static_cast<std::uint32_t>(list.size()));
  for (const auto& units : list) WriteUnits(out, units);
}

std::vector<std::u16string> ReadUnitsList(SaveReader& in) {
  std::vector<std::u16string> list(in.Count(4));
  for (auto& units : list) units = ReadUnits(in, kMaxChoiceUnits);
  return list;
}

void WriteLines(SaveWriter& out, const std::vector<std::int32_t>& lines) {
  out.U32(static_cast<std::uint32_t>(lines.size()));
  for (std::int32_t line : lines) out.I32(line);
}

std::vector<std::int32_t> ReadLines(SaveReader& in) {
  std::vector<std::int32_t> lines(in.Count(4));
  for (auto& line : lines) line = in.I32();
  return lines;
}

// One level of the call stack: where it was, and the file as it is now.
struct SavedLevel {
  std::string name;
  std::uint64_t hash = 0;
  std::int32_t position = 0;
  std::int32_t line = 0;
  std::uint32_t status = 0;
  std::uint16_t byte_order = 0;
  std::int32_t token_line = 0;
  std::int32_t script_line = 0;
  std::vector<std::u16string> choice_texts;
  std::vector<std::u16string> choice_targets;
  std::vector<std::int32_t> choice_text_lines;
  std::vector<std::int32_t> choice_target_lines;
  std::string bytes;  // the file read while loading
};

void WriteLevel(SaveWriter& out, const Scenario& s) {
  out.String(s.name);
  out.U64(ContentHash(s.text));
  out.I32(s.position);
  out.I32(s.line);
  out.U32(s.status);
  out.U32(s.byte_order);
  out.I32(s.token_line);
  out.I32(s.script_line);
  WriteUnitsList(out, s.choice_texts);
  WriteUnitsList(out, s.choice_targets);
  WriteLines(out, s.choice_text_lines);
  WriteLines(out, s.choice_target_lines);
}

bool ReadLevel(SaveReader& in, SavedLevel& level) {
  level.name = in.String(kMaxNameLength);
  level.hash = in.U64();
  level.position = in.I32();
  level.line = in.I32();
  level.status = in.U32();
  level.byte_order = static_cast<std::uint16_t>(in.U32());
  level.token_line = in.I32();
  level.script_line = in.I32();
  level.choice_texts = ReadUnitsList(in);
  level.choice_targets = ReadUnitsList(in);
  level.choice_text_lines = ReadLines(in);
  level.choice_target_lines = ReadLines(in);
  if (!in.Ok()) return false;
  if (level.choice_texts.size() != level.choice_targets.size()) {
    in.Fail("a pending choice list has not as many targets as texts");
    return false;
  }
  std::optional<std::string> bytes = ReadResource(level.name);
  if (!bytes) {
    in.Fail("the scenario file " + level.name + " no longer exists");
    return false;
  }
  level.bytes = std::move(*bytes);
  return true;
}

// The saved position; in a file changed since the save, the start of the
// line that was to be read next, as the text of that line is what the author
// meant to come next.
std::unique_ptr<Scenario> EnterLevel(const SavedLevel& level) {
  std::unique_ptr<Scenario> s = Scenario::FromFileBytes(level.bytes);
  s->name = level.name;
  s->pushed = true;
  if (ContentHash(s->text) == level.hash) {
    s->byte_order = level.byte_order;
    s->position = std::clamp<std::int32_t>(level.position, 0, static_cast<std::int32_t>(s->text.size()) + 1);
    s->line = level.line;
    s->status = level.status;
    s->token_line = level.token_line;
    s->script_line = level.script_line;
    s->choice_texts = level.choice_texts;
    s->choice_targets = level.choice_targets;
    s->choice_text_lines = level.choice_text_lines;
    s->choice_target_lines = level.choice_target_lines;
    return s;
  }
  s->ResolveByteOrder();
  while (s->line < level.line && s->Peek() != 0) {
    const char16_t unit = s->Next();
    if (unit == u'\r' && s->Peek() == u'\n') s->Next();
    if (unit == u'\r' || unit == u'\n') ++s->line;
  }
  s->token_line = s->line;
  DebugLog::Print("%s has changed since the game was saved; the story goes on from the start of "
                  "its line %d.\n",
                  level.name.c_str(), s->line + 1);
  return s;
}

struct SavedStory {
  bool has_reader = false;
  std::vector<SavedLevel> levels;
  bool running = true;
  bool waiting = false;
  std::int64_t wait_left = 0;
  std::vector<std::pair<std::uint64_t, bool>> listeners;  // window id, muted
};

void WriteListeners(SaveWriter& out, const ScenarioReader& reader) {
  std::vector<std::pair<std::uint64_t, bool>> windows;
  for (ScenarioListener* listener : reader.Listeners()) {
    for (EngineObject* object : Registry().Objects()) {
      auto* layer = dynamic_cast<ScenarioLayer*>(object);
      if (layer == nullptr || listener == nullptr) continue;
      if (listener == layer->TextListener()) windows.emplace_back(layer->Id(), false);
      if (listener == layer->MutedListener()) windows.emplace_back(layer->Id(), true);
    }
  }
  out.U32(static_cast<std::uint32_t>(windows.size()));
  for (const auto& [id, muted] : windows) {
    out.U64(id);
    out.Bool(muted);
  }
}

void WriteStory(SaveWriter& out) {
  ScenarioController* controller = ScenarioController::Instance();
  ScenarioReader* reader = controller != nullptr ? controller->Reader() : nullptr;
  out.Bool(reader != nullptr);
  if (reader == nullptr) return;
  out.U32(static_cast<std::uint32_t>(reader->Depth()));
  for (const auto& level : reader->Stack()) WriteLevel(out, *level);
  out.Bool(controller->Running());
  out.Bool(controller->Waiting());
  out.I64(controller->Waiting() ? controller->WaitLeft() : 0);
  WriteListeners(out, *reader);
}

void ApplyStory(const SavedStory& story) {
  ScenarioController* controller = ScenarioController::Instance();
  if (!story.has_reader || controller == nullptr || controller->Reader() == nullptr) return;
  std::deque<std::unique_ptr<Scenario>> stack;
  for (const SavedLevel& level : story.levels) stack.push_back(EnterLevel(level));
  controller->Reader()->ReplaceStack(std::move(stack));
  controller->RestorePace(story.running, story.waiting, story.wait_left);
  for (const auto& [id, muted] : story.listeners) {
    const void* handle = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(id));
    if (auto* layer = Registry().Find<ScenarioLayer>(handle)) {
      controller->AttachListener(muted ? layer->MutedListener() : layer->TextListener());
    }
  }
}

std::function<void()> ReadStory(SaveReader& in) {
  auto story = std::make_shared<SavedStory>();
  story->has_reader = in.Bool();
  if (in.Ok() && story->has_reader) {
    const std::uint32_t depth = in.Count(32);
    if (in.Ok() && (depth == 0 || depth > ScenarioReader::kMaxDepth)) in.Fail("the call stack's depth is out of range");
    story->levels.resize(in.Ok() ? depth : 0);
    for (SavedLevel& level : story->levels) {
      if (!ReadLevel(in, level)) break;
    }
    story->running = in.Bool();
    story->waiting = in.Bool();
    story->wait_left = in.I64();
    const std::uint32_t listeners = in.Count(9);
    for (std::uint32_t i = 0; i < listeners && in.Ok(); ++i) {
      const std::uint64_t id = in.U64();
      story->listeners.emplace_back(id, in.Bool());
    }
  }
  if (!in.Ok()) return {};
  return [story] { ApplyStory(*story); };
}

}  // namespace

void RegisterTextSaveSections() {
  RegisterFontSaveSections(190, 195);
  RegisterMessageWindowSaveSections(300);
  RegisterSaveSection({"story", 500, WriteStory, ReadStory});
}

}  // namespace tessel
