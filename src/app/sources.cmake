list(APPEND TESSEL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Application.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Globals.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Autoplay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlayMonitor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlayReport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PngWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProfileTimer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScreenSurface.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowSize.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bind_system.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bind_window.cpp
)
