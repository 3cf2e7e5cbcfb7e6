#pragma once

#include <string>
#include <vector>

namespace tessel::bundle {

struct ProgramResult {
  int status = -1;  // exit status; -1 when the program could not be started
  std::string out;  // its standard output (standard error goes nowhere)
};

// Runs a program found on PATH and collects what it writes.
ProgramResult RunProgram(const std::vector<std::string>& argv);

}  // namespace tessel::bundle
