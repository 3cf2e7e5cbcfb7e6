#pragma once

#include <cstdint>
#include <functional>

namespace tessel {

// The one time source of the engine: every millisecond reading (frame pacing,
// stopwatches, message speed, effects) goes through Ticks(), so tests can swap
// in a manual clock and check timed behaviour exactly.
std::uint32_t Ticks();

// Replaces the time source; an empty function restores SDL_GetTicks.
void SetTickSource(std::function<std::uint32_t()> source);

// Millisecond stopwatch on Ticks(); unsigned arithmetic, so it survives the
// 49-day wrap of the tick counter.
class Stopwatch {
 public:
  Stopwatch() : start_(Ticks()) {}
  void Restart() { start_ = Ticks(); }
  // Moves the start back, as if started `milliseconds` earlier.
  void Rewind(std::uint32_t milliseconds) { start_ -= milliseconds; }
  std::uint32_t Measure() {
    elapsed_ = Ticks() - start_;
    return elapsed_;
  }
  std::uint32_t Elapsed() const { return elapsed_; }
  std::uint32_t Start() const { return start_; }

 private:
  std::uint32_t start_ = 0;
  std::uint32_t elapsed_ = 0;
};

}  // namespace tessel
