#pragma once

#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "script/ScriptFunction.h"

namespace tessel {

// Owns the 60 command objects and registers each as a global of the Lua state
// under the name the function-name list gives it.
class ScriptApi {
 public:
  static constexpr std::size_t kCommandCount = 60;
  // Internal names in registration order.
  static const std::array<const char*, kCommandCount>& CommandNames();

  explicit ScriptApi(std::string_view function_name_list);
  ScriptApi(const ScriptApi&) = delete;
  ScriptApi& operator=(const ScriptApi&) = delete;
  virtual ~ScriptApi();

  ScriptFunction* Find(std::string_view internal_name) const;

 private:
  std::vector<std::unique_ptr<ScriptFunction>> commands_;  // in CommandNames() order
};

}  // namespace tessel
