#!/usr/bin/env bash
# Frames a second and CPU of Tamaruka.data (its own and the X server's) on a
# private Xvfb with Mesa's software renderer, where the buffer swap does not
# wait for the display. Usage: bench/renderer_frame_rate.sh [renderer] [seconds] [WxH]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build
cmake --build "$build" --target tamaruka_renderer frame_count_probe make_sprite --parallel 2 >/dev/null
renderer=${1:-$build/bin/Tamaruka.data}
seconds=${2:-10}
size=${3:-1024x768}
work=$(mktemp -d)
display=:$(( 200 + RANDOM % 500 ))
Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done

mkdir -p "$work/tamaruka"
"$build/bin/make_sprite" --bmp "$work/tamaruka/Fireworks.bmp"

# CPU ticks (user + system) of a process, and the frame count.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# The probe's second 64-bit slot counts SDL_GL_SwapWindow calls.
frames() { od -An -tu8 -j8 -N8 "$work/count" | tr -d ' '; }
truncate -s 4096 "$work/count"

DISPLAY=$display XDG_CACHE_HOME=$work LD_PRELOAD=$build/bin/libframe_count_probe.so \
  TAMARUKA_FRAME_COUNTER_FILE=$work/count "$renderer" >"$work/out" 2>&1 &
pid=$!
sleep 3  # start-up and the first rockets
f0=$(frames); r0=$(ticks "$pid"); x0=$(ticks "$xvfb"); t0=$(date +%s.%N)
sleep "$seconds"
f1=$(frames); r1=$(ticks "$pid"); x1=$(ticks "$xvfb"); t1=$(date +%s.%N)
hz=$(getconf CLK_TCK)
awk -v f="$((f1 - f0))" -v r="$((r1 - r0))" -v x="$((x1 - x0))" -v t0="$t0" -v t1="$t1" -v hz="$hz" \
  -v size="$size" 'BEGIN {
    t = t1 - t0
    printf "%s: %.1f frames/s, renderer CPU %.0f %%, Xvfb CPU %.0f %%\n", size, f / t, 100 * r / hz / t, 100 * x / hz / t
  }'
