#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  // Logic tests need no window and no sound card; tests that open a real
  // window ask for X themselves (WindowTest in TestSupport.h).
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
