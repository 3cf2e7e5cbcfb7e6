#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessel::test {

// Every registered save section, written in order: tag, length, bytes.
std::vector<std::uint8_t> SaveEngineState();
// Reads every section; applies them in order only when all read cleanly.
// "" on success, else the first reader's reason (nothing was applied).
std::string LoadEngineState(const std::vector<std::uint8_t>& bytes);

// Every pixel of the frame being drawn, RGBA, bottom row first.
std::vector<std::uint8_t> ReadFrame();

}  // namespace tessel::test
