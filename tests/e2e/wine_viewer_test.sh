#!/usr/bin/env bash
# Both Windows viewers under Wine, driven from the keyboard like a user would,
# checked on screenshots and exit statuses. For each viewer (kelvane.exe with
# head.ebo, kelvane-legacy.exe with legacy_head.ebo):
#  - the window shows with its title ("Kelvane v0.7", "Kelvane v0.6"), the
#    clear colour (grey 26, legacy 77), and a menu bar drawn exactly like the
#    probe's bar of "File" and "Help" (whose labels wine_backend checks);
#  - Help > About opens the box captioned "Kelvane"; Return closes it;
#  - File > Load EBO, a Z:\ path typed into the real GetOpenFileNameW dialog:
#    the model covers the middle of the window and "<EBO>" joins the bar;
#  - File > Load FSH with head.fsh: the model area changes colour, the model
#    stays, "<FSH>" joins the bar;
#  - <EBO> > object 0 hides that object (the picture changes) and choosing it
#    again brings the textured picture back as it was;
#  - Help > About, now the fourth drop-down, still opens and closes;
#  - File > Quit ends the process with exit status 0.
# Then kelvane.exe from the command line: --version prints to the caller's
# standard output; the sample model and archive named by Z:\ paths in a
# non-ASCII folder open before the first frame with no dialog, drawn exactly
# as after the two menu loads, the title naming both files.
# Usage: wine_viewer_test.sh BUILD_WINDOWS_DIR BUILD_LINUX_DIR
# The sample files come from the Linux build (BUILD_LINUX_DIR/samples).
BUILD_WIN=${1:?usage: wine_viewer_test.sh BUILD_WINDOWS_DIR BUILD_LINUX_DIR}
BUILD_LINUX=${2:?usage: wine_viewer_test.sh BUILD_WINDOWS_DIR BUILD_LINUX_DIR}
source "$(dirname "$0")/wine_common.sh"
BUILD_WIN=$(realpath -m "$BUILD_WIN")
SAMPLES=$(realpath -m "$BUILD_LINUX/samples")
PROBE="$BUILD_WIN/platform/win32/kelvane-win32-probe.exe"
for exe in app/kelvane.exe app/kelvane-legacy.exe platform/win32/kelvane-win32-probe.exe; do
    [ -f "$BUILD_WIN/$exe" ] || skip "$BUILD_WIN/$exe was not built (scripts/build-windows.sh)"
done
for sample in head.ebo head.fsh legacy_head.ebo; do
    [ -f "$SAMPLES/$sample" ] || skip "$SAMPLES/$sample is missing (build the kelvane_samples target)"
done
command -v xwininfo >/dev/null || skip "xwininfo is not installed"
command -v import >/dev/null || skip "ImageMagick is not installed"

start_display
make_prefix

# The path as the Windows programs see it through Wine's Z: drive.
windows_path() { echo "Z:${1//\//\\}"; }

# Set for the window under test: its X window, the geometry of its client
# area and of the menu row just above it, and the middle of the client area.
MAIN="" CLIENT="" MENU_ROW="" CENTRE_X=0 CENTRE_Y=0
set_geometry() {
    CLIENT=$(client_geometry "$MAIN")
    [[ "$CLIENT" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || fail "no client area found in window $MAIN"
    local width=${BASH_REMATCH[1]} height=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]}
    CENTRE_X=$((x + width / 2)) CENTRE_Y=$((y + height / 2))
    # The menu bar's labels sit in the rows right above the client area.
    [ "$y" -gt 18 ] || fail "no room for a menu bar above the client area ($CLIENT)"
    MENU_ROW="${width}x16+$x+$((y - 18))"
}

# Predicates polled by wait_for; each takes a fresh screenshot.
shows_as() { snapshot "$MAIN" "$1" "$E2E_TMP/now.png" && [ "$(pixels_differing "$E2E_TMP/now.png" "$2" 1%)" = 0 ]; }
# "Changed" means more than 1% of the pixels, far beyond any rounding: a
# label added to the menu bar changes about 4% of its row.
changed_from() {
    snapshot "$MAIN" "$1" "$E2E_TMP/now.png" || return 1
    local differing width height
    differing=$(pixels_differing "$E2E_TMP/now.png" "$2" 1%)
    IFS=x+ read -r width height _ <<<"$1"
    [[ "$differing" =~ ^[0-9]+$ ]] && [ $((differing * 100)) -gt $((width * height)) ]
}
model_in_middle() { ! pixel_is_grey "$MAIN" "$CENTRE_X" "$CENTRE_Y" "$1"; }

# Menu navigation by keyboard alone: F10 selects "File"; Right moves along
# the bar (Left from "File" would reach the system menu), Down opens the
# drop-down on its first item, Up from there wraps to the last one.
menu_keys() {
    xdotool windowfocus --sync "$MAIN"
    xdotool key --delay 50 F10 "$@"
}

# Help is the last of $1 drop-downs; its only item is About.
check_about() {
    local menus=$1 rights=()
    for ((i = 1; i < menus; i++)); do rights+=(Right); done
    menu_keys "${rights[@]}" Down Return
    wait_for "the About box \"Kelvane\"" has_window "Kelvane"
    xdotool windowfocus --sync "$(window_by_title "Kelvane")"
    xdotool key Return
    wait_for "the About box to close" no_window "Kelvane"
}

# Runs a load command, types the file's Z:\ path into the open-file dialog
# the command opens and confirms it.
load_through_dialog() {
    local title=$1 file=$2
    shift 2
    menu_keys "$@"
    wait_for "the \"$title\" dialog" has_window "$title"
    xdotool windowfocus --sync "$(window_by_title "$title")"
    # The file-name field has the focus and starts with the last path chosen.
    xdotool key ctrl+a
    xdotool type --delay 10 "$(windows_path "$file")"
    xdotool key Return
    wait_for "the \"$title\" dialog to close" no_window "$title"
}

# The menu row of the probe's bar ("File", "Help"): what every viewer shows
# before anything is loaded. Taken from the same Wine on the same display.
reference_menu_row() {
    echo "== reference menu bar (probe)"
    wine "$PROBE" window >"$E2E_TMP/probe.out" 2>&1 &
    local probe=$!
    wait_for "the probe window" has_window "Kelvane probe"
    MAIN=$(window_by_title "Kelvane probe")
    set_geometry
    wait_for "the probe's clear colour" pixel_is_grey "$MAIN" "$CENTRE_X" "$CENTRE_Y" 26
    snapshot "$MAIN" "$MENU_ROW" "$E2E_TMP/menu-file-help.png" || fail "no screenshot of the probe"
    menu_keys Down Up Return   # File > Quit
    wait_for "the probe to end" process_gone "$probe"
    wait "$probe" || fail "the probe failed: $(cat "$E2E_TMP/probe.out")"
}

window_or_end() { has_window "$1" || process_gone "$2"; }

check_viewer() {
    local exe=$1 title=$2 grey=$3 model=$4
    local started=$SECONDS
    echo "== $exe with $model"
    wine "$BUILD_WIN/app/$exe.exe" >"$E2E_TMP/$exe.out" 2>&1 &
    local viewer=$!
    # Fail at once if the program ends before its window shows.
    wait_for "the window \"$title\"" window_or_end "$title" "$viewer"
    has_window "$title" || fail "$exe ended before showing its window: $(cat "$E2E_TMP/$exe.out")"
    MAIN=$(window_by_title "$title")
    set_geometry
    wait_for "the clear colour $grey" pixel_is_grey "$MAIN" "$CENTRE_X" "$CENTRE_Y" "$grey"
    wait_for "a menu bar of \"File\" and \"Help\"" shows_as "$MENU_ROW" "$E2E_TMP/menu-file-help.png"
    check_about 2

    load_through_dialog "Open EBO" "$SAMPLES/$model" Down Return   # File > Load EBO
    wait_for "the model in the middle of the window" model_in_middle "$grey"
    wait_for "\"<EBO>\" on the menu bar" changed_from "$MENU_ROW" "$E2E_TMP/menu-file-help.png"
    snapshot "$MAIN" "$MENU_ROW" "$E2E_TMP/menu-ebo.png" || fail "no screenshot of the menu bar"
    snapshot "$MAIN" "$CLIENT" "$E2E_TMP/untextured.png" || fail "no screenshot of the model"

    load_through_dialog "Open FSH" "$SAMPLES/head.fsh" Down Down Return   # File > Load FSH
    wait_for "the texture on the model" changed_from "$CLIENT" "$E2E_TMP/untextured.png"
    model_in_middle "$grey" || fail "the model went away when the texture was loaded"
    wait_for "\"<FSH>\" on the menu bar" changed_from "$MENU_ROW" "$E2E_TMP/menu-ebo.png"
    snapshot "$MAIN" "$CLIENT" "$E2E_TMP/textured.png" || fail "no screenshot of the textured model"

    menu_keys Right Down Return   # <EBO> > object 0
    wait_for "object 0 to be hidden" changed_from "$CLIENT" "$E2E_TMP/textured.png"
    menu_keys Right Down Return   # the same item again
    wait_for "object 0 to show again" shows_as "$CLIENT" "$E2E_TMP/textured.png"

    check_about 4   # File, <EBO>, <FSH>, Help

    menu_keys Down Up Return   # File > Quit, the last item
    wait_for "$exe to end" process_gone "$viewer"
    local status=0
    wait "$viewer" || status=$?
    [ "$status" -eq 0 ] || fail "$exe ended with status $status: $(cat "$E2E_TMP/$exe.out")"
    echo "   passed in $((SECONDS - started))s"
}

check_command_line() {
    local started=$SECONDS
    echo "== kelvane.exe with head.ebo and head.fsh on its command line"
    local version
    version=$(wine "$BUILD_WIN/app/kelvane.exe" --version | tr -d '\r')
    [[ "$version" =~ ^kelvane\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "kelvane.exe --version printed '$version'"

    local folder="$E2E_TMP/tête"
    mkdir -p "$folder"
    cp "$SAMPLES/head.ebo" "$SAMPLES/head.fsh" "$folder/"
    wine "$BUILD_WIN/app/kelvane.exe" "$(windows_path "$folder/head.ebo")" "$(windows_path "$folder/head.fsh")" \
        >"$E2E_TMP/command-line.out" 2>&1 &
    local viewer=$!
    local title="head.ebo, head.fsh - Kelvane v0.7"
    wait_for "the window \"$title\"" window_or_end "$title" "$viewer"
    has_window "$title" || fail "kelvane.exe ended or titled its window otherwise: $(cat "$E2E_TMP/command-line.out")"
    MAIN=$(window_by_title "$title")
    set_geometry
    wait_for "the textured model, as the menu loads drew it" shows_as "$CLIENT" "$E2E_TMP/textured.png"
    [ "$(titled_window_count)" -eq 1 ] || fail "a dialog or box opened beside the window"
    menu_keys Down Up Return   # File > Quit
    wait_for "kelvane.exe to end" process_gone "$viewer"
    local status=0
    wait "$viewer" || status=$?
    [ "$status" -eq 0 ] || fail "kelvane.exe ended with status $status: $(cat "$E2E_TMP/command-line.out")"
    echo "   passed in $((SECONDS - started))s"
}

reference_menu_row
check_viewer kelvane "Kelvane v0.7" 26 head.ebo
check_command_line
check_viewer kelvane-legacy "Kelvane v0.6" 77 legacy_head.ebo
echo "PASS"
