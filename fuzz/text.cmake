tessel_add_fuzzer(fuzz_scenario_lexer
  scenario_lexer_fuzz.cpp
  ${SRC}/app/DebugLog.cpp
  ${SRC}/text/Encoding.cpp
  ${SRC}/text/JisTables.cpp
  ${SRC}/text/Scenario.cpp
  ${SRC}/text/ScenarioReader.cpp)

tessel_add_fuzzer(fuzz_utf8_decode
  utf8_decode_fuzz.cpp
  ${SRC}/text/Encoding.cpp
  ${SRC}/text/JisTables.cpp)

# The whole engine, for a target that types a story into a message window.
set(TESSEL_SOURCES)
foreach(subsystem app script resource graphics event text sound)
  include(${SRC}/${subsystem}/sources.cmake)
endforeach()
tessel_add_fuzzer(fuzz_scenario_window scenario_window_fuzz.cpp ${TESSEL_SOURCES})
target_compile_definitions(fuzz_scenario_window PRIVATE TESSEL_VERSION="${PROJECT_VERSION}")
target_link_libraries(fuzz_scenario_window PRIVATE
  PkgConfig::SDL PkgConfig::SDL_IMAGE PkgConfig::SDL_TTF PkgConfig::SDL_MIXER
  PkgConfig::PNG PkgConfig::JPEG PkgConfig::GIF PkgConfig::LUA PkgConfig::GLU
  PkgConfig::FONTCONFIG OpenGL::GL ZLIB::ZLIB)
