#include "graphics/LayerEffect.h"

#include "core/SceneChanges.h"
#include "graphics/Layer.h"
#include "script/ScriptHost.h"

namespace tessel {
namespace {

void CallIfNamed(const std::string& name) {
  if (!name.empty() && Host().IsOpen()) Host().CallFunction(name);
}

}  // namespace

LayerEffect::LayerEffect(const Layer& layer, int duration, bool skippable)
    : LayerEffect(layer.Handle(), duration, skippable) {}

LayerEffect::LayerEffect(const void* layer_handle, int duration, bool skippable)
    : skippable_(skippable),
      duration_(duration > 0 ? static_cast<std::uint32_t>(duration) : 0),
      layer_(layer_handle) {}

void LayerEffect::Resume(std::uint32_t elapsed, bool skip_requested, bool armed) {
  stopwatch_.Restart();
  stopwatch_.Rewind(elapsed);
  skip_requested_ = skip_requested;
  armed_ = armed;
}

void LayerEffect::Start() {
  EventHandlerList::Add(this);
  stopwatch_.Restart();
  OnStart();
}

void LayerEffect::Stop() {
  skippable_ = true;
  skip_requested_ = true;
}

void LayerEffect::RequestSkip() {
  if (armed_) skip_requested_ = true;
}

bool LayerEffect::OnKeyDown(const SDL_keysym&) {
  RequestSkip();
  return true;
}

bool LayerEffect::OnMouseButtonUp(std::uint8_t, std::uint16_t, std::uint16_t) {
  RequestSkip();
  return true;
}

bool LayerEffect::OnIdle() {
  armed_ = true;
  // Also its last step, after which it is gone: that frame must be drawn.
  NoteSceneChange();
  Layer* layer = Registry().Find<Layer>(layer_);
  if (layer == nullptr) {
    Finish();
    return false;
  }
  const std::uint32_t elapsed = stopwatch_.Measure();
  if ((skippable_ && skip_requested_) || elapsed >= duration_) {
    Apply(*layer, duration_);
    Finish();
  } else {
    Apply(*layer, elapsed);
  }
  return false;
}

void LayerEffect::End() {
  if (ended_) return;
  ended_ = true;
  OnEnd();
}

void LayerEffect::Finish() {
  End();
  Registry().Release(this);
}

void FadeEffect::Apply(Layer& layer, std::uint32_t elapsed) {
  const std::uint32_t duration = Duration();
  if (duration == 0) {
    layer.SetAlpha(fade_in_ ? 1.0 : 0.0);
    return;
  }
  const std::uint32_t shown = fade_in_ ? elapsed : duration - elapsed;
  layer.SetAlpha(static_cast<double>(shown) / static_cast<double>(duration));
}

ScriptEffect::ScriptEffect(const Layer& layer, int duration, bool skippable, std::string start,
                           std::string frame, std::string end)
    : ScriptEffect(layer.Handle(), duration, skippable, std::move(start), std::move(frame),
                   std::move(end)) {}

void ScriptEffect::OnStart() { CallIfNamed(start_); }

void ScriptEffect::OnEnd() { CallIfNamed(end_); }

void ScriptEffect::Apply(Layer& layer, std::uint32_t elapsed) {
  if (frame_.empty() || !Host().IsOpen()) return;
  ScriptHost& host = Host();
  host.PrepareCall(frame_, 3);
  host.PushPointer(layer.Handle());
  host.PushNumber(static_cast<double>(Duration()));
  host.PushNumber(static_cast<double>(elapsed));
  host.Call();
}

}  // namespace tessel
