#pragma once

#include "app/CommandLine.h"

namespace tessel {

// An autoplay run: plays the game's paths, each in a fresh process (the same
// executable, started again with the hidden path options), collects what they
// found and prints the report. Returns the exit status.
int RunAutoplay(const CommandLine& line, const char* program_name);

}  // namespace tessel
