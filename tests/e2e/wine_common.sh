# shellcheck shell=bash
# Shared by the Wine tests, sourced: an Xvfb display with the helpers of
# x11_session.sh, its windows composited where asked as on a desktop that
# composites (no expose when a menu or dialog closes, so none hides a
# missing frame), a Wine
# prefix (KELVANE_WINEPREFIX, else a fresh one) and the helpers that drive a
# viewer's window. Exit status 77 means skipped.
set -euo pipefail
export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in wine Xvfb xdotool xwininfo import; do command -v $tool >/dev/null || skip "$tool is not installed"; done

E2E_TMP=$(mktemp -d /tmp/kelvane-wine-test.XXXXXX)
# shellcheck disable=SC2034  # read by x11_session.sh
work=$E2E_TMP xvfb="" compositor=""
# shellcheck source=tests/e2e/x11_session.sh
. "$(dirname "${BASH_SOURCE[0]}")/x11_session.sh"
cleanup() {
    local status=$?
    [ -z "${WINEPREFIX:-}" ] || wineserver -k >/dev/null 2>&1 || true
    [ -z "$compositor" ] || kill "$compositor" 2>/dev/null || true
    stop_xvfb
    rm -rf "$E2E_TMP"
    exit "$status"
}
trap cleanup EXIT

quietly() { "$@" >/dev/null 2>&1; }
wait_for() { wait_until $patience quietly "${@:2}" || fail "timed out after ${patience}s waiting for $1"; }

make_prefix() {
    export WINEPREFIX=${KELVANE_WINEPREFIX:-$E2E_TMP/prefix}
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1 || fail "wineboot could not make a prefix"
    # Unmanaged windows: with no window manager, dialogs then close at once.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w
}
# $1, when given: the Linux build, whose X11 sender composites the windows.
start_wine() {
    start_xvfb || fail "Xvfb did not start"
    if [ -n "${1:-}" ]; then
        "$1/tests/e2e/kelvane_x11_send" composite >"$E2E_TMP/composite" & compositor=$!
        wait_for "the windows' automatic redirection" grep -q redirected "$E2E_TMP/composite"
    fi
    make_prefix
}

has_window() { visible_titled "$1"; }
no_window() { ! visible_titled "$1"; }
window_or_end() { visible_titled "$1" || viewer_ended; }
# True when the pixel ($2,$3) of window $1 is within 2 of grey level $4.
pixel_is_grey() {
    local r g b
    IFS=, read -r r g b < <(import -silent -window "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- 2>/dev/null |
        sed -n '2s/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p') || return 1
    for c in "$r" "$g" "$b"; do [ $((c - $4)) -le 2 ] && [ $(($4 - c)) -le 2 ] || return 1; done
}

# A Windows program run in the background as `viewer`, its output kept.
start_viewer() { wine "$@" >"$E2E_TMP/viewer.out" 2>&1 & viewer=$!; }
# The viewer's window titled $1: MAIN, its client area CLIENT (Wine draws GL
# into a child window covering it exactly), the menu row above it, the middle.
find_viewer() {
    wait_for "the window \"$1\"" window_or_end "$1"
    visible_titled "$1" || fail "no window \"$1\": $(cat "$E2E_TMP/viewer.out")"
    MAIN=$found
    CLIENT=$(xwininfo -children -id "$MAIN" | awk '/ child(ren)?:$/ { getline; print $(NF - 1); exit }')
    [[ "$CLIENT" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || fail "no client area in window $MAIN"
    local w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]}
    [ "$y" -gt 18 ] || fail "no room for a menu bar above the client area ($CLIENT)"
    CENTRE_X=$((x + w / 2)) CENTRE_Y=$((y + h / 2)) MENU_ROW="${w}x16+$x+$((y - 18))"
}
# F10 selects "File"; Right moves along the bar, Down opens a drop-down on
# its first item, Up from there wraps to the last.
menu_keys() { xdotool windowfocus --sync "$MAIN" key --delay 50 F10 "$@"; }
quit_viewer() {
    menu_keys Down Up Return   # File > Quit, the last item
    wait_for_viewer_exit || fail "the viewer did not end"
    [ "$status" -eq 0 ] || fail "the viewer ended with status $status: $(cat "$E2E_TMP/viewer.out")"
}

# Area $1 of the window as the PNG file $2.
snapshot() { import -silent -window "$MAIN" -crop "$1" +repage "$2" 2>/dev/null && [ -s "$2" ]; }
shows_as() { snapshot "$1" "$E2E_TMP/now.png" && [ "$(pixels_differing "$E2E_TMP/now.png" "$2" 1%)" = 0 ]; }
# Changed: more than 1% of the pixels, far beyond rounding; a label added to
# the menu bar changes about 4% of its row.
changed_from() {
    snapshot "$1" "$E2E_TMP/now.png" || return 1
    local differing width height
    differing=$(pixels_differing "$E2E_TMP/now.png" "$2" 1%)
    IFS=x+ read -r width height _ <<<"$1"
    [[ "$differing" =~ ^[0-9]+$ ]] && [ $((differing * 100)) -gt $((width * height)) ]
}
