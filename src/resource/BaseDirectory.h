#pragma once

#include <string>
#include <string_view>

namespace tessel {

// Directory prefix of every disk resource; names are appended without a separator.
const std::string& BaseDirectory();
// Keeps the path up to and including its last '/', then up to its last '\\'.
// A path without any separator gives the empty directory (the working directory):
// `tessel main.tsl` must find main.tsl where it was typed.
void SetBaseDirectory(std::string_view path);

}  // namespace tessel
