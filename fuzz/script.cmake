tessel_add_fuzzer(fuzz_function_name_list
  function_name_list_fuzz.cpp
  ${SRC}/script/FunctionNameList.cpp)
