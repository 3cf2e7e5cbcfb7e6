// The scenario layer's costs, with a GL window open as in the engine:
//   BM_DrawCharacter: one 32 px CJK character (VL Gothic) drawn into the page:
//     metrics, render, composite over the page's memory copy and upload of
//     its rectangle (budget: median 0.3 ms);
//   BM_ClearPage: a 1024 x 1024 page whose ink spans it all, blanked (5 ms);
//   BM_DrawKeyWait / BM_DrawChoices: the layer's Draw during a key wait (tick
//     callback and page quad) and with 8 choice lines (0.5 ms), counting
//     allocations made inside Draw (there should be none).
// Times are wall-clock microseconds of the call alone; GL work the driver
// defers to the frame's end is not in them (the upload copies at the call).
#include <SDL.h>
#include <SDL_opengl.h>
#include <SDL_ttf.h>
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
#include "graphics/Renderer.h"
#include "script/EngineObject.h"
#include "script/ScriptHost.h"
#include "text/Font.h"
#include "text/FontLookup.h"
#include "text/ScenarioController.h"
#include "text/ScenarioLayer.h"

namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};
}  // namespace

// Counts allocations while Draw runs; plain malloc and free underneath.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (g_counting.load(std::memory_order_relaxed)) g_allocations.fetch_add(1);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace tessel {
namespace {

constexpr std::u16string_view kStory =
    u"吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした"
    u"所でニャーニャー泣いていた事だけは記憶している。吾輩はここで始めて人間というものを見た。";

std::shared_ptr<FontData> g_main;
std::shared_ptr<FontData> g_ruby;
std::map<std::string, std::string> g_summary;

ScenarioLayer* MakeLayer(int width, int height) {
  return Registry().Add(std::make_unique<ScenarioLayer>(g_main, g_ruby, width, height));
}

void Report(benchmark::State& state, const char* name, const std::vector<double>& times,
            const char* budget) {
  const double median = bench::Percentile(times, 0.5);
  const double p90 = bench::Percentile(times, 0.9);
  state.counters["median_us"] = median;
  state.counters["p90_us"] = p90;
  char line[200];
  std::snprintf(line, sizeof line, "median %8.1f us  p90 %8.1f us  (budget %s)", median, p90,
                budget);
  g_summary[name] = line;
}

void BM_DrawCharacter(benchmark::State& state) {
  ScenarioLayer* layer = MakeLayer(1024, 1024);
  std::vector<double> times;
  std::size_t next = 0;
  for (auto _ : state) {
    if (layer->GetPen().y + 2 * layer->Box().LinePitch() > 1024) layer->ClearPage();
    const char16_t ch = kStory[next];
    next = (next + 1) % kStory.size();
    const double start = bench::WallMicroseconds();
    layer->DrawCharacter(ch, nullptr);
    times.push_back(bench::WallMicroseconds() - start);
  }
  Report(state, "BM_DrawCharacter", times, "300 us");
  Registry().Release(layer);
}

void BM_DrawCharacterWithRuby(benchmark::State& state) {
  ScenarioLayer* layer = MakeLayer(1024, 1024);
  const std::u16string ruby = u"かんじ";
  std::vector<double> times;
  std::size_t next = 0;
  for (auto _ : state) {
    if (layer->GetPen().y + 2 * layer->Box().LinePitch() > 1024) layer->ClearPage();
    const char16_t ch = kStory[next];
    next = (next + 1) % kStory.size();
    const double start = bench::WallMicroseconds();
    layer->DrawCharacter(ch, &ruby);
    times.push_back(bench::WallMicroseconds() - start);
  }
  Report(state, "BM_DrawCharacterWithRuby", times, "-");
}

void BM_ClearPage(benchmark::State& state) {
  ScenarioLayer* layer = MakeLayer(1024, 1024);
  std::vector<double> times;
  for (auto _ : state) {
    // Ink in two corners: the inked area is the whole page.
    layer->SetPen(Pen{0, layer->Box().ruby_line_skip});
    layer->DrawCharacter(u'吾', nullptr);
    layer->SetPen(Pen{1024 - 40, 1024 - 40});
    layer->DrawCharacter(u'猫', nullptr);
    const double start = bench::WallMicroseconds();
    layer->ClearPage();
    times.push_back(bench::WallMicroseconds() - start);
  }
  Report(state, "BM_ClearPage", times, "5000 us");
  Registry().Release(layer);
}

void DrawRepeatedly(benchmark::State& state, const char* name, ScenarioLayer* layer) {
  std::vector<double> times;
  times.reserve(1 << 20);
  long allocations = 0;
  long draws = 0;
  for (auto _ : state) {
    Begin2D();
    g_allocations = 0;
    g_counting = true;
    const double start = bench::WallMicroseconds();
    layer->Draw();
    const double elapsed = bench::WallMicroseconds() - start;
    g_counting = false;
    allocations += g_allocations;
    ++draws;
    End2D();
    times.push_back(elapsed);
  }
  glFinish();
  state.counters["allocations_per_draw"] = static_cast<double>(allocations) / std::max(draws, 1L);
  Report(state, name, times, "500 us");
  g_summary[name] += "  allocations per Draw: " +
                     std::to_string(static_cast<double>(allocations) / std::max(draws, 1L));
}

void BM_DrawKeyWait(benchmark::State& state) {
  ScenarioLayer* layer = MakeLayer(600, 400);
  layer->Callbacks().Set("", "tick", "", 8);
  for (char16_t ch : kStory.substr(0, 40)) layer->DrawCharacter(ch, nullptr);
  ScenarioController::Instance()->Stop();
  DrawRepeatedly(state, "BM_DrawKeyWait", layer);
  ScenarioController::Instance()->Resume();
  Registry().Release(layer);
}

void BM_DrawChoices(benchmark::State& state) {
  ScenarioLayer* layer = MakeLayer(600, 400);
  std::vector<std::u16string> texts;
  std::vector<std::u16string> targets;
  for (int i = 0; i < 8; ++i) {
    texts.push_back(u"選択肢その" + std::u16string(1, static_cast<char16_t>(u'一' + i)));
    targets.push_back(u"a.tsl");
  }
  layer->ShowChoices(texts, targets);
  DrawRepeatedly(state, "BM_DrawChoices", layer);
  ScenarioController::Instance()->Resume();
  Registry().Release(layer);
}

BENCHMARK(BM_DrawCharacter)->MinTime(1.0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawCharacterWithRuby)->MinTime(1.0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClearPage)->MinTime(1.0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawKeyWait)->MinTime(1.0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawChoices)->MinTime(1.0)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tessel

int main(int argc, char** argv) {
  using namespace tessel;
  if (!bench::StartWindow(&argc, argv, 640, 480, true)) return 1;
  ScenarioController::Create();  // opens the Lua state; Stop and Resume for the draws
  Host().RunBuffer("function tick(x, y, t) end");
  g_main = bench::OpenStoryFont(32);
  g_ruby = bench::OpenStoryFont(14);
  if (!g_main || !g_ruby) return 1;

  benchmark::RunSpecifiedBenchmarks();

  std::printf("\n");
  for (const auto& [name, line] : g_summary) std::printf("%-28s %s\n", name.c_str(), line.c_str());
  Registry().ReleaseAll();
  ScenarioController::Destroy();
  g_main.reset();
  g_ruby.reset();
  TTF_Quit();
  SDL_Quit();
  return 0;
}
