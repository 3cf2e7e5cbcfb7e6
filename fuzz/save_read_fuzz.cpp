// A save file read from bytes that may be damaged or hostile: it is refused,
// or every section reads cleanly and the loaded state is put in place.
//
// Input: the first byte chooses what the rest is. Even: a whole file, as on
// disk. Odd: the part after the header (summary, thumbnail, sections), given
// a correct header and checksum here, so the sections' readers are reached
// without the fuzzer having to forge a CRC-32.
//
// Saved functions are compiled Lua code, which Lua 5.1 runs unverified: a
// save is trusted like the game's own files, and this target turns their
// loading off (they read as nil), so it tests everything around them.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/save/GameFolder.h"
#include "app/save/SaveFile.h"
#include "app/save/SaveSlots.h"
#include "resource/BaseDirectory.h"
#include "script/LuaSnapshot.h"
#include "script/ScriptHost.h"
#include "text/ScenarioController.h"

namespace {

using namespace tessel;

void Setup() {
  static const bool ready = [] {
    SetBaseDirectory("/nonexistent-fuzz-game/");
    ScenarioController::Create();
    CaptureLuaBaseline(Host().State());
    PrepareSaving();
    SetGameId("fuzz");
    SetFunctionCodeLoading(false);
    return true;
  }();
  (void)ready;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Setup();
  if (size == 0) return 0;
  std::vector<std::uint8_t> rest(data + 1, data + size);
  const std::vector<std::uint8_t> bytes =
      (data[0] & 1) != 0 ? FrameSavePayload("fuzz", "0", rest) : std::move(rest);
  std::string why;
  for (const std::function<void()>& step : ReadSave(bytes, why)) step();
  return 0;
}
