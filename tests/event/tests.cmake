tessel_add_tests(tessel_tests_event
  ${CMAKE_CURRENT_LIST_DIR}/dispatch_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/script_event_handler_test.cpp
)
