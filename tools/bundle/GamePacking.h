#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tessel::bundle {

// Puts a game into a bundle's game folder `out`:
//  - from a folder: every file packed into out/main.dat (the folder's own
//    main.dat first, so its entries win as they do when the engine mounts
//    it), except what must stay loose beside it, copied with its path: fonts
//    (the engine never reads them from archives) and other .dat archives
//    (ArchiveLoad opens them from disk); bundle.ini and hidden files are left
//    out;
//  - from a main.dat: the archive as it is, with the loose funcdef.tsl and
//    .dat archives of its folder.
// `copied` receives the loose files' names. False with `error` on failure.
bool PackGame(const std::filesystem::path& game, const std::filesystem::path& out,
              std::vector<std::string>& copied, std::string& error);

bool IsFontFileName(const std::string& name);

}  // namespace tessel::bundle
