#!/usr/bin/env bash
# Starts the built program on a private X server, types a value, presses
# Enter, clicks Calculate and checks the screenshot for the aqua plot square
# with black net lines in it.
# Usage: smoke.sh path/to/brelloc [screenshot.png]
set -euo pipefail
program="$1"
work="$(mktemp -d)"
shot="${2:-$work/screen.png}"
xvfb_pid=""
app_pid=""
cleanup() {
    [[ -n "$app_pid" ]] && kill "$app_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A display number of the server's own choosing, so parallel runs never clash.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
unset QT_QPA_PLATFORM

"$program" >"$work/program.log" 2>&1 &
app_pid=$!
window=""
for _ in $(seq 100); do
    window="$(xdotool search --onlyvisible --name '^Groundwater Divide$' 2>/dev/null | head -n1 || true)"
    [[ -n "$window" ]] && break
    sleep 0.1
done
[[ -n "$window" ]] || { echo "no main window"; cat "$work/program.log"; exit 1; }

eval "$(xdotool getwindowgeometry --shell "$window")" # WIDTH, HEIGHT, X, Y
[[ "$WIDTH" == 580 && "$HEIGHT" == 552 ]] || { echo "window is ${WIDTH}x${HEIGHT}, not 580x552"; exit 1; }

xdotool windowfocus --sync "$window"
sleep 0.3
xdotool type --delay 40 "0.4"
xdotool key Shift Return
xdotool mousemove --window "$window" 12 12 click 1 # Calculate
sleep 1
kill -0 "$app_pid" || { echo "the program ended"; cat "$work/program.log"; exit 1; }

import -window root "$shot"

# The plot square lies below the grid (which ends at y 137 of the window).
convert "$shot" -crop "${WIDTH}x$((HEIGHT - 145))+${X}+$((Y + 145))" +repage "$work/plot.png"
count() { convert "$work/plot.png" -fill white +opaque "$1" -fill black -opaque "$1" -format '%[fx:int(w*h*(1-mean)+0.5)]' info:; }
aqua="$(count 'rgb(0,255,255)')"
black="$(count 'rgb(0,0,0)')"
echo "aqua pixels: $aqua, black pixels: $black"
# A square of side 399: about 159000 pixels, most of them aqua.
(( aqua > 120000 )) || { echo "no aqua plot square"; exit 1; }
(( black > 2000 )) || { echo "no net lines in the square"; exit 1; }
echo "smoke test passed"
