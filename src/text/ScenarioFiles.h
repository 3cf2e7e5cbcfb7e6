#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "text/LuaStringTracker.h"
#include "text/ScenarioListener.h"

namespace tessel {

class Scenario;

// The bridge from scenario text to the script host: runs script blocks as Lua
// and enters the files that call lines name. Lets every token pass on.
class SystemScenarioListener : public ScenarioListener {
 public:
  bool OnScriptBlock(const std::u16string& text, int line) override;
  bool OnCall(const std::u16string& name) override;
};

// Reads a scenario file by name (archives, then the base directory); nullptr,
// after its message, when it is found nowhere.
std::unique_ptr<Scenario> LoadScenarioFile(const std::string& name);

// The byte name under which a file named in scenario text (a call line or a
// choice target) is opened: its Shift-JIS bytes when the name goes beyond
// ASCII and a resource of that name exists (archives made on Japanese systems
// store those), its UTF-8 bytes otherwise. Looks in the mounted archives and
// the base directory; tessel-check resolves names through it too.
std::string ScenarioFileName(std::u16string_view name);

// A file named in scenario text, opened under ScenarioFileName. Writes the
// reading messages; nullptr when it exists nowhere.
std::unique_ptr<Scenario> LoadScenarioByTextName(std::u16string_view name);

// The Lua chunk of a script block that begins on the 0-based line
// `first_line` of its file: the lines before it are padded as empty lines, so
// that Lua's messages count the scenario file's own lines ("main.tsl:14: ...").
std::string ScriptBlockChunk(std::string_view utf8_code, int first_line);
// The chunk name under which a block of `file` runs; Lua shows it as it is.
std::string ScriptBlockChunkName(const std::string& file);

// Runs a scenario's script block with error messages naming the file and the
// line of the scenario; a block that does not compile is told what the
// reader's cutting of it (`marks`) may have broken.
void RunScriptBlock(const std::string& utf8_code, const std::string& file, int first_line,
                    const ScriptBlockMarks& marks = {});

}  // namespace tessel
