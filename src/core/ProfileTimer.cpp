#include "core/ProfileTimer.h"

#include "core/DebugLog.h"

namespace tessel {

void WriteProfileReport(const ProfileTimer& process, const ProfileTimer& gp,
                        const ProfileTimer& ep) {
  const double p = process.Average();
  const double g = gp.Average();
  const double e = ep.Average();
  auto ratio = [p](double value) { return p > 0.0 ? value / p : 0.0; };
  DebugLog::Banner("Profile Result Output Begin.\n");
  DebugLog::Print(" Write profile result ( Average 1Loop).\n");
  DebugLog::Print(" Process average time [ms]   : %.15lf\n", p);
  DebugLog::Print(" Process average frate [fps] : %.15lf\n", p > 0.0 ? 1000.0 / p : 0.0);
  DebugLog::Print(" GP average time [ms]        : %.15lf\n", g);
  DebugLog::Print(" EP average time [ms]        : %.15lf\n", e);
  DebugLog::Print(" GP percentage [%%]           : %.15lf\n", ratio(g) * 100.0);
  DebugLog::Print(" EP percentage [%%]           : %.15lf\n", ratio(e) * 100.0);
  DebugLog::Print(" Number of Profiling times   : %d\n", static_cast<int>(process.Count()));
  DebugLog::Print(" Total %lf[%%]\n", ratio(g + e) * 100.0);
  DebugLog::Banner("Profile Result Output End.\n");
}

}  // namespace tessel
