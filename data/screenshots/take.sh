#!/usr/bin/env bash
# Takes data/screenshots/main-window.png, the software centres' picture of the
# program: the real window of a build (default build/src/app/stellaro) under
# Xvfb and openbox at 1024 x 768, with a profile typed in as a user types it.
#   bash data/screenshots/take.sh [PATH/TO/stellaro]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bin=$(realpath "${1:-$here/../../build/src/app/stellaro}")
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT

for n in $(seq 150 199); do [ -e /tmp/.X$n-lock ] || break; done
Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
export DISPLAY=:$n
for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 & pids+=($!)
sleep 1
(cd "$work" && exec "$bin") & pids+=($!)
for _ in $(seq 1 100); do
  win=$(xdotool search --onlyvisible --name '^Stellaro Ver 1.04$' 2>/dev/null | head -n 1 || true)
  [ -n "$win" ] && break
  sleep 0.1
done
[ -n "$win" ] || { echo "the window did not appear" >&2; exit 1; }
sleep 1
xdotool type --delay 30 0504
xdotool key --delay 50 Tab Tab Tab ctrl+a
xdotool type --delay 30 "Ann Lee"
xdotool key --delay 50 Tab ctrl+a
xdotool type --delay 30 "Happy days"
xdotool key --delay 50 Tab
sleep 1
import -window root "$work/shot.png"
# No timestamps or other metadata: the same window gives the same file.
convert "$work/shot.png" -strip "$here/main-window.png"
echo "$here/main-window.png"
