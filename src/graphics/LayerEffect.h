#pragma once

#include <cstdint>
#include <string>

#include "core/Clock.h"
#include "event/EventHandler.h"
#include "script/EngineObject.h"

namespace tessel {

class Layer;

// A timed change of one layer, advanced by the idle calls of the dispatch pass
// on wall-clock milliseconds. Owned by the registry; it releases itself when it
// finishes. It refers to its layer by handle, so a layer released meanwhile
// ends the effect instead of being touched.
class LayerEffect : public EventHandler, public EngineObject {
 public:
  static constexpr const char* kReleasedMessage = "This effector has already released.\n";

  // A duration of 0 or less applies the end state at the first idle call.
  LayerEffect(const Layer& layer, int duration, bool skippable);
  // On a layer known by handle only (a loaded game's effect, whose layer may
  // already be gone: it then ends at its next idle call).
  LayerEffect(const void* layer_handle, int duration, bool skippable);

  // A loaded game's effect goes on `elapsed` milliseconds in, on the clock
  // as it reads now, without calling its start function again. Joining the
  // handler list is the loader's, which keeps the saved order.
  void Resume(std::uint32_t elapsed, bool skip_requested, bool armed);
  // The game is being replaced: the effect will end without its end call.
  void Discard() { ended_ = true; }
  // Layer handle, duration, elapsed time and skip state (LayerSaves.cpp).
  void SaveState(SaveWriter& out) const override;

  // Registers with the handler list, restarts the clock, calls OnStart.
  void Start();
  // StopLayerEffect: the next idle call applies the end state and finishes.
  void Stop();

  bool OnIdle() override;
  // A key press or a button release asks to skip (when allowed) — but not the
  // very event whose handler started the effect: events reach it only after
  // its first idle call.
  bool OnKeyDown(const SDL_keysym& key) override;
  bool OnMouseButtonUp(std::uint8_t button, std::uint16_t x, std::uint16_t y) override;

  std::uint32_t Duration() const { return duration_; }
  bool Skippable() const { return skippable_; }
  bool SkipRequested() const { return skip_requested_; }
  const void* LayerHandle() const { return layer_; }

 protected:
  // The layer's state at t milliseconds, 0 <= t <= duration.
  virtual void Apply(Layer& layer, std::uint32_t elapsed) {}
  virtual void OnStart() {}
  virtual void OnEnd() {}
  // Runs OnEnd once. Final classes call it from their destructors too, as a
  // virtual call from this base's destructor would not reach them.
  void End();

 private:
  void RequestSkip();
  // End, then release through the registry; `this` is gone afterwards.
  void Finish();

  Stopwatch stopwatch_;
  bool skippable_;
  bool skip_requested_ = false;
  std::uint32_t duration_;
  const void* layer_;
  bool armed_ = false;  // has had an idle call, so events are its own to take
  bool ended_ = false;
};

// Fades the layer's alpha linearly from 0 to 1 (in) or 1 to 0 (out).
class FadeEffect final : public LayerEffect {
 public:
  static constexpr const char* kSaveKind = "fade effect";
  FadeEffect(const Layer& layer, int duration, bool skippable, bool fade_in)
      : LayerEffect(layer, duration, skippable), fade_in_(fade_in) {}
  FadeEffect(const void* layer_handle, int duration, bool skippable, bool fade_in)
      : LayerEffect(layer_handle, duration, skippable), fade_in_(fade_in) {}
  const char* SaveKind() const override { return kSaveKind; }
  void SaveState(SaveWriter& out) const override;
  ~FadeEffect() override { End(); }

 protected:
  void Apply(Layer& layer, std::uint32_t elapsed) override;

 private:
  bool fade_in_;
};

// Calls script functions by name: start once, frame with (layer, duration, t)
// on every idle call, end once. An empty name skips that call; the end
// function is not called once the Lua state is closed (shutdown).
class ScriptEffect final : public LayerEffect {
 public:
  static constexpr const char* kSaveKind = "script effect";
  ScriptEffect(const Layer& layer, int duration, bool skippable, std::string start,
               std::string frame, std::string end);
  ScriptEffect(const void* layer_handle, int duration, bool skippable, std::string start,
               std::string frame, std::string end)
      : LayerEffect(layer_handle, duration, skippable),
        start_(std::move(start)),
        frame_(std::move(frame)),
        end_(std::move(end)) {}
  const char* SaveKind() const override { return kSaveKind; }
  void SaveState(SaveWriter& out) const override;
  ~ScriptEffect() override { End(); }

 protected:
  void Apply(Layer& layer, std::uint32_t elapsed) override;
  void OnStart() override;
  void OnEnd() override;

 private:
  std::string start_;
  std::string frame_;
  std::string end_;
};

}  // namespace tessel
