#!/usr/bin/env bash
# Builds every fuzz target with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for a fixed number
# of inputs from its committed seed corpus. FUZZ_RUNS overrides the count,
# FUZZ_ONLY names the targets to run (space-separated), FUZZ_SEED the seed,
# FUZZ_RSS_LIMIT_MB the memory limit and FUZZ_FLAGS more libFuzzer flags
# (-fork=2, say), for the long runs in fuzz/README.md.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${FUZZ_RUNS:-20000}
seed=${FUZZ_SEED:-1}
rss_limit=${FUZZ_RSS_LIMIT_MB:-2048}
read -r -a flags <<<"${FUZZ_FLAGS:-}"
generator=()
command -v ninja >/dev/null && [ ! -f build-fuzz/CMakeCache.txt ] && generator=(-G Ninja)
cmake -S . -B build-fuzz "${generator[@]}" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DTAMARUKA_BUILD_FUZZERS=ON -DTAMARUKA_SANITIZE=ON -DTAMARUKA_BUILD_TESTS=OFF \
  -DTAMARUKA_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-fuzz --parallel "$(nproc)" --target fuzz_targets >/dev/null
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp

# target name and its seed folder in fuzz/corpus
targets=(dib_decoder:dib ini_file:ini number_rules:numbers mci_command:mci
         display_mode_options:options cue_toc:cue)
# Work on copies so that the committed seeds stay as they are.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for entry in "${targets[@]}"; do
  target=${entry%%:*} seeds=${entry#*:}
  [ -n "${FUZZ_ONLY:-}" ] && [[ " $FUZZ_ONLY " != *" $target "* ]] && continue
  mkdir -p "$work/$target"
  cp fuzz/corpus/"$seeds"/* "$work/$target"/
  log=build-fuzz/$target-smoke.log
  if (cd "$work" && "$OLDPWD/build-fuzz/fuzz/${target}_fuzz" -runs="$runs" -seed="$seed" -max_len=4096 \
        -rss_limit_mb="$rss_limit" -print_final_stats=1 "${flags[@]}" "$work/$target") >"$log" 2>&1; then
    # One process's final stats, or the total of a -fork run.
    count=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}' || true)
    [ -n "$count" ] || count=$(sed -nE 's/^INFO: fuzzed for ([0-9]+) iterations.*/\1/p' "$log")
    echo "fuzz-smoke: $target: $count runs passed"
  else
    tail -n 40 "$log"
    echo "fuzz-smoke: $target FAILED (log: $log)"
    failed=1
  fi
done
exit "$failed"
