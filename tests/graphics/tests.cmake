tessel_add_tests(tessel_tests_graphics
  ${CMAKE_CURRENT_LIST_DIR}/GraphicsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_decoding_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/texture_upload_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/texture_manager_test.cpp
)
