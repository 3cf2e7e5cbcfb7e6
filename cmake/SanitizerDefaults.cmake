# Sanitizer builds only: the suppressions and options the test runner sets in
# the environment, compiled into a program too, so that a sanitizer build run
# outside the runner (a bundle, an unpacked package, `env -i`) reports the
# same findings. Settings in the environment still win.
function(tessel_sanitizer_defaults target)
  if(NOT TESSEL_SANITIZE)
    return()
  endif()
  set(generated ${PROJECT_BINARY_DIR}/SanitizerDefaults.cpp)
  file(READ ${PROJECT_SOURCE_DIR}/scripts/lsan.supp TESSEL_LSAN_SUPPRESSIONS)
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               ${PROJECT_SOURCE_DIR}/scripts/lsan.supp)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/SanitizerDefaults.cpp.in ${generated} @ONLY)
  target_sources(${target} PRIVATE ${generated})
endfunction()
