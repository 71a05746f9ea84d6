# Shell functions for driving the real program on a private X server.
# Source this file; it sets DISPLAY and cleans up on exit through xsession_stop.

xsession_dir=""
xsession_xvfb_pid=""
xsession_app_pid=""

xsession_stop() {
    [[ -n "$xsession_app_pid" ]] && kill "$xsession_app_pid" 2>/dev/null || true
    [[ -n "$xsession_xvfb_pid" ]] && kill "$xsession_xvfb_pid" 2>/dev/null || true
    [[ -n "$xsession_dir" ]] && rm -rf "$xsession_dir"
    return 0
}

# xsession_start: starts Xvfb on a display number of its own choosing, so
# parallel runs never clash, and exports DISPLAY. XSESSION_SCREEN sets the
# screen's size (default 1024x768x24).
xsession_start() {
    xsession_dir="$(mktemp -d)"
    Xvfb -displayfd 3 -screen 0 "${XSESSION_SCREEN:-1024x768x24}" -nolisten tcp 3>"$xsession_dir/display" \
        2>"$xsession_dir/xvfb.log" &
    xsession_xvfb_pid=$!
    for _ in $(seq 300); do [[ -s "$xsession_dir/display" ]] && break; sleep 0.1; done
    if [[ ! -s "$xsession_dir/display" ]]; then
        echo "Xvfb did not start"; cat "$xsession_dir/xvfb.log"; return 1
    fi
    export DISPLAY=":$(head -n1 "$xsession_dir/display")"
    unset QT_QPA_PLATFORM
}

# xsession_launch PROGRAM: starts the program and sets `window` to its main
# window's id once it is mapped. A loaded machine can take a while to map the
# first window, so this waits for it rather than for a fixed time.
xsession_launch() {
    "$1" >"$xsession_dir/program.log" 2>&1 &
    xsession_app_pid=$!
    window=""
    for _ in $(seq 600); do
        window="$(xdotool search --onlyvisible --name '^Groundwater Divide$' 2>/dev/null | head -n1 || true)"
        [[ -n "$window" ]] && return 0
        sleep 0.1
    done
    echo "no main window"; cat "$xsession_dir/program.log"; return 1
}

# xsession_running: fails, with the program's output, when it has ended.
xsession_running() {
    kill -0 "$xsession_app_pid" 2>/dev/null && return 0
    echo "the program ended"; cat "$xsession_dir/program.log"; return 1
}
