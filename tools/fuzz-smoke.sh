#!/usr/bin/env bash
# Builds the bitmap decoder's fuzz target with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs a fixed number of inputs
# from the committed seed corpus. FUZZ_RUNS overrides the count.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${FUZZ_RUNS:-200000}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
if [ ! -f build-fuzz/CMakeCache.txt ]; then
  cmake -S fuzz -B build-fuzz "${generator[@]}" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi
cmake --build build-fuzz --parallel 2 >/dev/null
# Work on a copy so that the committed seeds stay as they are.
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp fuzz/corpus/dib/* "$corpus"/
build-fuzz/dib_decoder_fuzz -runs="$runs" -seed=1 -max_len=4096 -rss_limit_mb=2048 \
  -print_final_stats=1 "$corpus" 2>build-fuzz/smoke.log || {
  tail -n 60 build-fuzz/smoke.log
  echo "fuzz-smoke: FAILED (log: build-fuzz/smoke.log)"
  exit 1
}
grep -E '^(stat::number_of_executed_units|Done)' build-fuzz/smoke.log || true
echo "fuzz-smoke: $runs runs passed"
