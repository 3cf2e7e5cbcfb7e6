# Shipping end to end: install and package, a bundle played in an empty
# folder, and the editor support files. The first two open windows on the
# shared X screen, hence RUN_SERIAL.
add_test(NAME shipping.install_and_package
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/install_package_test.sh ${PROJECT_BINARY_DIR})
add_test(NAME shipping.bundle_plays_in_an_empty_folder
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/bundle_test.sh $<TARGET_FILE:tessel-bundle>
          ${PROJECT_BINARY_DIR}/demo_stage)
set_tests_properties(shipping.install_and_package shipping.bundle_plays_in_an_empty_folder
  PROPERTIES RUN_SERIAL TRUE TIMEOUT 600)
add_test(NAME shipping.editor_support
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/editor_test.py ${PROJECT_SOURCE_DIR}/tools/editor)
