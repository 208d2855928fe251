#!/usr/bin/env bash
# Sets up (packages, build) and runs every test: the unit and end-to-end tests
# through ctest (end-to-end tests start their own Xvfb), the unit tests once
# more under AddressSanitizer and UndefinedBehaviorSanitizer (build-sanitize/),
# then the fuzz smoke run.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
(cd build && ctest --output-on-failure --timeout 600 -j "$(nproc)") 2>&1 | tee "$log" || status=1
# ctest's summary: "N% tests passed, F tests failed out of T"
summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
failed=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$summary")
total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$summary")
if [ -z "$summary" ]; then
  echo "tests: ctest ran no test"
  failed=1 total=1 status=1
fi

# The unit tests only: the sanitizers slow the programs of the end-to-end
# tests past their limits, and the build stays short.
total=$((total + 1))
tools/sanitized-unit-tests.sh || { failed=$((failed + 1)); status=1; }

if [ -x tools/fuzz-smoke.sh ]; then
  total=$((total + 1))
  tools/fuzz-smoke.sh || { failed=$((failed + 1)); status=1; }
fi
echo "tests: $((total - failed)) passed, $failed failed"
exit "$status"
