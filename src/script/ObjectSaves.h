#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/SaveStream.h"
#include "script/EngineObject.h"

namespace tessel {

// Rebuilding engine objects from a save. Each subsystem registers, for each
// kind of object it owns (EngineObject::SaveKind), a reader that parses and
// checks what SaveState wrote and returns the step that builds the object --
// or an empty function after reader.Fail(why). Nothing is built while reading,
// so a refused load leaves the running game alone.
using ObjectBuilder = std::function<std::unique_ptr<EngineObject>()>;
using ObjectReader = std::function<ObjectBuilder(SaveReader&)>;
void RegisterObjectKind(const std::string& kind, ObjectReader read);

// A save section holding every live object of those kinds, oldest first, each
// rebuilt under its own id. A builder may give nothing (the id then stays dead).
void RegisterObjectSection(const std::string& tag, int order, std::vector<std::string> kinds);

// Steps of the reset that clears the running game before a loaded one is
// built: `before` runs while every object still lives (stop what would call
// scripts or play on when its objects go), `after` once all are released.
// A step is named by its subsystem; adding one of the same name replaces it.
void AddSaveResetStep(const std::string& name, std::function<void()> before,
                      std::function<void()> after = {});

// The reset section (order 0): the next handle id, then the steps above and
// the release of every object.
void RegisterScriptSaveSections();

}  // namespace tessel
