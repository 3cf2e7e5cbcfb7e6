#pragma once

#include <functional>
#include <span>
#include <string>

#include "core/SaveStream.h"

namespace tessel {

// One part of the game's state in a save file, written and read by the
// subsystem that owns that state, so no floor has to know another's objects.
//
// Loading is in two steps, so a save that is refused changes nothing: `read`
// parses and checks the section's bytes into a staged value and returns the
// step that applies it, or an empty function after calling reader.Fail(why).
// The apply steps run only once every section has read cleanly, in `order`
// (lower first): what others refer to (archives, textures) comes before what
// refers to it (layers, Lua data holding handles).
struct SaveSection {
  std::string tag;  // a short unique name, stored before the section's bytes
  int order = 0;
  std::function<void(SaveWriter&)> write;
  std::function<std::function<void()>(SaveReader&)> read;
};

// Adds a section, or replaces the one with the same tag (registering twice is harmless).
void RegisterSaveSection(SaveSection section);
// Every registered section, sorted by order, then tag.
std::span<const SaveSection> SaveSections();

}  // namespace tessel
