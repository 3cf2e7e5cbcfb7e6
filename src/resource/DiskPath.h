#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessel {

// True for a regular file (or a link to one); folders and devices are not
// resources: on Linux a folder opens like a file and reports an absurd size.
bool IsRegularFile(const std::string& path);

// The path of the regular file that `base + name` names on disk, or nothing.
// The exact path wins whenever it is a regular file. Otherwise the name is
// read the way games written on Windows spell it: each backslash as '/', each
// path part matched ignoring ASCII letter case. When several names on disk
// differ only in case, the bytewise smallest wins, so the result never
// depends on the order a directory lists its entries. A name holding a zero
// byte, or ending in a separator, names no file.
std::optional<std::string> ResolveDiskPath(std::string_view base, std::string_view name);

// A name as that fallback compares it: ASCII letters in lower case, each
// backslash as '/'. Two names that fold alike name the same file there.
std::string FoldedName(std::string_view name);

}  // namespace tessel
