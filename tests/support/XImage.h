#pragma once

#include <string>

namespace tessel::test {

// The pixels of an X window (by id) as 3 bytes a pixel, rows top down; false
// when there is no X server or the window is gone.
bool ReadWindowRgb(unsigned long window, int* width, int* height, std::string* rgb);

}  // namespace tessel::test
