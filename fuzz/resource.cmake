tessel_add_fuzzer(fuzz_archive archive_fuzz.cpp tessel_resource)
# The reference lookup the index is checked against lives with the tests.
target_include_directories(fuzz_archive PRIVATE ${PROJECT_SOURCE_DIR}/tests)
