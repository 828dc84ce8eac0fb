# shellcheck shell=bash
# Shared set-up of the Wine tests; sourced, not run.
# Needs: BUILD_WIN (the cross-build folder). Gives: an Xvfb display, a Wine
# prefix (KELVANE_WINEPREFIX when set, else a fresh one in a temp folder that
# is removed at exit), and wait/poll helpers. Exit status 77 means skipped.

set -euo pipefail
export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }

command -v wine >/dev/null || skip "wine is not installed"
command -v Xvfb >/dev/null || skip "Xvfb is not installed"
command -v xdotool >/dev/null || skip "xdotool is not installed"

E2E_TMP=$(mktemp -d /tmp/kelvane-wine-test.XXXXXX)
XVFB_PID=""
cleanup() {
    local status=$?
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
    rm -rf "$E2E_TMP"
    exit "$status"
}
trap cleanup EXIT

# Polls a command until it succeeds; fails the test after $1 seconds.
wait_for() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        [ "$SECONDS" -lt "$deadline" ] || fail "timed out after ${seconds}s waiting for $what"
        sleep 0.1
    done
}

# -noreset: a server resetting after its last client left refuses the next
# one for a moment, and Wine's processes come and go.
start_display() {
    local fifo="$E2E_TMP/displayfd"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    local number
    read -r -t 20 number <"$fifo" || fail "Xvfb did not start"
    export DISPLAY=":$number"
}

# A prefix made once per run: the tests share KELVANE_WINEPREFIX when the
# caller made one, otherwise each script makes its own (~12 s, ~700 MB).
make_prefix() {
    if [ -n "${KELVANE_WINEPREFIX:-}" ]; then
        export WINEPREFIX="$KELVANE_WINEPREFIX"
    else
        export WINEPREFIX="$E2E_TMP/prefix"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i >/dev/null 2>&1 || fail "wineboot could not make a prefix"
    fi
    # Unmanaged windows: with no window manager, dialogs then close at once.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w
}

# The X window of a top-level window with exactly this title, if shown.
window_by_title() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }
has_window() { [ -n "$(window_by_title "$1")" ]; }
no_window() { [ -z "$(window_by_title "$1")" ]; }
visible_window_count() { xdotool search --onlyvisible --name '.' 2>/dev/null | wc -l; }
more_windows_than() { [ "$(visible_window_count)" -gt "$1" ]; }
at_most_windows() { [ "$(visible_window_count)" -le "$1" ]; }

# The colour of one pixel of a window as "R,G,B" (0-255).
pixel_of() {
    local window=$1 x=$2 y=$3
    import -silent -window "$window" -crop "1x1+$x+$y" +repage -depth 8 txt:- 2>/dev/null |
        sed -n '2s/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}
# True when the pixel is within 2 of the given grey level on every channel.
pixel_is_grey() {
    local rgb
    rgb=$(pixel_of "$1" "$2" "$3")
    [ -n "$rgb" ] || return 1
    local r g b
    IFS=, read -r r g b <<<"$rgb"
    for c in "$r" "$g" "$b"; do
        [ $((c - $4)) -le 2 ] && [ $(($4 - c)) -le 2 ] || return 1
    done
}
process_gone() { ! kill -0 "$1" 2>/dev/null; }

# Geometry "WxH+X+Y" of a window's client area within the window. Wine draws
# GL into a child X window that covers exactly the client area, so its
# geometry needs no knowledge of caption or menu sizes.
client_geometry() {
    xwininfo -children -id "$1" 2>/dev/null | awk '/ child(ren)?:$/ { getline; print $(NF - 1); exit }'
}

# A part of a window ("WxH+X+Y", window coordinates) as a PNG file.
snapshot() {
    local window=$1 geometry=$2 file=$3
    import -silent -window "$window" -crop "$geometry" +repage "$file" 2>/dev/null && [ -s "$file" ]
}

# How many pixels of two pictures of one size differ by more than a rounding.
pixels_differing() {
    compare -fuzz 1% -metric AE "$1" "$2" null: 2>&1 | sed 's/ .*//'
}
