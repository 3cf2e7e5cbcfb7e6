#include <malloc.h>

#include "app/Application.h"

int main(int argc, char** argv) {
  // Blocks of 256 KiB and more (decoded pictures, staging copies, textures)
  // are mapped on their own and go back to the system when freed. Left to
  // itself, glibc raises this threshold after the first such block is freed,
  // and the later ones then stay in the heap for the rest of the run.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
  int status = 0;
  {
    tessel::Application application;
    status = application.Run(argc, argv);
  }
  return status;
}
