# Play-testing: the path runner inside a played process, the supervisor that
# starts one process a path, the report and the screenshots.
list(APPEND TESSEL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/GameProbe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PathRunner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlayReport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PngWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Supervisor.cpp
)
