// Graphics costs, each measured against its own baseline in one run:
//   1. drawing 1,000 visible 1x1 layers against a raw immediate-mode loop
//      issuing the same state and vertices (within 1.25x), and what 100,000
//      empty slots (slots are never removed) cost a frame (at most 0.5 ms);
//   2. a Lua loop of ChgLayerAlpha with 10 and with 10,000 live objects (within 1.5x);
//   3. heap allocations of a dispatch pass with 100 running fades (none);
//   4. UpdateRegion of a 32x32 glyph into a 256² and a 2048² page (within 1.5x).
#include <SDL.h>
#include <SDL_opengl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "app/ScriptApi.h"
#include "app/Window.h"
#include "event/EventHandler.h"
#include "graphics/Layer.h"
#include "graphics/LayerEffect.h"
#include "graphics/LayerTable.h"
#include "graphics/Renderer.h"
#include "graphics/Surface.h"
#include "graphics/TexImage.h"
#include "script/ScriptHost.h"

// Counts every C++ heap allocation of the process. The replacements pair
// malloc with free themselves, which GCC cannot see through.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
static std::atomic<long long> g_allocations{0};

void* operator new(std::size_t size) {
  ++g_allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace tessel {
namespace {

constexpr int kLayers = 1000;

std::shared_ptr<Texture> OnePixel() {
  SurfacePtr pixel = CreateRgbaSurface(1, 1);
  SDL_FillRect(pixel.get(), nullptr, 0xFFFFFFFF);
  return std::make_shared<Texture>(pixel.get());
}

// Wall-clock microseconds (bench::WallMicroseconds): the software renderer
// works on threads of its own, and per-thread CPU clocks are too coarse here
// for microsecond work.
using bench::WallMicroseconds;

// Each pair of measurements runs back to back within one iteration, each
// side going first every other time (whichever goes first is slower here).
// The ratio is the median of the per-iteration ratios: a burst of other load
// on the machine lands on both sides of a pair or spoils one pair only.
struct Pair {
  std::vector<double> a;
  std::vector<double> b;
  void A(double microseconds) { a.push_back(microseconds); }
  void B(double microseconds) { b.push_back(microseconds); }
  static double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
  }
  void Report(benchmark::State& state, const char* a_name, const char* b_name) const {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
      if (b[i] > 0) ratios.push_back(a[i] / b[i]);
    }
    state.counters[a_name] = Median(a);
    state.counters[b_name] = Median(b);
    state.counters["ratio"] = Median(ratios);
  }
};

void DrawFrameOfLayers() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Begin2D();
  DrawLayers();
  End2D();
  glFinish();
}

// The same GL state and vertices as 1,000 default layers, issued directly.
void DrawFrameRaw(GLuint texture) {
  SDL_Surface* screen = SDL_GetVideoSurface();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glViewport(0, 0, screen->w, screen->h);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, screen->w, screen->h, 0, -100000, 100000);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  for (int i = 0; i < kLayers; ++i) {
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4d(1.0, 1.0, 1.0, 1.0);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glPushMatrix();
    glTranslated(i % 64, i / 64, 0);
    glTranslated(0, 0, 0);
    glScaled(1, 1, 1);
    glRotated(0, 1, 0, 0);
    glRotated(0, 0, 1, 0);
    glRotated(0, 0, 0, 1);
    glTranslated(0, 0, 0);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0, 0);
    glVertex2d(0, 0);
    glTexCoord2f(1, 0);
    glVertex2d(1, 0);
    glTexCoord2f(0, 1);
    glVertex2d(0, 1);
    glTexCoord2f(1, 1);
    glVertex2d(1, 1);
    glEnd();
    glPopMatrix();
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
  }
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glPopMatrix();
  glPopAttrib();
  glFinish();
}

void BM_LayersVersusRawFrame(benchmark::State& state) {
  std::shared_ptr<Texture> texture = OnePixel();
  LayerTable::Reset();
  std::vector<std::unique_ptr<Layer>> placed;
  for (int i = 0; i < kLayers; ++i) {
    placed.push_back(std::make_unique<Layer>(texture));
    placed.back()->SetOffset(i % 64, i / 64);
    LayerTable::AddFront(placed.back().get());
  }
  Pair pair;
  bool layers_first = true;
  auto layers = [&] {
    const double start = WallMicroseconds();
    DrawFrameOfLayers();
    pair.A(WallMicroseconds() - start);
  };
  auto raw = [&] {
    const double start = WallMicroseconds();
    DrawFrameRaw(texture->Name());
    pair.B(WallMicroseconds() - start);
  };
  for (auto _ : state) {
    if (layers_first) {
      layers();
      raw();
    } else {
      raw();
      layers();
    }
    layers_first = !layers_first;
  }
  pair.Report(state, "layers us", "raw us");
  LayerTable::Reset();
}
BENCHMARK(BM_LayersVersusRawFrame)->MinTime(2.0)->Unit(benchmark::kMillisecond);

// What empty slots alone cost a frame: the table walk that skips them.
void BM_EmptySlots(benchmark::State& state) {
  LayerTable::Reset();
  auto filler = std::make_unique<Layer>(OnePixel());
  for (int i = 0; i < state.range(0); ++i) LayerTable::AddFront(filler.get());
  LayerTable::Remove(filler.get());
  for (auto _ : state) {
    Begin2D();
    DrawLayers();
    End2D();
  }
  LayerTable::Reset();
}
BENCHMARK(BM_EmptySlots)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The same Lua loop with 10 live objects, then with 10,000.
void BM_ChgLayerAlphaLoop(benchmark::State& state) {
  Host().RunBuffer(
      "t = LoadTexImage(1, 1) L = CreateLayer(t)"
      " for i = 3, 10 do CreateLayer(t) end"
      " function loop() for i = 1, 1000 do ChgLayerAlpha(L, 0.5) end end");
  auto texture = OnePixel();
  std::vector<Layer*> crowd;
  Pair pair;
  // The first loop after making or freeing 10,000 objects runs slow for
  // reasons of the machine, not of the lookup; an untimed loop goes first.
  auto timed_loop = [] {
    Host().CallFunction("loop");
    const double start = WallMicroseconds();
    Host().CallFunction("loop");
    return WallMicroseconds() - start;
  };
  for (auto _ : state) {
    pair.B(timed_loop());
    for (int i = 10; i < 10000; ++i)
      crowd.push_back(Registry().Add(std::make_unique<Layer>(texture)));
    pair.A(timed_loop());
    for (Layer* layer : crowd) Registry().Release(layer);
    crowd.clear();
  }
  pair.Report(state, "10000 objects us", "10 objects us");
  Registry().ReleaseAll();
}
BENCHMARK(BM_ChgLayerAlphaLoop)->Iterations(200)->Unit(benchmark::kMicrosecond);

void BM_DispatchWithFades(benchmark::State& state) {
  auto texture = OnePixel();
  auto* layer = Registry().Add(std::make_unique<Layer>(texture));
  for (int i = 0; i < 100; ++i) {
    // Long enough never to end during the run.
    Registry().Add(std::make_unique<FadeEffect>(*layer, 1 << 30, false, i % 2 == 0))->Start();
  }
  DispatchEvents();
  long long allocations = 0;
  for (auto _ : state) {
    const long long before = g_allocations.load();
    DispatchEvents();
    allocations += g_allocations.load() - before;
  }
  state.counters["allocations per pass"] =
      static_cast<double>(allocations) / static_cast<double>(state.iterations());
  Registry().ReleaseAll();
}
BENCHMARK(BM_DispatchWithFades)->Unit(benchmark::kMicrosecond);

// A 32x32 glyph into a 2048² page, then into a 256² page.
void BM_UpdateRegion(benchmark::State& state) {
  Texture small(256, 256);
  Texture large(2048, 2048);
  SurfacePtr glyph = CreateRgbaSurface(32, 32);
  SDL_FillRect(glyph.get(), nullptr, 0x80FFFFFF);
  int x = 0;
  Pair pair;
  auto update = [&](Texture& page) {
    const double start = WallMicroseconds();
    for (int i = 0; i < 8; ++i) page.UpdateRegion(glyph.get(), x + 32 * i, 64);
    return WallMicroseconds() - start;
  };
  for (auto _ : state) {
    if (x % 2 == 0) {
      pair.A(update(large));
      pair.B(update(small));
    } else {
      pair.B(update(small));
      pair.A(update(large));
    }
    x = (x + 1) % 16;
  }
  glFinish();
  pair.Report(state, "2048 page us", "256 page us");
}
BENCHMARK(BM_UpdateRegion)->Unit(benchmark::kMicrosecond);

// Keeps every run's counters for the summary printed at the end.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      times[run.benchmark_name()] = run.GetAdjustedRealTime();
      for (const auto& [name, counter] : run.counters) {
        counters[run.benchmark_name() + " " + name] = counter.value;
      }
    }
  }
  std::map<std::string, double> times;
  std::map<std::string, double> counters;
};

}  // namespace
}  // namespace tessel

int main(int argc, char** argv) {
  using namespace tessel;
  if (!bench::StartWindow(&argc, argv, 320, 240, false)) return 1;
  std::unique_ptr<ScriptApi> api = bench::OpenScriptWithCommands();

  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  // A counter ("name counter") or a time ("name"); names may carry "/min_time:..".
  auto find = [&](const std::string& benchmark, const std::string& counter, double* value) {
    for (const auto& [key, v] : counter.empty() ? reporter.times : reporter.counters) {
      const bool named = key.rfind(benchmark, 0) == 0;
      const bool ends = counter.empty() ||
                        (key.size() > counter.size() &&
                         key.compare(key.size() - counter.size(), counter.size(), counter) == 0);
      if (named && ends) {
        *value = v;
        return true;
      }
    }
    return false;
  };
  auto line = [&](const std::string& benchmark, const std::string& counter, const char* what,
                  double limit, const char* unit) {
    double value = 0;
    if (!find(benchmark, counter, &value)) return;
    const double shown = std::string(unit) == "ms" ? value / 1000.0 : value;
    std::printf("%-52s %8.3f%s (limit %.2f%s) %s\n", what, shown, unit, limit, unit,
                shown <= limit ? "ok" : "OVER");
  };
  std::printf("\n");
  line("BM_LayersVersusRawFrame", " ratio", "1,000 layers drawn / raw immediate mode", 1.25, "x");
  line("BM_EmptySlots/100000", "", "100,000 empty slots add per frame", 0.5, "ms");
  line("BM_ChgLayerAlphaLoop", " ratio", "ChgLayerAlpha loop, 10,000 / 10 live objects", 1.5, "x");
  line("BM_DispatchWithFades", " allocations per pass", "heap allocations per pass, 100 fades", 0,
       "");
  line("BM_UpdateRegion", " ratio", "UpdateRegion 32x32 glyph, 2048^2 / 256^2 page", 1.5, "x");

  api.reset();
  Host().Close();
  Registry().ReleaseAll();
  SDL_Quit();
  return 0;
}
