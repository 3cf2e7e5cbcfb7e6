list(APPEND TESSEL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ChoiceButton.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Encoding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Font.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FontLookup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JisTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KeyWaitCallbacks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LuaStringTracker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessageWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Scenario.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScenarioController.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScenarioLayer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScenarioReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextCanvas.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bind_font.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bind_scenario_layer.cpp
)
