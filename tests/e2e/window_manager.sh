#!/usr/bin/env bash
# The program on a desktop whose window manager frames its windows: the
# window takes its start-up size and smallest size frame and all, centred on
# the screen. Every step waits for its condition up to a deadline.
# Usage: window_manager.sh path/to/brelloc
set -euo pipefail
program="$1"
source "$(dirname "$0")/../../scripts/lib/xsession.sh"
trap 'xsession_stop' EXIT

xsession_start
# openbox keeps its session files under HOME: a folder of this run's own, so
# runs beside each other never share them.
home="$xsession_dir/home"
mkdir -p "$home"
# The window manager is ready once it has claimed the screen.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
# openbox now and then fails to open a display that has just answered
# xdpyinfo ("Failed to open the display"); it is started again then.
wm_pid=""
wm_ready_or_gone() {
    wm_ready || grep -q 'Failed to open the display' "$xsession_dir/openbox.log" ||
        [[ "$(ps -o stat= -p "$wm_pid" 2>/dev/null)" != [^Z]* ]]
}
for attempt in 1 2 3; do
    HOME="$home" xsession_background openbox openbox --sm-disable
    wm_pid="${xsession_extra_pids[-1]}"
    xsession_wait 60 wm_ready_or_gone || true
    wm_ready && break
    xsession_stop_pid "$wm_pid"
    sleep 0.5
done
wm_ready || { echo "openbox did not start"; cat "$xsession_dir/openbox.log" "$xsession_dir/xvfb.log"; exit 1; }
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
got=""
outer_is() {
    got="$(outer || true)"
    [[ "$got" == $1 ]]
}
wait_for_outer() {
    xsession_wait 30 outer_is "$1" && return 0
    echo "outer geometry is '$got', not $1"
    return 1
}

# 580 x 552 centred on the 1024 x 768 screen.
wait_for_outer "580x552+222+108"
xdotool windowsize "$window" 100 100
wait_for_outer "383x360+*"
xsession_running
echo "framed window test passed"
