tessel_add_tests(tessel_tests_tools
  ${CMAKE_CURRENT_LIST_DIR}/CheckTestSupport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/check_command_line_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/check_files_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/check_scripts_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/check_encoding_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/check_function_list_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bundle_parts_test.cpp
)
target_link_libraries(tessel_tests_tools PRIVATE tessel_bundle)
# The tests run the real tool on games they write.
add_dependencies(tessel_tests_tools tessel-check demo_game)
target_compile_definitions(tessel_tests_tools PRIVATE TESSEL_CHECK="$<TARGET_FILE:tessel-check>")

# The bundled demo must stay clean, from its sources and packed as `make demo` plays it.
add_test(NAME tessel_check_demo COMMAND tessel-check --werror ${PROJECT_SOURCE_DIR}/demo/game)
add_test(NAME tessel_check_demo_packed COMMAND tessel-check --werror ${PROJECT_BINARY_DIR}/demo)
