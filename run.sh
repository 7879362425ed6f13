#!/usr/bin/env bash
# Sets up, builds and starts Vesperin. Without a display it starts the app on a virtual
# display (Xvfb), waits three seconds, saves a screenshot of the screen and stops the app.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/build.sh
app=build/src/vesperin

if [ -n "${DISPLAY:-}" ]; then
    exec "$app" "$@"
fi

screenshot="${VESPERIN_SCREENSHOT:-$PWD/out/screenshot.png}"
mkdir -p "$(dirname "$screenshot")"
display=":$((90 + RANDOM % 400))"
Xvfb "$display" -screen 0 1440x900x24 -nolisten tcp -noreset &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    DISPLAY="$display" xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done

DISPLAY="$display" "$app" "$@" &
app_pid=$!
sleep 3
DISPLAY="$display" import -window root "$screenshot"
kill "$app_pid" 2>/dev/null || true
wait "$app_pid" 2>/dev/null || true
echo "Screenshot of the virtual display: $screenshot"
