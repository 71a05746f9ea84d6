#!/usr/bin/env bash
# Starts the built program on a private X server, types a value, presses
# Enter, clicks Calculate and checks the screenshot for the aqua plot square
# with black net lines in it. Every step waits for what it needs (the window
# mapped and focused, the plot drawn, the size set back), up to a deadline,
# so a busy machine makes it slower, not flaky.
# Usage: smoke.sh path/to/brelloc [screenshot.png]
set -euo pipefail
program="$1"
source "$(dirname "$0")/../../scripts/lib/xsession.sh"
work="$(mktemp -d)"
shot="${2:-$work/screen.png}"
trap 'xsession_stop; rm -rf "$work"' EXIT

xsession_start
xsession_launch "$program"

WIDTH=0 HEIGHT=0 X=0 Y=0
geometry_is() {
    eval "$(xdotool getwindowgeometry --shell "$window")" # WIDTH, HEIGHT, X, Y
    [[ "$WIDTH" == "$1" && "$HEIGHT" == "$2" ]]
}
xsession_wait 30 geometry_is 580 552 || { echo "window is ${WIDTH}x${HEIGHT}, not 580x552"; exit 1; }

xsession_focus
xdotool type --delay 40 "0.4"
xdotool key Shift Return
xdotool mousemove --window "$window" 12 12 click 1 # Calculate

count() { convert "$work/plot.png" -fill white +opaque "$1" -fill black -opaque "$1" -format '%[fx:int(w*h*(1-mean)+0.5)]' info:; }
# Takes a screenshot; succeeds once the plot square with its net is in it.
aqua=0
black=0
plot_drawn() {
    xsession_running || exit 1
    import -window root "$shot"
    # The plot square lies below the grid (which ends at y 137 of the window).
    convert "$shot" -crop "${WIDTH}x$((HEIGHT - 145))+${X}+$((Y + 145))" +repage "$work/plot.png"
    aqua="$(count 'rgb(0,255,255)')"
    black="$(count 'rgb(0,0,0)')"
    (( aqua > 120000 && black > 2000 ))
}
xsession_wait 60 plot_drawn || true
echo "aqua pixels: $aqua, black pixels: $black"
# A square of side 399: about 159000 pixels, most of them aqua.
(( aqua > 120000 )) || { echo "no aqua plot square"; exit 1; }
(( black > 2000 )) || { echo "no net lines in the square"; exit 1; }

# H/L 0.4 was committed: the left drain (y = H/L for x < 0) is drawn 0.4 L
# above the x axis. With the 580 x 552 window the square has side 399 at
# (90, 145), the origin at its pixel (199, 199) and 53.2 pixels per L, so
# the drain lies on row trunc(199 - 53.2 * 0.4) = 177 (H/L 0.2 would be 188)
# from x = -3 (column 39) to the origin.
row_black() {
    convert "$shot" -crop "150x1+$((X + 90 + 45))+$((Y + 145 + $1))" +repage \
        -fill white +opaque 'rgb(0,0,0)' -fill black -opaque 'rgb(0,0,0)' \
        -format '%[fx:int(w*h*(1-mean)+0.5)]' info:
}
drain_04="$(row_black 177)"
drain_02="$(row_black 188)"
echo "black pixels on the left drain's row for H/L 0.4: $drain_04, for 0.2: $drain_02"
(( drain_04 > 140 )) || { echo "the typed H/L 0.4 did not reach the plot"; exit 1; }
(( drain_02 < 50 )) || { echo "the plot still shows H/L 0.2"; exit 1; }

# Shrinking the window below its smallest size: with no window manager to
# honour the size hint, the program itself sets the size back to 383 x 360.
xdotool windowsize "$window" 100 100
xsession_wait 30 geometry_is 383 360 || { echo "shrunk window is ${WIDTH}x${HEIGHT}, not 383x360"; exit 1; }
xsession_running
echo "smoke test passed"
