list(APPEND TESSEL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/SceneChanges.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlayMonitor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProfileTimer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveSections.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SaveStream.cpp
)
