#!/usr/bin/env bash
# The Windows ZIP as an artist gets it: one folder with the three programs,
# the samples and the guide; what Explorer reads from each program (icon,
# manifest, version information); kelvane.exe started under Wine from a
# fresh unpacked copy, without a file and with a sample, ended by File > Quit.
# usage: package_zip_test.sh ZIP VERSION BUILD_WINDOWS_DIR
#   BUILD_WINDOWS_DIR holds the backend probe that reads the resources.
ZIP=$(realpath "${1:?usage: package_zip_test.sh ZIP VERSION BUILD_WINDOWS_DIR}")
VERSION=${2:?} BUILD_WIN=$(realpath "${3:?}")
source "$(dirname "$0")/wine_common.sh"
PROBE="$BUILD_WIN/platform/win32/kelvane-win32-probe.exe"
[ -f "$PROBE" ] || skip "$PROBE was not built (scripts/build-windows.sh)"
command -v unzip >/dev/null || skip "unzip is not installed"
command -v xwininfo >/dev/null || skip "xwininfo is not installed"
command -v xprop >/dev/null || skip "xprop is not installed"

echo "== contents of $(basename "$ZIP")"
folder="kelvane-$VERSION-windows-x64"
[ "$(basename "$ZIP")" = "$folder.zip" ] || fail "the ZIP's name does not carry version $VERSION"
unzip -Z1 "$ZIP" | grep -v '/$' | sort >"$E2E_TMP/contents"
printf "$folder/%s\n" Guide.txt kelvane.exe kelvane-legacy.exe kelvane-inspect.exe \
    samples/head.ebo samples/head.fsh samples/legacy_head.ebo samples/picture.bmp | sort >"$E2E_TMP/expected"
diff -u "$E2E_TMP/expected" "$E2E_TMP/contents" || fail "the ZIP holds other files than expected"
mkdir "$E2E_TMP/unpacked"
unzip -q "$ZIP" -d "$E2E_TMP/unpacked"
DIR="$E2E_TMP/unpacked/$folder"

start_display
make_prefix

echo "== resources"
check_resources() {
    local exe=$1 icon=$2 out
    local path="Z:$DIR/$exe"
    out=$(wine "$PROBE" resources "${path//\//\\}" "$icon" | tr -d '\r')
    for line in "icon: found" "manifest: found" "ProductName: Kelvane" "ProductVersion: $VERSION" \
        "FileVersion: $VERSION.0" "OriginalFilename: $exe"; do
        grep -qxF "$line" <<<"$out" || fail "$exe: no \"$line\" in what Windows reads:"$'\n'"$out"
    done
    grep -q "^FileDescription: Kelvane ." <<<"$out" || fail "$exe has no file description"
}
check_resources kelvane.exe "Kelvane v0.7"
check_resources kelvane-legacy.exe "Kelvane v0.6"
check_resources kelvane-inspect.exe "Kelvane"

out=$(cd "$DIR" && wine ./kelvane-inspect.exe --version | tr -d '\r')
[ "$out" = "kelvane-inspect $VERSION" ] || fail "kelvane-inspect.exe --version says '$out'"

echo "== kelvane.exe from the unpacked folder"
MAIN=""
find_main() { MAIN=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1); [ -n "$MAIN" ]; }
# The rows of the menu bar, right above the client area (Wine draws GL into
# a child window that covers the client area exactly).
menu_row_of_main() {
    local client
    client=$(client_geometry "$MAIN")
    [[ "$client" =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
    CENTRE_X=$((BASH_REMATCH[3] + BASH_REMATCH[1] / 2)) CENTRE_Y=$((BASH_REMATCH[4] + BASH_REMATCH[2] / 2))
    [ "${BASH_REMATCH[4]}" -gt 18 ] || fail "no room for a menu bar above the client area ($client)"
    MENU_ROW="${BASH_REMATCH[1]}x16+${BASH_REMATCH[3]}+$((BASH_REMATCH[4] - 18))"
}
menu_keys() { xdotool windowfocus --sync "$MAIN"; xdotool key --delay 50 F10 "$@"; }
model_in_middle() { ! pixel_is_grey "$MAIN" "$CENTRE_X" "$CENTRE_Y" 26; }
menu_changed() {
    snapshot "$MAIN" "$MENU_ROW" "$E2E_TMP/now.png" || return 1
    local differing
    differing=$(pixels_differing "$E2E_TMP/now.png" "$E2E_TMP/menu-bare.png" 1%)
    [[ "$differing" =~ ^[0-9]+$ ]] && [ "$differing" -gt 20 ]
}
# The window class found the icon under the window title: the icon Wine
# hands the window manager holds the icon's tile colour, 0xff26344d.
window_has_icon() {
    xprop -id "$MAIN" -f _NET_WM_ICON 32c ' $0+\n' _NET_WM_ICON | tr ',' '\n' | grep -qx ' *4280693837'
}
quit_viewer() {
    menu_keys Down Up Return   # File > Quit, the last item
    wait_for "kelvane.exe to end" process_gone "$viewer"
    local status=0
    wait "$viewer" || status=$?
    [ "$status" -eq 0 ] || fail "kelvane.exe ended with status $status: $(cat "$E2E_TMP/viewer.out")"
}

# As a double-click in Explorer starts it: from its own folder, no file.
(cd "$DIR" && exec wine ./kelvane.exe) >"$E2E_TMP/viewer.out" 2>&1 &
viewer=$!
wait_for "the window \"Kelvane v0.7\"" find_main '^Kelvane v0\.7$'
menu_row_of_main
wait_for "the clear colour" pixel_is_grey "$MAIN" "$CENTRE_X" "$CENTRE_Y" 26
snapshot "$MAIN" "$MENU_ROW" "$E2E_TMP/menu-bare.png" || fail "no screenshot of the menu bar"
[ "$(convert "$E2E_TMP/menu-bare.png" -format "%[fx:standard_deviation > 0.02]" info:)" = 1 ] ||
    fail "the menu bar shows no labels"
wait_for "the program's icon on the window" window_has_icon
quit_viewer

# With a sample named on the command line: the model is drawn and "<EBO>"
# joins the menu bar.
(cd "$DIR" && exec wine ./kelvane.exe 'samples\head.ebo') >"$E2E_TMP/viewer.out" 2>&1 &
viewer=$!
wait_for "a window for the sample" find_main 'Kelvane v0\.7'
menu_row_of_main
wait_for "the sample model in the middle" model_in_middle
wait_for "\"<EBO>\" on the menu bar" menu_changed
quit_viewer
echo "PASS"
