#!/usr/bin/env bash
# Takes a screenshot of Topovil on a virtual X display after typing a search.
#
#   tools/screenshot.sh BUILD_DIR OUT.png [TEXT] [SCALE]
#
# Starts the program from BUILD_DIR under Xvfb, clicks in the search box,
# types TEXT (default PARIS) and Enter, then grabs the window. SCALE
# (default 1) is passed as QT_SCALE_FACTOR. Needs xvfb-run, xdotool and
# imagemagick's import.
set -euo pipefail

# Run again by xvfb-run, inside the virtual display.
if [ "${1:-}" = --inside ]; then
  shift
  build="$1" out="$2" text="$3" scale="$4"
  QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" "$build/topovil" &
  pid=$!
  trap 'kill $pid 2>/dev/null || true' EXIT
  window=""
  for _ in $(seq 50); do
    window="$(xdotool search --name '^Topovil$' 2>/dev/null | head -1 || true)"
    [ -n "$window" ] && break
    sleep 0.2
  done
  [ -n "$window" ] || { echo "screenshot: no Topovil window" >&2; exit 1; }
  sleep 1
  # The search box, in window pixels (64,272 153x19), times the scale.
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove "$((X + (140 * scale)))" "$((Y + (281 * scale)))" click 1
  xdotool type --delay 50 "$text"
  xdotool key Return
  sleep 1
  import -window root "$out"
  # Only the window: the black screen around it goes.
  mogrify -trim +repage "$out"
  exit 0
fi

build="$(cd "$1" && pwd)"
out="$(realpath -m "$2")"
text="${3:-PARIS}"
scale="${4:-1}"
xvfb-run -a -s "-screen 0 $((800 * scale))x$((600 * scale))x24" "$0" --inside "$build" "$out" "$text" "$scale"
echo "screenshot: $out"
