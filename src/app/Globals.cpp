#include "app/Globals.h"

namespace tessel {
namespace {
std::string g_base_directory;
std::uint32_t g_frame_threshold = 15;
Color g_base_color;
}  // namespace

const std::string& BaseDirectory() { return g_base_directory; }

void SetBaseDirectory(std::string_view path) {
  std::string dir(path);
  bool cut = false;
  if (auto slash = dir.rfind('/'); slash != std::string::npos) {
    dir.erase(slash + 1);
    cut = true;
  }
  if (auto backslash = dir.rfind('\\'); backslash != std::string::npos) {
    dir.erase(backslash + 1);
    cut = true;
  }
  g_base_directory = cut ? dir : std::string();
}

std::uint32_t FrameThreshold() { return g_frame_threshold; }

bool SetFrameRate(int fps) {
  if (fps < 1) return false;
  if (fps > 1000) fps = 1000;
  g_frame_threshold = 1000u / static_cast<std::uint32_t>(fps) - 1u;
  return true;
}

Stopwatch& FrameClock() {
  static Stopwatch clock;
  return clock;
}

Color& BaseColor() { return g_base_color; }

namespace {
std::uint64_t g_scene_changes = 0;
}  // namespace

void NoteSceneChange() { ++g_scene_changes; }
std::uint64_t SceneChangeCount() { return g_scene_changes; }

}  // namespace tessel
