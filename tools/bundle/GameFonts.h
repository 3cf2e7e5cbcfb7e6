#pragma once

#include <set>
#include <string>
#include <string_view>

namespace tessel::bundle {

// Font names a game's scripts give: string literals that end like a font
// file (".ttf", ".ttc", ".otf", ".otc", any case), and the first argument of
// `create_font` (CreateNewFont under the game's script name) when it is a
// literal, which may be a family ("MS Gothic"). Names the scripts compute
// cannot be seen; bundle.ini lists those.
void CollectFontNames(std::string_view script, std::string_view create_font,
                      std::set<std::string>& names);

// A scenario file's text as UTF-8 (UTF-16 with its byte-order mark, or
// UTF-8 with or without one).
std::string ScenarioTextAsUtf8(std::string_view bytes);

// The fonts named by the scripts (.lua) and scenario files (.tsl) of a packed
// game; its funcdef.tsl gives CreateNewFont's script name.
std::set<std::string> FontNamesOfArchive(const std::string& archive_path);

// Where a font the game names goes in the bundle, relative to the game
// folder, so that the engine's lookup (the base directory followed by the
// name) finds it there: the name with '\' read as '/' and leading, empty and
// "." parts dropped; a Windows path ("C:\Windows\Fonts\x.ttc") by its file name.
// Empty when the name cannot stay inside the folder ("..").
std::string BundledFontPath(std::string_view name);

}  // namespace tessel::bundle
