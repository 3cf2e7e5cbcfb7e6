#include "text/ScenarioFiles.h"

#include <SDL.h>

#include "core/DebugLog.h"
#include "core/PlayMonitor.h"
#include "resource/ResourceFile.h"
#include "script/ScriptHost.h"
#include "text/Encoding.h"
#include "text/Scenario.h"
#include "text/ScenarioController.h"
#include "text/ScenarioReader.h"

namespace tessel {

std::unique_ptr<Scenario> LoadScenarioFile(const std::string& name) {
  DebugLog::Print("Reading Script %s\n", name.c_str());
  std::optional<std::string> bytes = ReadResource(name);
  if (!bytes) {
    DebugLog::Print("Error : %s doesn't exist.\n", name.c_str());
    NoteProblem(ProblemKind::kMissingFile, "scenario file '" + name + "' does not exist");
    return nullptr;
  }
  std::unique_ptr<Scenario> scenario = Scenario::FromFileBytes(*bytes);
  scenario->name = name;
  DebugLog::Print("Reading Script %s OK.\n", name.c_str());
  NoteScenarioRead(name);
  return scenario;
}

std::string ScenarioFileName(std::u16string_view name) {
  bool ascii = true;
  for (char16_t unit : name) ascii = ascii && unit < 0x80;
  if (!ascii) {
    // Shift-JIS cannot spell every ASCII name ('\\' and '~' have no form), so
    // only names beyond ASCII try it, and only when such a file exists.
    const std::string shift_jis = ToShiftJis(name);
    if (SDL_RWops* stream = OpenResource(shift_jis)) {
      SDL_RWclose(stream);
      return shift_jis;
    }
  }
  return EncodeUtf8(name);
}

std::unique_ptr<Scenario> LoadScenarioByTextName(std::u16string_view name) {
  return LoadScenarioFile(ScenarioFileName(name));
}

std::string ScriptBlockChunk(std::string_view utf8_code, int first_line) {
  std::string chunk(static_cast<size_t>(first_line > 0 ? first_line : 0), '\n');
  chunk += utf8_code;
  return chunk;
}

std::string ScriptBlockChunkName(const std::string& file) { return "=" + file; }

void RunScriptBlock(const std::string& utf8_code, const std::string& file, int first_line,
                    const ScriptBlockMarks& marks) {
  Host().RunBuffer(ScriptBlockChunk(utf8_code, first_line), ScriptBlockChunkName(file),
                   BlockCompileHint(marks));
}

bool SystemScenarioListener::OnScriptBlock(const std::u16string& text, int line) {
  ScenarioController* controller = ScenarioController::Instance();
  Scenario* current = controller != nullptr && controller->Reader() != nullptr
                          ? controller->Reader()->Current()
                          : nullptr;
  std::string code = EncodeUtf8(text);
  std::string file = current != nullptr ? current->name : std::string("?");
  if (current != nullptr) current->script_text_utf8 = code;
  RunScriptBlock(code, file, line, current != nullptr ? current->script_marks : ScriptBlockMarks{});
  return true;
}

bool SystemScenarioListener::OnCall(const std::u16string& name) {
  ScenarioController* controller = ScenarioController::Instance();
  if (controller == nullptr || controller->Reader() == nullptr) return true;
  std::unique_ptr<Scenario> scenario = LoadScenarioByTextName(name);
  // A missing file was reported by the load; the story goes on after the call.
  if (scenario) controller->Reader()->Push(std::move(scenario));
  return true;
}

}  // namespace tessel
