tessel_add_fuzzer(fuzz_archive
  archive_fuzz.cpp
  ${SRC}/resource/Archive.cpp
  ${SRC}/resource/ArchiveStream.cpp
  ${SRC}/resource/DiskPath.cpp
  ${SRC}/script/EngineObject.cpp)
# The reference lookup the index is checked against lives with the tests.
target_include_directories(fuzz_archive PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(fuzz_archive PRIVATE PkgConfig::SDL)
