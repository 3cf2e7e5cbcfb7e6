// The font's share of drawing one character of the story: glyph metrics and
// the rendering of a 32 px CJK glyph (VL Gothic) into its surface, with a GL
// window open as in the engine. The message window adds its composite and
// upload to this; the whole must stay within 0.3 ms (median).
//   BM_GlyphDistinct: a run of different kana and kanji, as story text is
//     (the renderer keeps only one glyph above U+00FF, so each is loaded anew);
//   BM_GlyphRepeated: the same glyph again and again (the cache's best case);
//   BM_GlyphBoldItalic: distinct glyphs with the bold italic style.
#include <SDL.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "text/Font.h"
#include "text/FontLookup.h"

namespace tessel {
namespace {

constexpr std::u16string_view kStory =
    u"吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした"
    u"所でニャーニャー泣いていた事だけは記憶している。吾輩はここで始めて人間というものを見た。"
    u"しかもあとで聞くとそれは書生という人間中で一番獰悪な種族であったそうだ。";

std::shared_ptr<FontData> g_font;
std::map<std::string, double> g_medians;

// One character as the message window draws it: metrics, then the glyph.
void DrawCharacters(benchmark::State& state, const char* name, std::u16string_view text,
                    int style) {
  g_font->SetStyle(style);
  std::vector<double> times;
  times.reserve(1 << 16);
  std::size_t next = 0;
  char16_t unit[2] = {0, 0};
  for (auto _ : state) {
    unit[0] = text[next];
    next = (next + 1) % text.size();
    const double start = bench::WallMicroseconds();
    std::optional<GlyphMetrics> metrics = g_font->Metrics(unit[0]);
    SurfacePtr glyph = g_font->RenderText(std::u16string_view(unit, 1));
    const double elapsed = bench::WallMicroseconds() - start;
    benchmark::DoNotOptimize(metrics);
    benchmark::DoNotOptimize(glyph.get());
    if (!metrics || !glyph) state.SkipWithError("a glyph was not drawn");
    times.push_back(elapsed);
  }
  const double median = bench::Percentile(times, 0.5);
  state.counters["median_us"] = median;
  state.counters["p90_us"] = bench::Percentile(times, 0.9);
  g_medians[name] = median;
  g_font->SetStyle(0);
}

void BM_GlyphDistinct(benchmark::State& state) { DrawCharacters(state, "BM_GlyphDistinct", kStory, 0); }
void BM_GlyphRepeated(benchmark::State& state) { DrawCharacters(state, "BM_GlyphRepeated", u"漢", 0); }
void BM_GlyphBoldItalic(benchmark::State& state) {
  DrawCharacters(state, "BM_GlyphBoldItalic", kStory, TTF_STYLE_BOLD | TTF_STYLE_ITALIC);
}

BENCHMARK(BM_GlyphDistinct)->MinTime(1.0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GlyphRepeated)->MinTime(1.0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GlyphBoldItalic)->MinTime(1.0)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tessel

int main(int argc, char** argv) {
  using namespace tessel;
  // RenderText asks GL for the largest texture, so a window is open as in the engine.
  if (!bench::StartWindow(&argc, argv, 320, 240, true)) return 1;
  g_font = bench::OpenStoryFont(32);
  if (!g_font) return 1;

  benchmark::RunSpecifiedBenchmarks();

  std::printf("\n");
  for (const auto& [name, median] : g_medians) {
    std::printf("%-40s median %7.1f us per character (metrics + render; budget with the "
                "window's composite and upload: 300 us)\n",
                name.c_str(), median);
  }
  g_font.reset();
  TTF_Quit();
  SDL_Quit();
  return 0;
}
