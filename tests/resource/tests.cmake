tessel_add_tests(tessel_tests_resource
  ${CMAKE_CURRENT_LIST_DIR}/base_directory_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive_commands_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive_format_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/archive_malformed_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/disk_lookup_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tessel_pack_test.cpp
)
# The round-trip tests run the real tool.
add_dependencies(tessel_tests_resource tessel-pack)
target_compile_definitions(tessel_tests_resource PRIVATE TESSEL_PACK="$<TARGET_FILE:tessel-pack>")
