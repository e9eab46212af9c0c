#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while.
#   scripts/fuzz.sh [seconds per target]   (default 180)
# New crash inputs are kept in fuzz/crashes/<target>/; the regression tests
# replay every file there.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-180}
build=build-fuzz
flags="-fsanitize=address,undefined,fuzzer-no-link -fno-omit-frame-pointer -fno-sanitize-recover=all"
if [ ! -f $build/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
fi
cmake --build $build --target fuzz_cdb fuzz_bmp fuzz_ini fuzz_image fuzz_seeds
corpus=$build/corpus
$build/fuzz/fuzz_seeds "$corpus"
for target in cdb bmp ini image; do
  mkdir -p "fuzz/crashes/$target" "$corpus/$target"
  echo "== fuzz_$target for ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1 "$build/fuzz/fuzz_$target" "$corpus/$target" \
    -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 \
    -artifact_prefix="fuzz/crashes/$target/" -print_final_stats=1 2>&1 |
    grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY)' || true
done
echo "crash inputs kept: $(find fuzz/crashes -type f ! -name .keep | wc -l)"
