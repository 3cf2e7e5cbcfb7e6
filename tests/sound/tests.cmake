# Ogg test sounds are encoded in code (libvorbis-dev comes with the mixer's dev package).
pkg_check_modules(VORBISENC REQUIRED IMPORTED_TARGET vorbisenc vorbis ogg)

tessel_add_tests(tessel_tests_sound
  ${CMAKE_CURRENT_LIST_DIR}/TestSounds.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SoundTestSupport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chunk_channel_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/music_track_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/audible_output_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sound_command_safety_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sound_e2e_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sound_save_test.cpp
)
target_link_libraries(tessel_tests_sound PRIVATE PkgConfig::VORBISENC)
