#!/usr/bin/env bash
# The program on a desktop whose window manager frames its windows: the
# window takes its start-up size and smallest size frame and all, centred on
# the screen.
# Usage: window_manager.sh path/to/brelloc
set -euo pipefail
program="$1"
source "$(dirname "$0")/../../scripts/lib/xsession.sh"
wm_pid=""
trap '[[ -n "$wm_pid" ]] && kill "$wm_pid" 2>/dev/null; xsession_stop' EXIT

xsession_start
openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
# The window manager is ready once it has claimed the screen.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
xsession_launch "$program"

# Outer size and position: the client area plus the frame the manager reports.
outer() {
    local extents left right top bottom
    extents="$(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')"
    [[ -n "$extents" ]] || return 1
    IFS=, read -r left right top bottom <<<"$extents"
    # The client's own place on the screen (xdotool's counts the frame twice).
    local info x y width height
    info="$(xwininfo -id "$window")"
    x="$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")"
    y="$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")"
    width="$(sed -n 's/^ *Width: *//p' <<<"$info")"
    height="$(sed -n 's/^ *Height: *//p' <<<"$info")"
    echo "$((width + left + right))x$((height + top + bottom))+$((x - left))+$((y - top))"
}
wait_for_outer() {
    local got=""
    for _ in $(seq 100); do
        got="$(outer || true)"
        [[ "$got" == $1 ]] && return 0
        sleep 0.1
    done
    echo "outer geometry is '$got', not $1"
    return 1
}

# 580 x 552 centred on the 1024 x 768 screen.
wait_for_outer "580x552+222+108"
xdotool windowsize "$window" 100 100
wait_for_outer "383x360+*"
xsession_running
echo "framed window test passed"
