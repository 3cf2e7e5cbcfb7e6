#include "app/Application.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/FrameRate.h"
#include "app/SystemEventHandler.h"
#include "app/save/GameFolder.h"
#include "app/save/SaveSlots.h"
#include "app/playtest/PathRunner.h"
#include "app/playtest/Supervisor.h"
#include "core/DebugLog.h"
#include "core/ProfileTimer.h"
#include "core/SceneChanges.h"
#include "graphics/WindowSize.h"
#include "graphics/ScreenSurface.h"
#include "event/EventHandler.h"
#include "graphics/LayerEffect.h"
#include "graphics/LayerTable.h"
#include "graphics/Renderer.h"
#include "graphics/ScreenSurface.h"
#include "resource/BaseDirectory.h"
#include "script/EngineObject.h"
#include "sound/Audio.h"
#include "sound/MusicTrack.h"
#include "text/ScenarioController.h"
#include "text/ScenarioLayer.h"

namespace tessel {
namespace {

constexpr const char* kTesselVersion = TESSEL_VERSION;

bool InitMediaLayer() {
  bool ok = true;
  PrepareVideoDriver();
  if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) {
    ok = SDL_Init(SDL_INIT_VIDEO) == 0;
  } else if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
    ok = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  }
  if (TTF_WasInit() == 0) {
    TTF_Init();
    std::atexit(TTF_Quit);
  }
  return ok;
}

void ReportLinkedSdl() {
  const SDL_version* linked = SDL_Linked_Version();
  DebugLog::Print("SDL %d.%d.%d (linked)\n", linked->major, linked->minor, linked->patch);
}

bool g_power_save = false;

void SleepMilliseconds(std::uint32_t milliseconds) { SDL_Delay(milliseconds); }
std::function<void(std::uint32_t)>& Sleeper() {
  static std::function<void(std::uint32_t)> sleeper = SleepMilliseconds;
  return sleeper;
}

// The longest a sleep lasts before the event queue is looked at again, so
// that input is answered within a few milliseconds.
constexpr std::uint32_t kRestSlice = 8;

bool InputPending() {
  SDL_PumpEvents();
  SDL_Event event;
  return SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) > 0;
}

}  // namespace

void SetPowerSave(bool on) {
  g_power_save = on;
  ScenarioLayer::SetTicksBeforeDrawing(on);
}
bool PowerSave() { return g_power_save; }
void SetSleepFunction(std::function<void(std::uint32_t)> sleeper) {
  Sleeper() = sleeper ? std::move(sleeper) : SleepMilliseconds;
}

std::uint32_t QuietMilliseconds(std::uint32_t until_frame_end) {
  if (until_frame_end == 0) return 0;
  std::uint32_t quiet = until_frame_end;
  if (ScenarioController* controller = ScenarioController::Instance()) {
    if (controller->Running() && !controller->MainScenarioEnded()) {
      // Reading tokens needs every pass; a timed pause may be slept through,
      // but not beyond its end, so text types at the same moments.
      if (!controller->Waiting()) return 0;
      quiet = std::min(quiet, controller->WaitRemaining());
    }
  }
  // Effects (also the scripted ones) and a music start waiting on a fade
  // step on every pass.
  bool busy_handler = false;
  EventHandlerList::ForEach([&busy_handler](EventHandler& handler) {
    if (dynamic_cast<LayerEffect*>(&handler) != nullptr) busy_handler = true;
  });
  if (busy_handler || MusicTrack::Get().Pending() != nullptr) return 0;
  return std::min(quiet, kRestSlice);
}

void WaitFrame() {
  for (;;) {
    const std::uint32_t elapsed = FrameClock().Measure();
    DispatchEvents();
    // A load a script asked for is put in place before anything more runs
    // or is drawn (the frame loop does it at once).
    if (elapsed > FrameThreshold() || LoadPending()) break;
    if (!g_power_save) continue;
    const std::uint32_t now = FrameClock().Measure();
    if (now > FrameThreshold()) continue;
    const std::uint32_t rest = QuietMilliseconds(FrameThreshold() + 1 - now);
    if (rest > 0 && !InputPending()) Sleeper()(rest);
  }
}

void DrawFrame() {
  const Color& color = BaseColor();
  glClearColor(static_cast<float>(color.red), static_cast<float>(color.green),
               static_cast<float>(color.blue), static_cast<float>(color.alpha));
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Begin2D();
  DrawLayers();
  End2D();
}

namespace {
void TickShownWindows() {
  // By index, reading each slot afresh, as the drawing does: a tick may add
  // or release layers.
  const auto& slots = LayerTable::Slots();
  for (std::size_t i = 0; i < slots.size(); ++i) {
    auto* window = dynamic_cast<ScenarioLayer*>(slots[i]);
    if (window != nullptr && window->Visible()) window->TickKeyWait();
  }
}
}  // namespace

bool FrameRepeatsLast(FrameMemory& memory) {
  if (!g_power_save) return false;
  // The key-wait ticks run on every frame, drawn or not, so a marker that
  // changes a few times a second costs a few frames, not sixty.
  TickShownWindows();
  bool moving = false;
  EventHandlerList::ForEach([&moving](EventHandler& handler) {
    if (dynamic_cast<LayerEffect*>(&handler) != nullptr) moving = true;
  });
  if (!moving && memory.drawn && memory.changes == SceneChangeCount() &&
      memory.repeated < kLongestRepeat) {
    ++memory.repeated;
    return true;
  }
  memory.repeated = 0;
  return false;
}

void RunFrameLoop(const std::function<bool()>& running, FrameProfile& profile) {
  FrameMemory memory;
  while (running() && ScreenSurface::Get() != nullptr) {
    profile.process.Begin();
    FrameClock().Restart();
    ApplyPendingLoad();
    profile.gp.Begin();
    if (!FrameRepeatsLast(memory)) {
      DrawFrame();
      SDL_GL_SwapBuffers();
      // What the drawing itself ran (a tick callback's commands) counts too.
      memory.changes = SceneChangeCount();
      memory.drawn = true;
    }
    profile.gp.End();
    profile.ep.Begin();
    WaitFrame();
    profile.ep.End();
    profile.process.End();
  }
}

namespace {

// Settings from the command line, the media layer and the audio device: all
// a game needs before it boots. Exits when the media layer cannot start.
void StartEngine(const CommandLine& line, const char* program) {
  if (line.path_result) {
    // A path plays many times faster than real time: no one wants to hear it.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
  }
  SetPowerSave(line.power_save && !line.path_result);
  SetBaseDirectory(program);
  if (line.game_path) SetBaseDirectory(GameDirectory(*line.game_path));
  if (line.save_dir) {
    SetSaveDirOverride(*line.save_dir);
  } else if (line.path_result) {
    // A play-test never touches the player's own saves.
    SetSaveDirOverride(std::filesystem::path(*line.path_result).parent_path().string() + "/data");
  }
  SDL_EnableUNICODE(1);
  SetFrameRate(60);
  DebugLog::Banner("System Initialization.\n");
  if (!InitMediaLayer()) {
    std::fprintf(stderr, "Couldn't initialize SDL: %s.\n", SDL_GetError());
    std::exit(1);
  }
  DebugLog::Banner("System Initialization OK.\n");
  ReportLinkedSdl();
  OpenAudio();
  std::fflush(stdout);
}

// A booted game, played until it quits. Returns the exit status.
int PlayStory(SystemEventHandler& system) {
  // Scripts open the window; until then the story steps but nothing is drawn.
  while (ScreenSurface::Get() == nullptr && system.Running()) {
    FrameClock().Restart();
    WaitFrame();
    ApplyPendingLoad();
    if (!system.Running()) break;  // a quit before any window: report and end normally
    ScenarioController* controller = ScenarioController::Instance();
    if (controller != nullptr && controller->MainScenarioEnded() &&
        ScreenSurface::Get() == nullptr) {
      // Nothing is left to open one: waiting on would spin forever.
      DebugLog::Print("main.tsl ended without opening a window (InitWindow was never called); "
                      "nothing to show.\n");
      return 1;
    }
  }
  FrameProfile profile;
  RunFrameLoop([&system] { return system.Running(); }, profile);
  WriteProfileReport(profile.process, profile.gp, profile.ep);
  return 0;
}

}  // namespace

Application::~Application() {
  SDL_Quit();
  TTF_Quit();
}

int Application::Run(int argc, char** argv) {
  // The log and Lua's print share stdout; line buffering keeps their order in
  // a pipe and what was written before a crash.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);

  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const char* power_env = std::getenv("TESSEL_POWER_SAVE");
  CommandLine line =
      ParseCommandLine(arguments, power_env != nullptr && std::string(power_env) == "1");
  if (!line.error.empty()) {
    std::fprintf(stderr, "tessel: %s\n", line.error.c_str());
    return 2;
  }
  if (line.show_help) {
    std::fputs(UsageText(), stdout);
    return 0;
  }
  if (line.show_version) {
    std::printf("tessel %s\n", kTesselVersion);
    return 0;
  }
  const char* program = argc > 0 && argv[0] != nullptr ? argv[0] : "";
  if (line.autoplay && !line.path_result) return RunAutoplay(line, program);
  StartEngine(line, program);

  int status = 0;
  {
    // Made before the boot, so that its reads and problems are seen.
    std::unique_ptr<AutoplayPath> path;
    if (line.path_result) path = std::make_unique<AutoplayPath>(line);
    SystemEventHandler system;
    EventHandlerList::Add(&system);

    if (path) {
      status = path->Run(system);
    } else if (!system.Booted()) {
      DebugLog::Print("No game found: Tessel needs funcdef.tsl and main.tsl (loose or in main.dat) in "
                      "'%s'. Start it as: tessel path/to/game/main.tsl\n",
                      BaseDirectory().empty() ? "." : BaseDirectory().c_str());
      status = 1;
    } else {
      status = PlayStory(system);
    }

    ScenarioController::Destroy();
    Registry().ReleaseAll();
    CloseAudio();
    EventHandlerList::Remove(&system);
  }
  std::fflush(stdout);
  return status;
}

}  // namespace tessel
