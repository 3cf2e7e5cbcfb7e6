# Latency of the sound commands (dummy audio driver); the test sounds are made
# by the same code as the tests'.
pkg_check_modules(BENCH_VORBISENC REQUIRED IMPORTED_TARGET vorbisenc vorbis ogg)
tessel_add_bench(bench_sound
  ${CMAKE_CURRENT_LIST_DIR}/sound_command_bench.cpp
  ${PROJECT_SOURCE_DIR}/tests/sound/TestSounds.cpp)
target_link_libraries(bench_sound PRIVATE PkgConfig::BENCH_VORBISENC)
