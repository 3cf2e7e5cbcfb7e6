list(APPEND TESSEL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ResourceFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bind_resource.cpp
)
