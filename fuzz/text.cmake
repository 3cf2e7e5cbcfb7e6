tessel_add_fuzzer(fuzz_scenario_lexer
  scenario_lexer_fuzz.cpp
  ${SRC}/app/DebugLog.cpp
  ${SRC}/text/Encoding.cpp
  ${SRC}/text/JisTables.cpp
  ${SRC}/text/LuaStringTracker.cpp
  ${SRC}/text/Scenario.cpp
  ${SRC}/text/ScenarioReader.cpp)

tessel_add_fuzzer(fuzz_utf8_decode
  utf8_decode_fuzz.cpp
  ${SRC}/text/Encoding.cpp
  ${SRC}/text/JisTables.cpp)
