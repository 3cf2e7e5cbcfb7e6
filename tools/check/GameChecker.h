#pragma once

#include <string>

#include "check/Report.h"

namespace tessel::check {

// Checks the game in `path` (its folder, or a file in that folder such as
// main.tsl or main.dat) as the engine would read it: main.dat mounted from
// the folder, names looked up in the archives and then on disk. The findings
// go into the report. False, with the reason in `fatal`, when there is no game
// to check (no such folder, no main.tsl).
bool CheckGame(const std::string& path, Report& report, std::string& fatal);

}  // namespace tessel::check
