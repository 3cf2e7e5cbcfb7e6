tessel_add_tests(tessel_tests_e2e SERIAL
  ${CMAKE_CURRENT_LIST_DIR}/startup_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/boot_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/story_e2e_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/exit_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/demo_e2e_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/autoplay_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/power_save_test.cpp
  # In-process, but with a real window whose properties the X server holds.
  ${CMAKE_CURRENT_LIST_DIR}/window_icon_test.cpp
)
# The demo and autoplay tests play the packed demo in <build>/demo.
add_dependencies(tessel_tests_e2e demo_game)
