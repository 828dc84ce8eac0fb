# shellcheck shell=bash
# Shared by the end-to-end tests on a private Xvfb display, the Linux
# viewers' and Wine's: polling, the display and what windows show. Source it
# after setting `work` to the test's temp folder; `xvfb` holds the server's
# process id, and stop_xvfb ends it.

# How long a test waits for what it expects (a window, a picture, a file):
# generous, so that a loaded machine is slow but never fails. Nothing waits
# a fixed time.
patience=60

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
        if wait_until $patience test -s "$work/display"; then
            export DISPLAY=":$(head -1 "$work/display")"
            wait_until $patience display_answers && return 0
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

# Waits for the viewer (process id in `viewer`) to end and puts its exit
# status in `status`; returns 1 if it does not end.
wait_for_viewer_exit() {
    wait_until $patience viewer_ended || return 1
    status=0
    wait "$viewer" || status=$?
    viewer=""
}

# The top-level window with exactly this title, if shown, in `found`.
visible_titled() { found=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$found" ]; }
# Every mapped window, named or not (FLTK's drop-downs have no name).
visible_window_count() { xdotool search --onlyvisible --name '' 2>/dev/null | wc -l; }
# Mapped windows with a title: main windows, dialogs and message boxes.
titled_window_count() { xdotool search --onlyvisible --name '.' 2>/dev/null | wc -l; }
more_windows_than() { [ "$(visible_window_count)" -gt "$1" ]; }

# Window $1 as the PNG file $2.
window_shot() { import -silent -window "$1" "$2" 2>/dev/null && [ -s "$2" ]; }
# How many pixels of two pictures of one size differ by more than a little
# (by more than $3, 2% unless given).
pixels_differing() { compare -metric AE -fuzz "${3:-2%}" "$1" "$2" null: 2>&1 | cut -d' ' -f1; }
# True when window $1 shows the same picture twice running: it has finished
# drawing what it was asked to. Its last picture is left in $work/steady.png.
window_steady() {
    window_shot "$1" "$work/steady-before.png" && window_shot "$1" "$work/steady.png" &&
        [ "$(pixels_differing "$work/steady-before.png" "$work/steady.png")" = 0 ]
}
