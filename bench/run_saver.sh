#!/usr/bin/env bash
# Saver run figures on a private Xvfb: start to the renderer's first frame,
# diagonal move to both programs ended, the front-end's CPU and memory while
# it watches. Usage: bench/run_saver.sh [build folder] [runs] [watch seconds]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cmake --build "$build" --target run_saver_benchmark --parallel 2 >/dev/null
env -u DISPLAY "$build/bin/run_saver_benchmark" "${2:-9}" "${3:-20}"
