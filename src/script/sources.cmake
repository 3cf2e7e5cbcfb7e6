list(APPEND TESSEL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/EngineObject.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FunctionNameList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LuaEnvironment.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LuaSnapshot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LuaSnapshotLoad.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ObjectSaves.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScriptFunction.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScriptHost.cpp
)
