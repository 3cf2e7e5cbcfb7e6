list(APPEND TESSEL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Application.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Boot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EngineSaveSections.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FrameRate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScriptApi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SystemEventHandler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowIcon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bind_save.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowSaves.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bind_system.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bind_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bind_window_icon.cpp
)
include(${CMAKE_CURRENT_LIST_DIR}/playtest/sources.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/save/sources.cmake)
