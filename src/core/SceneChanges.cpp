#include "core/SceneChanges.h"

namespace tessel {
namespace {
std::uint64_t g_scene_changes = 0;
}  // namespace

void NoteSceneChange() { ++g_scene_changes; }
std::uint64_t SceneChangeCount() { return g_scene_changes; }

}  // namespace tessel
