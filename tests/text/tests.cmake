tessel_add_tests(tessel_tests_text
  ${CMAKE_CURRENT_LIST_DIR}/encoding_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scenario_lexer_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scenario_reader_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StoryTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_layout_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/message_window_test.cpp
)
