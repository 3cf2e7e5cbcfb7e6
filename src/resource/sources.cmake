list(APPEND TESSEL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BaseDirectory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Archive.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ArchiveStream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ArchiveWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DiskPath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResourceFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResourceSaves.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bind_resource.cpp
)
