tessel_add_tests(tessel_tests_script
  ${CMAKE_CURRENT_LIST_DIR}/lua_environment_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/run_buffer_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/call_by_name_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/argument_access_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/handle_lifetime_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/function_name_list_test.cpp
)
