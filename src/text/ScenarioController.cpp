#include "text/ScenarioController.h"

#include "script/Boot.h"
#include "script/ScriptApi.h"
#include "script/ScriptHost.h"

namespace tessel {
namespace {
std::unique_ptr<ScenarioController>& Slot() {
  static std::unique_ptr<ScenarioController> controller;
  return controller;
}
}  // namespace

ScenarioController& ScenarioController::Create() {
  Slot().reset();
  Slot().reset(new ScenarioController());
  return *Slot();
}

ScenarioController* ScenarioController::Instance() { return Slot().get(); }

void ScenarioController::Destroy() { Slot().reset(); }

ScenarioController::ScenarioController() { Host().Open(); }

ScenarioController::~ScenarioController() {
  Host().Close();
  api_.reset();
}

bool ScenarioController::Boot() { return BootGame(*this); }

void ScenarioController::SetApi(std::unique_ptr<ScriptApi> api) { api_ = std::move(api); }

void ScenarioController::Step() {
  if (waiting_) {
    if (wait_until_ >= stopwatch_.Measure()) return;
    // The wait is over. Running keeps its value: a Stop made during the wait
    // (a key wait begun by a callback) must not be undone here.
    waiting_ = false;
    return;
  }
}

void ScenarioController::Wait(int milliseconds) {
  if (milliseconds <= 0) return;
  wait_until_ = static_cast<std::uint32_t>(milliseconds) + stopwatch_.Measure();
  waiting_ = true;
}

void ScenarioController::AttachListener(SystemScenarioListener*) {}
void ScenarioController::DetachListener(SystemScenarioListener*) {}

}  // namespace tessel
