# shellcheck shell=bash
# Shared set-up of the Wine tests; sourced, not run.
# Needs: BUILD_WIN (the cross-build folder). Gives: an Xvfb display and the
# polling and picture helpers of x11_session.sh, which the Linux viewers'
# tests use too; a Wine prefix (KELVANE_WINEPREFIX when set, else a fresh one
# in a temp folder that is removed at exit). Exit status 77 means skipped.

set -euo pipefail
export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }

command -v wine >/dev/null || skip "wine is not installed"
command -v Xvfb >/dev/null || skip "Xvfb is not installed"
command -v xdotool >/dev/null || skip "xdotool is not installed"

E2E_TMP=$(mktemp -d /tmp/kelvane-wine-test.XXXXXX)
# shellcheck disable=SC2034  # read by x11_session.sh
work=$E2E_TMP xvfb=""
# shellcheck source=tests/e2e/x11_session.sh
. "$(dirname "${BASH_SOURCE[0]}")/x11_session.sh"
cleanup() {
    local status=$?
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
    stop_xvfb
    rm -rf "$E2E_TMP"
    exit "$status"
}
trap cleanup EXIT

# Polls a command, quietly, until it succeeds; fails the test when it never does.
quietly() { "$@" >/dev/null 2>&1; }
wait_for() {
    local what=$1
    shift
    wait_until $patience quietly "$@" || fail "timed out after ${patience}s waiting for $what"
}

start_display() { start_xvfb || fail "Xvfb did not start"; }

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
window_by_title() { visible_titled "$1" && echo "$found" || true; }
has_window() { visible_titled "$1"; }
no_window() { ! visible_titled "$1"; }

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
