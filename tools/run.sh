#!/usr/bin/env bash
# Sets up (packages, build) and runs the saver the way the desktop starts it:
# build/bin/Tamaruka.scr /S. With no X display it runs on a private Xvfb for a
# few seconds, saves screenshots as PNG files and says where they are.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
bin=$PWD/build/bin
seconds=${TAMARUKA_RUN_SECONDS:-8}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "run: starting the saver on $DISPLAY; move the mouse to end it"
  exec "$bin/Tamaruka.scr" /S
fi

shots=$PWD/out/screenshots
mkdir -p "$shots"
rm -f "$shots"/*.png
exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -noreset -nolisten tcp 2>/dev/null)
xvfb_pid=$!
read -r display_number <&3
export DISPLAY=":$display_number"
trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
echo "run: no display; running the saver on private Xvfb $DISPLAY for ${seconds}s"
"$bin/Tamaruka.scr" /S &
saver_pid=$!
for ((i = 1; i <= seconds; i++)); do
  sleep 1
  "$bin/screenshot" "$shots/saver-$i.png" || true
done
# End the run as a user would: a diagonal mouse move ends the front-end, and
# the renderer ends on its eleventh mouse-move message.
for ((step = 1; step <= 12; step++)); do
  "$bin/screenshot" --move-pointer $((600 + 10 * step)) $((500 + 10 * step)) >/dev/null 2>&1 || true
done
for ((wait = 0; wait < 50; wait++)); do
  kill -0 "$saver_pid" 2>/dev/null || pgrep -f "^$bin/Tamaruka.data" >/dev/null || break
  sleep 0.1
done
kill "$saver_pid" 2>/dev/null || true
pkill -f "^$bin/Tamaruka.data" 2>/dev/null || true
wait "$saver_pid" 2>/dev/null || true
echo "run: screenshots saved in $shots:"
ls -1 "$shots"
