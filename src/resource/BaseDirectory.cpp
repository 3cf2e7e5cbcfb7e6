#include "resource/BaseDirectory.h"

namespace tessel {
namespace {
std::string g_base_directory;
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

}  // namespace tessel
