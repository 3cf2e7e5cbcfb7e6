#pragma once

#include <optional>
#include <string>

namespace tessel {

// The whole content of a named resource (mounted archives first, then the base
// directory), or nothing when it is found nowhere.
std::optional<std::string> ReadResource(const std::string& name);

}  // namespace tessel

struct SDL_RWops;

namespace tessel {

// Opens a named resource as a media-layer stream (archives first, then the
// base directory); nullptr when it is found nowhere. The caller closes it
// (SDL_RWclose) or hands it to a decoder that takes it over.
SDL_RWops* OpenResource(const std::string& name);

}  // namespace tessel
