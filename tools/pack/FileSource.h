#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "resource/ArchiveWriter.h"

namespace tessel {

// An archive entry whose bytes are streamed from a file when the archive is
// written; writing fails when the file no longer has `size` bytes.
ArchiveSource FileSource(std::string name, const std::filesystem::path& file, std::uint64_t size);

}  // namespace tessel
