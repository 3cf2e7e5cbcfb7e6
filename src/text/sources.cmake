list(APPEND TESSEL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Encoding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Font.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FontLookup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JisTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Scenario.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScenarioController.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScenarioReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bind_font.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bind_scenario_layer.cpp
)
