#!/usr/bin/env bash
# Starts a viewer on its own Xvfb display, finds its window by title, checks
# that the client area shows the clear colour, checks that Escape does not
# close it, asks it to close as a window manager would, and expects exit
# status 0.
# usage: viewer_start_close.sh PROGRAM TITLE GREY CLOSER
set -euo pipefail
program=$1 title=$2 grey=$3 closer=$4

work=$(mktemp -d)
xvfb="" viewer=""
cleanup() {
    [ -n "$viewer" ] && kill "$viewer" 2>/dev/null || true
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -s "$work/stderr" ] && sed 's/^/viewer: /' "$work/stderr" >&2; exit 1; }

# shellcheck source=tests/e2e/x11_session.sh
. "$(dirname "$0")/x11_session.sh"
start_xvfb || fail "Xvfb did not start"

"$program" 2>"$work/stderr" &
viewer=$!

find_window() { window=$(xdotool search --name "^${title}\$" 2>/dev/null | head -1) && [ -n "$window" ]; }
wait_until 20 find_window || fail "no window titled '$title'"

# The grey level of one pixel of the window, as "R G B".
pixel() {
    import -window "$window" "$work/shot.png" 2>/dev/null || return 1
    convert "$work/shot.png" -format "%[fx:int(255*p{$1,$2}.r+0.5)] %[fx:int(255*p{$1,$2}.g+0.5)] %[fx:int(255*p{$1,$2}.b+0.5)]" info:
}
# Within 1 of the expected level: GL rounds 0.3 x 255 either way.
shows_clear_colour() {
    local c values
    values=$(pixel "$1" "$2") || return 1
    [ "$(wc -w <<<"$values")" -eq 3 ] || return 1
    for c in $values; do
        [ "$c" -ge $((grey - 1)) ] && [ "$c" -le $((grey + 1)) ] || return 1
    done
}
wait_until 20 shows_clear_colour 256 300 || fail "client area is '$(pixel 256 300)', expected grey $grey"

# Escape is an ordinary key: after it, the window is still there and keeps
# drawing at its new size.
xdotool windowfocus --sync "$window"
xdotool key Escape
xdotool windowsize "$window" 700 600
wait_until 20 shows_clear_colour 650 550 || fail "window did not redraw after Escape and a resize"
kill -0 "$viewer" 2>/dev/null || fail "the viewer ended on Escape"

"$closer" "$window" || fail "could not send the close request"
wait_for_viewer_exit 20 || fail "the viewer did not end after the close request"
[ "$status" -eq 0 ] || fail "exit status $status after closing, expected 0"
echo "ok: $title"
