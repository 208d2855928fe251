#!/usr/bin/env bash
# Sets up (packages, build) and runs every test: the unit and end-to-end tests
# through ctest (end-to-end tests start their own Xvfb), then the fuzz smoke run.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
status=0
(cd build && ctest --output-on-failure --timeout 600 -j "$(nproc)") || status=1
if [ -x tools/fuzz-smoke.sh ]; then
  tools/fuzz-smoke.sh || status=1
fi
if [ "$status" -ne 0 ]; then
  echo "tests: FAILED"
  exit 1
fi
echo "tests: all passed"
