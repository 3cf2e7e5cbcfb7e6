#include "BenchSupport.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "app/ScriptApi.h"
#include "app/Window.h"
#include "script/ScriptHost.h"
#include "text/Font.h"
#include "text/FontLookup.h"

namespace tessel::bench {

bool StartWindow(int* argc, char** argv, int width, int height, bool fonts) {
  benchmark::Initialize(argc, argv);
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  if (SDL_Init(SDL_INIT_VIDEO) != 0 || (fonts && TTF_Init() != 0)) {
    std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    return false;
  }
  std::fflush(stdout);
  InitWindow(width, height);
  return true;
}

std::unique_ptr<ScriptApi> OpenScriptWithCommands() {
  Host().Open();
  std::string names;
  for (const char* name : ScriptApi::CommandNames()) names += std::string(name) + " " + name + "\n";
  return std::make_unique<ScriptApi>(names);
}

std::shared_ptr<FontData> OpenStoryFont(int size) {
  std::optional<FontFile> gothic = FontconfigFamily("VL Gothic");
  if (!gothic) {
    std::fprintf(stderr, "VL Gothic is not installed (fonts-vlgothic)\n");
    return nullptr;
  }
  std::shared_ptr<FontData> font = Font::Open(gothic->path, size)->Data();
  return font->HasFace() ? font : nullptr;
}

double WallMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  const auto at = values.begin() + static_cast<long>(fraction * (values.size() - 1));
  std::nth_element(values.begin(), at, values.end());
  return *at;
}

}  // namespace tessel::bench
