tessel_add_tests(tessel_tests_core
  ${CMAKE_CURRENT_LIST_DIR}/debug_log_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/profile_report_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/save_stream_test.cpp
)
