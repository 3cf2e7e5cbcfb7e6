list(APPEND TESSEL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/EventHandler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScriptEventHandler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EventSaves.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bind_event.cpp
)
