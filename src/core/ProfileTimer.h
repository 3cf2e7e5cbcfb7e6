#pragma once

#include <cstdint>

#include "core/Clock.h"

namespace tessel {

// Accumulates the time of one frame phase; Average() is milliseconds per Begin.
class ProfileTimer {
 public:
  void Begin() {
    ++count_;
    watch_.Restart();
  }
  void End() { total_ += static_cast<double>(watch_.Measure()); }
  double Average() const { return count_ == 0 ? 0.0 : total_ / count_; }
  std::uint32_t Count() const { return count_; }
  double Total() const { return total_; }

 private:
  Stopwatch watch_;
  double total_ = 0.0;
  std::uint32_t count_ = 0;
};

// Writes the end-of-run report through DebugLog. With no frame (or a zero
// average) every ratio prints as 0 instead of dividing by zero.
void WriteProfileReport(const ProfileTimer& process, const ProfileTimer& gp,
                        const ProfileTimer& ep);

}  // namespace tessel
