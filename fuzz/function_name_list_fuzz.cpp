// The function-name list comes from a game's files: any bytes must parse.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "script/FunctionNameList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tessel::FunctionNameList list(std::string_view(reinterpret_cast<const char*>(data), size));
  list.Load();
  for (const auto& [key, value] : list.Names()) {
    if (key.find('\n') != std::string_view::npos) __builtin_trap();
    (void)list.Lookup(key);
  }
  return 0;
}
