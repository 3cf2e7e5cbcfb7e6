#pragma once

#include <string>

#include "core/Clock.h"

namespace tessel {

// The three script functions that animate the key-wait marker, called by
// name ("f", "Table.f" or "Table:m"): begin with the marker's screen position
// when a key wait starts, tick on every drawn frame of the wait with the
// position and the milliseconds since the marker was placed, end when the
// wait is over. An empty name switches that call off.
class KeyWaitCallbacks {
 public:
  void Set(std::string begin, std::string tick, std::string end, int marker_width);

  int MarkerWidth() const { return marker_width_; }
  int X() const { return x_; }
  int Y() const { return y_; }
  const std::string& BeginName() const { return begin_; }
  const std::string& TickName() const { return tick_; }
  const std::string& EndName() const { return end_; }

  // Milliseconds since the marker was placed, and a loaded game's marker
  // placed that long ago.
  std::uint32_t SincePlaced() const { return Ticks() - stopwatch_.Start(); }
  void Restore(int x, int y, std::uint32_t since_placed) {
    Place(x, y);
    stopwatch_.Rewind(since_placed);
  }
  // Moves the marker (screen pixels) and restarts its stopwatch.
  void Place(int x, int y);

  void CallBegin();
  void CallTick();
  void CallEnd();

 private:
  std::string begin_;
  std::string tick_;
  std::string end_;
  int marker_width_ = 0;
  int x_ = 0;
  int y_ = 0;
  Stopwatch stopwatch_;
};

}  // namespace tessel
