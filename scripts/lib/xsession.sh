# Shell functions for driving the real program on a private X server.
# Source this file; it sets DISPLAY and cleans up on exit through xsession_stop.
#
# Every wait is for a condition, polled until a deadline in seconds: a loaded
# machine (other tests building or running beside these) only makes them
# slower, never wrong. Each background process writes to files of its own,
# so none holds the caller's output open after the script has ended.

xsession_dir=""
xsession_xvfb_pid=""
xsession_app_pid=""
xsession_extra_pids=()

# xsession_stop_pid PID: asks the process to end, waits for it a few
# seconds, then kills it.
xsession_stop_pid() {
    local pid="$1"
    [[ -n "$pid" ]] || return 0
    kill "$pid" 2>/dev/null || return 0
    local deadline=$((SECONDS + 5))
    while kill -0 "$pid" 2>/dev/null && (( SECONDS < deadline )); do sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

xsession_stop() {
    local pid
    xsession_stop_pid "$xsession_app_pid"
    for pid in "${xsession_extra_pids[@]}"; do xsession_stop_pid "$pid"; done
    xsession_stop_pid "$xsession_xvfb_pid"
    xsession_app_pid=""
    xsession_extra_pids=()
    xsession_xvfb_pid=""
    [[ -n "$xsession_dir" ]] && rm -rf "$xsession_dir"
    xsession_dir=""
    return 0
}

# xsession_wait SECONDS COMMAND...: runs the command until it succeeds, for
# at most the given seconds; fails if it never does.
xsession_wait() {
    local seconds="$1"
    shift
    local deadline=$((SECONDS + seconds))
    while true; do
        "$@" && return 0
        (( SECONDS >= deadline )) && return 1
        sleep 0.1
    done
}

xsession_display_written() {
    [[ "$(wc -l <"$xsession_dir/display")" -ge 1 ]]
}

# xsession_start: starts Xvfb on a display number of its own choosing, so
# parallel runs never clash, and exports DISPLAY once the server answers.
# XSESSION_SCREEN sets the screen's size (default 1024x768x24).
xsession_start() {
    xsession_dir="$(mktemp -d)"
    # Xvfb servers that choose their display number at the same moment can
    # take the same one, and the loser goes away after it has named it: the
    # servers of our sessions are started one at a time, and a session keeps
    # its server only if that server is still running once it answers.
    local lock attempt
    exec {lock}>"${TMPDIR:-/tmp}/brelloc-xsession.lock"
    flock "$lock"
    for attempt in 1 2 3; do
        : >"$xsession_dir/display"
        Xvfb -displayfd 3 -screen 0 "${XSESSION_SCREEN:-1024x768x24}" -nolisten tcp \
            3>"$xsession_dir/display" >"$xsession_dir/xvfb.log" 2>&1 </dev/null &
        xsession_xvfb_pid=$!
        # Xvfb writes the number and then a line end: a number read before
        # its line end may lack digits and name another server.
        if xsession_wait 60 xsession_display_written; then
            export DISPLAY=":$(head -n1 "$xsession_dir/display")"
            if xsession_wait 60 xdpyinfo >/dev/null 2>&1 && kill -0 "$xsession_xvfb_pid" 2>/dev/null; then
                break
            fi
        fi
        xsession_stop_pid "$xsession_xvfb_pid"
        xsession_xvfb_pid=""
    done
    flock -u "$lock"
    exec {lock}>&-
    unset QT_QPA_PLATFORM
    if [[ -z "$xsession_xvfb_pid" ]]; then
        echo "Xvfb did not start"; cat "$xsession_dir/xvfb.log"; return 1
    fi
}

# xsession_background NAME COMMAND...: starts a helper (a window manager)
# that xsession_stop ends; its output goes to NAME.log.
xsession_background() {
    local name="$1"
    shift
    "$@" >"$xsession_dir/$name.log" 2>&1 </dev/null &
    xsession_extra_pids+=($!)
}

xsession_find_window() {
    window="$(xdotool search --onlyvisible --name '^Groundwater Divide$' 2>/dev/null | head -n1 || true)"
    [[ -n "$window" ]] && xwininfo -id "$window" 2>/dev/null | grep -q 'Map State: IsViewable'
}

# xsession_launch PROGRAM: starts the program and sets `window` to its main
# window's id once it is mapped and viewable.
xsession_launch() {
    "$1" >"$xsession_dir/program.log" 2>&1 </dev/null &
    xsession_app_pid=$!
    window=""
    xsession_wait 90 xsession_find_window && return 0
    echo "no main window"; cat "$xsession_dir/program.log"; return 1
}

xsession_has_focus() {
    [[ "$(xdotool getwindowfocus 2>/dev/null)" == "$window" ]]
}

# xsession_focus: gives the main window the keyboard focus and waits until
# it has it (xdotool's own --sync would wait without end).
xsession_focus() {
    xsession_wait 30 eval 'xdotool windowfocus "$window" 2>/dev/null; xsession_has_focus' && return 0
    echo "the window did not get the focus"; return 1
}

# xsession_running: fails, with the program's output, when it has ended.
xsession_running() {
    kill -0 "$xsession_app_pid" 2>/dev/null && return 0
    echo "the program ended"; cat "$xsession_dir/program.log"; return 1
}
