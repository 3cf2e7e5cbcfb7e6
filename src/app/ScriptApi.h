#pragma once

#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "script/ScriptFunction.h"

namespace tessel {

// Owns the 60 command objects, and those of the extension families, and
// registers each as a global of the Lua state under the name the
// function-name list gives it.
class ScriptApi {
 public:
  static constexpr std::size_t kCommandCount = 60;
  // Internal names in registration order.
  static const std::array<const char*, kCommandCount>& CommandNames();
  // The extension commands' internal names, family by family: registered
  // after the 60 and renamable the same way, but never required by the list.
  static const std::vector<const char*>& ExtensionNames();

  explicit ScriptApi(std::string_view function_name_list);
  ScriptApi(const ScriptApi&) = delete;
  ScriptApi& operator=(const ScriptApi&) = delete;
  virtual ~ScriptApi();

  ScriptFunction* Find(std::string_view internal_name) const;

 private:
  // In CommandNames() order, then in ExtensionNames() order.
  std::vector<std::unique_ptr<ScriptFunction>> commands_;
};

}  // namespace tessel
