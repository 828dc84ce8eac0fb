# Shared by the end-to-end tests of the Linux viewers: polling and a private
# Xvfb display. Source it after setting `work` to the test's temp folder;
# `xvfb` holds the server's process id, and stop_xvfb ends it.

# Polls a command every 0.1 s until it succeeds or the seconds run out.
wait_until() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}

display_answers() { xdpyinfo >/dev/null 2>&1; }

# Starts Xvfb on a free display and points DISPLAY at it. -noreset: by
# default the server resets when its last client leaves, and a client that
# connects during the reset is refused; here the readiness probe is the last
# client to leave, just before the viewer connects. The display must answer
# before it is used; otherwise a new server is started.
start_xvfb() {
    local attempt
    for attempt in 1 2 3; do
        : >"$work/display"
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
        xvfb=$!
        if wait_until 20 test -s "$work/display"; then
            export DISPLAY=":$(head -1 "$work/display")"
            wait_until 10 display_answers && return 0
        fi
        stop_xvfb
    done
    return 1
}

# Ends the server and waits until it has removed its socket and lock.
stop_xvfb() {
    [ -n "${xvfb:-}" ] || return 0
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    xvfb=""
}

viewer_ended() { ! kill -0 "$viewer" 2>/dev/null; }

# Waits up to the given seconds for the viewer (process id in `viewer`) to
# end and puts its exit status in `status`; returns 1 if it does not end.
wait_for_viewer_exit() {
    wait_until "$1" viewer_ended || return 1
    status=0
    wait "$viewer" || status=$?
    viewer=""
}
