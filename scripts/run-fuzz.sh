#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a short time on
# its corpus (fuzz/corpus/<target>). Usage: run-fuzz.sh [seconds per target] [target...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-10}
shift || true
build_dir="$root/build/fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug \
  -DTESSEL_BUILD_TESTS=OFF -DTESSEL_BUILD_FUZZ=ON >/dev/null
cmake --build "$build_dir" --target fuzz_all -j"$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(find "$build_dir/fuzz" -maxdepth 1 -type f -executable -name 'fuzz_*' -printf '%f\n' | sort)
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in "${targets[@]}"; do
  corpus="$work/$target"
  mkdir -p "$corpus"
  if [ -d "$root/fuzz/corpus/$target" ]; then cp -r "$root/fuzz/corpus/$target/." "$corpus/"; fi
  echo "fuzz: $target for ${seconds}s"
  (cd "$work" && "$build_dir/fuzz/$target" -max_total_time="$seconds" -print_final_stats=0 \
     -error_exitcode=77 "$corpus" >"$work/$target.log" 2>&1) || {
    tail -50 "$work/$target.log"
    echo "fuzz: $target FAILED"
    exit 1
  }
done
echo "fuzz: ${#targets[@]} passed, 0 failed"
