# shellcheck shell=bash
# Polling, a private Xvfb display, windows and pictures for the end-to-end
# tests, Linux and Wine. Source it after setting `work` to a temp folder.
patience=60  # seconds: generous, so that a loaded machine is slow, never failing
# Polls a command every 0.1 s until it succeeds or $1 seconds run out.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}
display_answers() { xdpyinfo >/dev/null 2>&1; }
# Starts Xvfb on a free display and points DISPLAY at it. -noreset: else a
# client connecting while the last one (the probe) leaves is refused.
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
stop_xvfb() {
    [ -n "${xvfb:-}" ] || return 0
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    xvfb=""
}
viewer_ended() { ! kill -0 "$viewer" 2>/dev/null; }
wait_for_viewer_exit() {  # of process `viewer`, its exit status in `status`
    wait_until $patience viewer_ended || return 1
    status=0
    wait "$viewer" || status=$?
    viewer=""
}

# The top-level window with exactly this title, if shown, in `found`.
visible_titled() { found=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$found" ]; }
# Mapped windows, all (FLTK's drop-downs have no name) or titled only.
visible_window_count() { xdotool search --onlyvisible --name '' 2>/dev/null | wc -l; }
titled_window_count() { xdotool search --onlyvisible --name '.' 2>/dev/null | wc -l; }
more_windows_than() { [ "$(visible_window_count)" -gt "$1" ]; }
window_shot() { import -silent -window "$1" "$2" 2>/dev/null && [ -s "$2" ]; }
# How many pixels of two pictures of one size differ by more than $3 (2%).
pixels_differing() { compare -metric AE -fuzz "${3:-2%}" "$1" "$2" null: 2>&1 | cut -d' ' -f1; }
# Window $1 shows the same picture twice running, the last in $work/steady.png.
window_steady() {
    window_shot "$1" "$work/steady-before.png" && window_shot "$1" "$work/steady.png" &&
        [ "$(pixels_differing "$work/steady-before.png" "$work/steady.png")" = 0 ]
}
