tessel_add_bench(bench_glyph glyph_bench.cpp)
