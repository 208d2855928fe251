#!/usr/bin/env bash
# Front-end start-up figures on a private Xvfb:
#  - wall time of `Tamaruka.scr /X` (single-instance test, settings, renderer
#    check, silent end), median of RUNS runs;
#  - resident memory of the front-end while a mode window is open (/S run
#    window, /C settings dialog), where that window exists.
# Usage: bench/frontend_startup.sh [path/to/Tamaruka.scr]   (RUNS=21 by default)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=${1:-$here/../build/bin/Tamaruka.scr}
runs=${RUNS:-21}
[ -x "$program" ] || { echo "frontend_startup: no program at $program" >&2; exit 1; }

work=$(mktemp -d /tmp/tamaruka-bench-XXXXXX)
xvfb_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A copy with a stand-in renderer file: only its existence is checked, and
# the run window's start of it fails silently, so only the front-end runs.
cp "$program" "$work/Tamaruka.scr"
cp "$(dirname "$program")/tamaruka-frontend" "$work/tamaruka-frontend"
echo stand-in > "$work/Tamaruka.data"

display=
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "frontend_startup: no free display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1024x768x24 -noreset -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done

# Wall time of /X.
"$work/Tamaruka.scr" /X  # warm the page cache once
times=()
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  "$work/Tamaruka.scr" /X
  end=$(date +%s%N)
  times+=($(( (end - start) / 1000 )))
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
median=${sorted[$(( runs / 2 ))]}
printf 'Tamaruka.scr /X wall time: median %d.%01d ms, min %d.%01d ms, max %d.%01d ms (%d runs)\n' \
  $((median / 1000)) $((median % 1000 / 100)) \
  $((sorted[0] / 1000)) $((sorted[0] % 1000 / 100)) \
  $((sorted[-1] / 1000)) $((sorted[-1] % 1000 / 100)) "$runs"

# Resident memory with a mode window open.
window_exists() { xwininfo -root -tree 2>/dev/null | grep -qF "\"$1\""; }
measure_rss() {  # switch, caption of the window it opens
  local switch=$1 caption=$2
  "$work/Tamaruka.scr" "$switch" >/dev/null 2>&1 &
  local pid=$!
  local found=
  for _ in $(seq 100); do
    if window_exists "$caption"; then found=1; break; fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if [ -n "$found" ]; then
    sleep 0.5  # let it settle after the first paint
    local rss
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
    printf 'Tamaruka.scr %s resident memory with "%s" open: %d.%01d MB\n' \
      "$switch" "$caption" $((rss / 1024)) $((rss % 1024 * 10 / 1024))
  else
    printf 'Tamaruka.scr %s: window "%s" did not open (not built yet?); no memory figure\n' \
      "$switch" "$caption"
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
measure_rss /S Kirabo_Main
measure_rss /C "<Tamaruka>"
