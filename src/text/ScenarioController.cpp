#include "text/ScenarioController.h"

#include <algorithm>

#include "core/SceneChanges.h"
#include "script/ScriptHost.h"
#include "text/Scenario.h"
#include "text/ScenarioReader.h"

namespace tessel {
namespace {
std::unique_ptr<ScenarioController>& Slot() {
  static auto& controller = *new std::unique_ptr<ScenarioController>;
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

ScenarioController::ScenarioController() {
  Host().Open();
  // Panic reports name where the story was.
  Host().SetPositionProvider([this]() -> ScriptPosition {
    if (!reader_ || reader_->Current() == nullptr) return {};
    return {reader_->CurrentName(), reader_->CurrentLine() + 1};
  });
}

ScenarioController::~ScenarioController() {
  Host().SetPositionProvider(nullptr);
  Host().Close();
  reader_.reset();
}

void ScenarioController::SetReader(std::unique_ptr<ScenarioReader> reader) {
  reader_ = std::move(reader);
}

void ScenarioController::Step() {
  if (waiting_) {
    if (wait_until_ >= stopwatch_.Measure()) return;
    // The wait is over. Running keeps its value: a Stop made during the wait
    // (a key wait begun by a callback) must not be undone here.
    waiting_ = false;
    return;
  }
  if (running_ && reader_) {
    // A story read to its end has nothing more to show.
    if (!MainScenarioEnded()) NoteSceneChange();
    reader_->Step();
  }
}

void ScenarioController::Wait(int milliseconds) {
  if (milliseconds <= 0) return;
  wait_until_ = static_cast<std::uint32_t>(milliseconds) + stopwatch_.Measure();
  waiting_ = true;
}

std::uint32_t ScenarioController::WaitRemaining() {
  if (!waiting_) return 0;
  std::uint32_t now = stopwatch_.Measure();
  return wait_until_ >= now ? wait_until_ - now + 1 : 0;
}

std::int64_t ScenarioController::WaitLeft() {
  return static_cast<std::int64_t>(wait_until_) - static_cast<std::int64_t>(stopwatch_.Measure());
}

void ScenarioController::RestorePace(bool running, bool waiting, std::int64_t wait_left) {
  // The stopwatch is set far enough from zero that a wait already over
  // still lies ahead of its start.
  constexpr std::uint32_t kOrigin = 1u << 20;
  running_ = running;
  waiting_ = waiting;
  stopwatch_.Restart();
  stopwatch_.Rewind(kOrigin);
  const std::int64_t until = std::clamp<std::int64_t>(kOrigin + wait_left, 0, UINT32_MAX);
  wait_until_ = waiting ? static_cast<std::uint32_t>(until) : 0;
}

bool ScenarioController::MainScenarioEnded() const {
  if (!reader_ || reader_->Depth() != 1 || reader_->Current() == nullptr) return false;
  return (reader_->Current()->status & Scenario::kEnd) != 0;
}

void ScenarioController::AttachListener(ScenarioListener* listener) {
  if (reader_) reader_->AddListener(listener);
}

void ScenarioController::DetachListener(ScenarioListener* listener) {
  if (reader_) reader_->RemoveListener(listener);
}

}  // namespace tessel
