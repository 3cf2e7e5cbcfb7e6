tessel_add_bench(bench_story story_bench.cpp)
