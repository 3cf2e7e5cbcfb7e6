#pragma once

#include <cstdint>
#include <string>

struct SDL_RWops;

namespace tessel {

// A media-layer stream over one archive entry's data: positions run from 0 to
// the entry's length, every seek is clamped into that range, reads stop at its
// end and hand out whole objects only, writes are refused. The stream opens
// the archive file again for itself, so it shares no handle with the archive
// (the mixer reads music on its audio thread) and stays valid after the
// archive is released. nullptr when the file cannot be opened again.
// The caller owns the stream (SDL_RWclose).
SDL_RWops* OpenArchiveStream(const std::string& archive_path, std::uint64_t start,
                             std::uint32_t length);

}  // namespace tessel
