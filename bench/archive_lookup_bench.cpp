// Opening an entry by name must cost the same in an archive of 10 entries and
// one of 10,000: the names are indexed when the archive opens. Each benchmark
// iteration opens (or looks up) one entry, cycling through all of them.
#include <SDL_rwops.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "resource/Archive.h"
#include "resource/ArchiveWriter.h"

namespace {

using tessel::Archive;

struct MountedArchive {
  std::filesystem::path path;
  std::unique_ptr<Archive> archive;
  std::vector<std::string> names;

  explicit MountedArchive(int count) {
    path = std::filesystem::temp_directory_path() /
           ("tessel-bench-" + std::to_string(::getpid()) + "-" + std::to_string(count) + ".dat");
    std::vector<tessel::ArchiveSource> sources;
    for (int i = 0; i < count; ++i) {
      tessel::ArchiveSource source;
      source.name = "scenario/chapter" + std::to_string(i / 100) + "/scene" + std::to_string(i) + ".tsl";
      source.data = "entry data " + std::to_string(i);
      names.push_back(source.name);
      sources.push_back(std::move(source));
    }
    std::string error;
    if (!tessel::WriteArchive(path.string(), sources, error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      std::abort();
    }
    archive = std::make_unique<Archive>(path.string());
    if (!archive->IsOpen()) std::abort();
  }
  ~MountedArchive() {
    archive.reset();
    std::filesystem::remove(path);
  }
};

MountedArchive& ArchiveOf(int count) {
  static std::map<int, std::unique_ptr<MountedArchive>> archives;
  auto& slot = archives[count];
  if (!slot) slot = std::make_unique<MountedArchive>(count);
  return *slot;
}

// Lookup through the mount list plus the stream's own open: what every
// resource request pays.
void BM_OpenEntryByName(benchmark::State& state) {
  MountedArchive& mounted = ArchiveOf(static_cast<int>(state.range(0)));
  tessel::ArchiveList::Mount(mounted.archive.get());
  std::size_t next = 0;
  for (auto _ : state) {
    SDL_RWops* stream = tessel::ArchiveList::Find(mounted.names[next]);
    if (stream == nullptr) state.SkipWithError("entry not found");
    benchmark::DoNotOptimize(stream);
    SDL_RWclose(stream);
    if (++next == mounted.names.size()) next = 0;
  }
  tessel::ArchiveList::Unmount(mounted.archive.get());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OpenEntryByName)->Arg(10)->Arg(1000)->Arg(10000);

// The index probe alone, without the file system.
void BM_FindEntryByName(benchmark::State& state) {
  MountedArchive& mounted = ArchiveOf(static_cast<int>(state.range(0)));
  std::size_t next = 0;
  for (auto _ : state) {
    const tessel::ArchiveEntry* entry = mounted.archive->Find(mounted.names[next]);
    if (entry == nullptr) state.SkipWithError("entry not found");
    benchmark::DoNotOptimize(entry);
    if (++next == mounted.names.size()) next = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FindEntryByName)->Arg(10)->Arg(1000)->Arg(10000);

// Opening the archive reads every entry header once.
void BM_OpenArchive(benchmark::State& state) {
  MountedArchive& mounted = ArchiveOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Archive archive(mounted.path.string());
    benchmark::DoNotOptimize(archive.IsOpen());
  }
}
BENCHMARK(BM_OpenArchive)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
