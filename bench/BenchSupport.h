#pragma once

// The start-up every benchmark program shares: the media library with a GL
// window as the engine opens it, the commands under their own names, the
// story font, and the clock and percentiles the hand-timed benchmarks use.
#include <memory>
#include <vector>

namespace tessel {

class FontData;
class ScriptApi;

namespace bench {

// Reads the benchmark flags, picks Mesa's software renderer (unless the
// environment says otherwise), starts video (and the font renderer when
// `fonts`) and opens a width x height window. False, with a line on standard
// error, when any of it fails.
bool StartWindow(int* argc, char** argv, int width, int height, bool fonts);
// Opens the script host and registers every command under its own name.
std::unique_ptr<ScriptApi> OpenScriptWithCommands();
// VL Gothic at `size` pixels, or nullptr with a line on standard error.
std::shared_ptr<FontData> OpenStoryFont(int size);

double WallMicroseconds();
// The value below which `fraction` of the values lie (0.5: the median).
double Percentile(std::vector<double> values, double fraction);

}  // namespace bench
}  // namespace tessel
