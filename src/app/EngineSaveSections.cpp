#include "app/EngineSaveSections.h"

#include "app/WindowSaves.h"
#include "event/EventSaves.h"
#include "graphics/LayerSaves.h"
#include "resource/ResourceSaves.h"
#include "sound/SoundSaves.h"
#include "text/StorySaves.h"
#include "script/ObjectSaves.h"

namespace tessel {

void RegisterEngineSaveSections() {
  RegisterScriptSaveSections();
  RegisterResourceSaveSections();
  RegisterEventSaveSections();
  RegisterGraphicsSaveSections();
  RegisterSoundSaveSections();
  RegisterTextSaveSections();
  RegisterAppSaveSections();
}

}  // namespace tessel
