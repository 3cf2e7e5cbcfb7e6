#include "app/save/GameFolder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "resource/BaseDirectory.h"

namespace tessel {
namespace {

std::string g_id;
std::string g_override;

bool IdCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '_' || c == '-';
}

bool SlotCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

// The folder the game was started from, by name ("mygame" for "games/mygame/").
std::string StartFolderName() {
  std::error_code error;
  std::filesystem::path base = BaseDirectory().empty() ? "." : BaseDirectory();
  std::filesystem::path full = std::filesystem::weakly_canonical(base, error);
  if (error) full = base;
  std::string name = full.filename().string();
  if (name.empty()) name = full.parent_path().filename().string();
  return name;
}

}  // namespace

bool ValidGameId(std::string_view id) {
  return !id.empty() && id.size() <= 64 && std::all_of(id.begin(), id.end(), IdCharacter);
}

std::string GameIdFromFolder(std::string_view folder) {
  std::string id;
  for (char c : folder) {
    if (IdCharacter(c) && id.size() < 64) id += c;
  }
  // "." and ".." would name a folder above the saves.
  if (id.empty() || id.find_first_not_of('.') == std::string::npos) return "game";
  return id;
}

bool SetGameId(std::string_view id) {
  if (!ValidGameId(id) || id.find_first_not_of('.') == std::string_view::npos) return false;
  g_id = id;
  return true;
}

std::string GameId() { return g_id.empty() ? GameIdFromFolder(StartFolderName()) : g_id; }
bool GameIdChosen() { return !g_id.empty(); }
void SetSaveDirOverride(std::string dir) { g_override = std::move(dir); }

void ResetGameFolder() {
  g_id.clear();
  g_override.clear();
}

std::string GameDataFolder() {
  if (!g_override.empty()) return WithSlash(g_override);
  const char* xdg = std::getenv("XDG_DATA_HOME");
  std::string root;
  if (xdg != nullptr && xdg[0] == '/') {
    root = WithSlash(xdg);
  } else {
    const char* home = std::getenv("HOME");
    root = WithSlash(home != nullptr && home[0] != '\0' ? home : ".") + ".local/share/";
  }
  return root + "tessel/" + GameId() + "/";
}

std::optional<std::string> SlotName(std::string_view text) {
  if (text.empty() || text.size() > 32 || !std::all_of(text.begin(), text.end(), SlotCharacter)) {
    return std::nullopt;
  }
  // All digits: the integer slot, written without leading zeros ("007" is 7).
  if (std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    if (text.size() > 4) return std::nullopt;
    return SlotName(std::strtod(std::string(text).c_str(), nullptr));
  }
  return std::string(text);
}

std::optional<std::string> SlotName(double number) {
  if (!(number >= 1 && number <= 9999) || std::floor(number) != number) return std::nullopt;
  return std::to_string(static_cast<int>(number));
}

std::string SlotPath(std::string_view slot) {
  return GameDataFolder() + "saves/" + std::string(slot) + ".tsave";
}

std::vector<std::string> ListSlots() {
  std::vector<std::string> slots;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(GameDataFolder() + "saves", error)) {
    if (entry.path().extension() != ".tsave" || !entry.is_regular_file(error)) continue;
    std::optional<std::string> slot = SlotName(entry.path().stem().string());
    if (slot && *slot == entry.path().stem().string()) slots.push_back(*slot);
  }
  auto number = [](const std::string& s) {
    return s[0] >= '0' && s[0] <= '9' ? std::atoi(s.c_str()) : 0;
  };
  std::sort(slots.begin(), slots.end(), [&](const std::string& a, const std::string& b) {
    const int na = number(a), nb = number(b);
    if ((na > 0) != (nb > 0)) return na > 0;
    return na > 0 ? na < nb : a < b;
  });
  return slots;
}

}  // namespace tessel
