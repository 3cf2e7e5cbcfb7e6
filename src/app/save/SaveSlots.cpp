#include "app/save/SaveSlots.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/Application.h"
#include "app/EngineSaveSections.h"
#include "app/playtest/PngWriter.h"
#include "app/save/GameFolder.h"
#include "core/DebugLog.h"
#include "core/SaveSections.h"
#include "graphics/ScreenSurface.h"
#include "script/LuaSnapshot.h"
#include "script/ScriptHost.h"
#include "text/ScenarioLayer.h"

namespace tessel {
namespace {

std::vector<std::function<void()>> g_pending;
std::optional<SaveThumbnail> g_taken;
bool g_hinted = false;

// The picture on screen, drawn again into the back buffer (the front one
// cannot be read back everywhere) and not shown: the next frame draws over
// it. The key-wait ticks are left out, so drawing changes nothing of the game.
SaveThumbnail FrameOnScreen() {
  if (ScreenSurface::Get() == nullptr) return {};
  const bool ticks_before = ScenarioLayer::TicksBeforeDrawing();
  ScenarioLayer::SetTicksBeforeDrawing(true);
  DrawFrame();
  ScenarioLayer::SetTicksBeforeDrawing(ticks_before);
  int width = 0;
  int height = 0;
  const std::vector<std::uint8_t> rgba = ReadFrame(width, height);
  return ShrinkFrame(rgba, width, height);
}

std::string DefaultTitle(const SaveSummary& summary) {
  if (summary.file.empty()) return "";
  return summary.file + ", line " + std::to_string(summary.line);
}

std::optional<SaveFileContent> ReadSlot(const std::string& slot, const char* command,
                                        const std::string& path) {
  std::string why;
  std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(path, why);
  std::optional<SaveFileContent> content;
  if (bytes) content = DecodeSaveFile(*bytes, GameId(), why);
  if (!content) DebugLog::Print("%s: %s (slot %s) is refused: %s.\n", command, path.c_str(), slot.c_str(), why.c_str());
  return content;
}

// Reads every section into its apply step; empty with `why` on the first problem.
std::vector<std::function<void()>> ReadSections(const SaveFileContent& content, std::string& why) {
  for (const SaveChunk& chunk : content.chunks) {
    bool known = false;
    for (const SaveSection& section : SaveSections()) known = known || section.tag == chunk.tag;
    if (!known) {
      why = "it holds a section this engine does not know ('" + chunk.tag + "')";
      return {};
    }
  }
  std::vector<std::function<void()>> steps;
  for (const SaveSection& section : SaveSections()) {
    const SaveChunk* found = nullptr;
    for (const SaveChunk& chunk : content.chunks) {
      if (chunk.tag == section.tag) found = &chunk;
    }
    if (found == nullptr) {
      why = "its '" + section.tag + "' section is missing";
      return {};
    }
    SaveReader reader(found->bytes);
    std::function<void()> step = section.read(reader);
    if (!step || !reader.Ok() || !reader.AtEnd()) {
      why = "its '" + section.tag + "' section is damaged (" +
            (reader.Error().empty() ? std::string("bytes are left over") : reader.Error()) + ")";
      return {};
    }
    steps.push_back(std::move(step));
  }
  return steps;
}

}  // namespace

void PrepareSaving() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  RegisterEngineSaveSections();
  RegisterLuaSaveSection();
}

SaveThumbnail ShrinkFrame(const std::vector<std::uint8_t>& rgba, int width, int height) {
  if (width <= 0 || height <= 0 || rgba.size() != static_cast<std::size_t>(width) * height * 4) return {};
  SaveThumbnail out;
  out.width = std::min(kThumbnailWidth, width);
  out.height = std::max(1, out.width * height / width);
  if (out.height > kThumbnailHeight) {
    out.height = std::min(kThumbnailHeight, height);
    out.width = std::max(1, out.height * width / height);
  }
  out.rgb.resize(static_cast<std::size_t>(out.width) * out.height * 3);
  // Each small pixel is the mean of the frame's pixels it covers.
  for (int y = 0; y < out.height; ++y) {
    const int y0 = y * height / out.height, y1 = std::max(y0 + 1, (y + 1) * height / out.height);
    for (int x = 0; x < out.width; ++x) {
      const int x0 = x * width / out.width, x1 = std::max(x0 + 1, (x + 1) * width / out.width);
      unsigned sum[3] = {0, 0, 0};
      for (int sy = y0; sy < y1; ++sy) {
        for (int sx = x0; sx < x1; ++sx) {
          for (int c = 0; c < 3; ++c) sum[c] += rgba[(static_cast<std::size_t>(sy) * width + sx) * 4 + c];
        }
      }
      const unsigned count = static_cast<unsigned>((y1 - y0) * (x1 - x0));
      for (int c = 0; c < 3; ++c) {
        out.rgb[(static_cast<std::size_t>(y) * out.width + x) * 3 + c] = static_cast<std::uint8_t>(sum[c] / count);
      }
    }
  }
  return out;
}

void TakeThumbnail() { g_taken = FrameOnScreen(); }

bool SaveToSlot(const std::string& slot, const std::string& title) {
  PrepareSaving();
  const std::string path = SlotPath(slot);
  SaveFileContent content;
  content.game_id = GameId();
  content.engine_version = TESSEL_VERSION;
  const ScriptPosition position = Host().CurrentPosition();
  content.summary = {title, static_cast<std::int64_t>(std::time(nullptr)), position.file, position.line};
  if (title.empty()) content.summary.title = DefaultTitle(content.summary);
  content.thumbnail = g_taken ? std::move(*g_taken) : FrameOnScreen();
  g_taken.reset();
  for (const SaveSection& section : SaveSections()) {
    SaveWriter writer;
    section.write(writer);
    content.chunks.push_back({section.tag, writer.Take()});
  }
  std::string why;
  if (!WriteFileAtomically(path, EncodeSaveFile(content), why)) {
    DebugLog::Print("SaveGame: %s (slot %s) was not saved: %s; the slot's previous save is kept.\n",
                    path.c_str(), slot.c_str(), why.c_str());
    return false;
  }
  if (!GameIdChosen() && !g_hinted) {
    g_hinted = true;
    DebugLog::Print("SaveGame: saved under the game id '%s', made from the game folder's name; call "
                    "SetGameId('...') at the start so saves stay found when the folder is renamed.\n",
                    content.game_id.c_str());
  }
  return true;
}

std::vector<std::function<void()>> ReadSave(const std::vector<std::uint8_t>& bytes, std::string& why) {
  std::optional<SaveFileContent> content = DecodeSaveFile(bytes, GameId(), why);
  if (!content) return {};
  return ReadSections(*content, why);
}

bool RequestLoad(const std::string& slot) {
  PrepareSaving();
  const std::string path = SlotPath(slot);
  std::string why;
  std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(path, why);
  std::vector<std::function<void()>> steps;
  if (bytes) steps = ReadSave(*bytes, why);
  if (steps.empty()) {
    DebugLog::Print("LoadGame: %s (slot %s) is refused: %s.\n", path.c_str(), slot.c_str(), why.c_str());
    return false;
  }
  g_pending = std::move(steps);
  return true;
}

bool LoadPending() { return !g_pending.empty(); }

void ApplyPendingLoad() {
  // Taken first: a step that saves or loads again starts from a clean slate.
  std::vector<std::function<void()>> steps = std::move(g_pending);
  g_pending.clear();
  for (const auto& step : steps) step();
}

// A save menu asks about every slot: an empty one is no news for the log.
bool SlotUsed(const std::string& slot) {
  std::error_code error;
  return std::filesystem::exists(SlotPath(slot), error);
}

std::optional<SaveSummary> SlotSummary(const std::string& slot) {
  if (!SlotUsed(slot)) return std::nullopt;
  std::optional<SaveFileContent> content = ReadSlot(slot, "GetSaveInfo", SlotPath(slot));
  if (!content) return std::nullopt;
  return content->summary;
}

std::optional<SaveThumbnail> SlotThumbnail(const std::string& slot) {
  if (!SlotUsed(slot)) return std::nullopt;
  std::optional<SaveFileContent> content = ReadSlot(slot, "LoadSaveThumbnail", SlotPath(slot));
  if (!content || content->thumbnail.Empty()) return std::nullopt;
  return std::move(content->thumbnail);
}

bool DeleteSlot(const std::string& slot) {
  const std::string path = SlotPath(slot);
  if (std::remove(path.c_str()) != 0) {
    DebugLog::Print("DeleteSave: %s (slot %s) was not deleted: %s.\n", path.c_str(), slot.c_str(),
                    errno == ENOENT ? "there is no save in this slot" : std::strerror(errno));
    return false;
  }
  return true;
}

}  // namespace tessel
