#!/usr/bin/env bash
# Both Windows viewers under Wine. For each: the window appears with its
# title ("Kelvane v0.7", "Kelvane v0.6"); the client area shows the clear
# colour (dark grey 26, legacy grey 77); the menu bar works from the
# keyboard: Help > About opens a message box that Return closes; File > Quit
# ends the process with exit status 0.
# Usage: wine_viewer_test.sh BUILD_WINDOWS_DIR
BUILD_WIN=${1:?usage: wine_viewer_test.sh BUILD_WINDOWS_DIR}
source "$(dirname "$0")/wine_common.sh"
BUILD_WIN=$(realpath -m "$BUILD_WIN")
for exe in kelvane kelvane-legacy; do
    [ -f "$BUILD_WIN/app/$exe.exe" ] || skip "$BUILD_WIN/app/$exe.exe was not built (scripts/build-windows.sh)"
done

start_display
make_prefix

window_or_end() { has_window "$1" || process_gone "$2"; }

check_viewer() {
    local exe=$1 title=$2 grey=$3
    echo "== $exe"
    wine "$BUILD_WIN/app/$exe.exe" >"$E2E_TMP/$exe.out" 2>&1 &
    local viewer=$!
    # Fail at once if the program ends before its window shows.
    wait_for 30 "the window \"$title\"" window_or_end "$title" "$viewer"
    has_window "$title" || fail "$exe ended before showing its window: $(cat "$E2E_TMP/$exe.out")"
    local main
    main=$(window_by_title "$title")
    # Below the caption and the menu row, nothing loaded: the clear colour.
    wait_for 10 "the clear colour $grey" pixel_is_grey "$main" 256 300 "$grey"

    local before
    before=$(visible_window_count)
    xdotool windowfocus --sync "$main"
    xdotool key --delay 50 F10 Right Down Return   # Help > About ("File" and "Help" only)
    wait_for 10 "the About box" more_windows_than "$before"
    xdotool key Return
    wait_for 10 "the About box to close" at_most_windows "$before"

    xdotool windowfocus --sync "$main"
    xdotool key --delay 50 F10 Down Up Return      # File > Quit, the last item
    wait_for 10 "$exe to end" process_gone "$viewer"
    local status=0
    wait "$viewer" || status=$?
    [ "$status" -eq 0 ] || fail "$exe ended with status $status: $(cat "$E2E_TMP/$exe.out")"
}

check_viewer kelvane "Kelvane v0.7" 26
check_viewer kelvane-legacy "Kelvane v0.6" 77
echo "PASS"
