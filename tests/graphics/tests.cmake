tessel_add_tests(tessel_tests_graphics
  ${CMAKE_CURRENT_LIST_DIR}/GraphicsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_decoding_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PictureVariants.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hostile_image_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/texture_upload_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/texture_manager_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/layer_table_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/layer_drawing_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/layer_effect_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bad_handle_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graphics_save_test.cpp
)
# The end-to-end test reads another process's window back from the X server,
# so no other test may open a window over it while it runs.
tessel_add_tests(tessel_tests_graphics_e2e SERIAL
  ${CMAKE_CURRENT_LIST_DIR}/GraphicsTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImageFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graphics_e2e_test.cpp
)
