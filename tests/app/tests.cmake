tessel_add_tests(tessel_tests_app
  ${CMAKE_CURRENT_LIST_DIR}/base_directory_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/debug_log_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_pacing_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/profile_report_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system_commands_test.cpp
)
