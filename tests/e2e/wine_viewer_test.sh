#!/usr/bin/env bash
# Both Windows viewers under Wine, driven by keyboard, checked on screenshots
# and exit statuses: title, clear colour, a menu bar with labels (the same
# for both), About, Load EBO and Load FSH through the real open-file dialog
# ("<EBO>" and "<FSH>" join the bar), Select All, Quit; after the model load
# and Select All the picture is the frame kelvane-inspect renders, though no
# expose follows the dialog or the menu; so are the View menu's Texture View
# (of the image with alpha) and Wireframe. Then kelvane.exe with the model and
# the archive's texture as a BMP, then as a PNG, named by their paths in a
# non-ASCII folder draws them as the menu loads did, the title naming the
# files; the model and archive named relative to that folder are drawn alike
# and still followed on disk after a cancelled dialog.
# Last the backend probe: title, menu labels and a drop of two files.
# Usage: wine_viewer_test.sh BUILD_WINDOWS_DIR BUILD_LINUX_DIR
WIN=$(realpath -m "${1:?usage: wine_viewer_test.sh BUILD_WINDOWS_DIR BUILD_LINUX_DIR}")
LINUX=$(realpath -m "${2:?}")
source "$(dirname "$0")/wine_common.sh"
for file in "$WIN"/{app/kelvane.exe,app/kelvane-legacy.exe,platform/win32/kelvane-win32-probe.exe} \
    "$LINUX"/{tools/kelvane-inspect,samples/head.ebo,samples/head.fsh,samples/legacy_head.ebo,tests/e2e/kelvane_x11_send}; do
    [ -f "$file" ] || skip "$file was not built (scripts/build-windows.sh, scripts/build.sh)"
done
start_wine "$LINUX"
windows_path() { echo "Z:${1//\//\\}"; }
labelled() { snapshot "$1" "$E2E_TMP/bar.png" && [ "$(convert "$E2E_TMP/bar.png" -format '%[fx:standard_deviation > 0.02]' info:)" = 1 ]; }
# The client area shows what kelvane-inspect renders at its size for the view
# given ($1: --legacy or ""), within a few pixels.
as_rendered() {
    local size=${CLIENT%%+*}
    "$LINUX/tools/kelvane-inspect" render $1 --size "$size" -o "$E2E_TMP/rendered.png" "${@:2}" &&
        snapshot "$CLIENT" "$E2E_TMP/now.png" &&
        [ "$(pixels_differing "$E2E_TMP/now.png" "$E2E_TMP/rendered.png")" -le 40 ]
}

# Types the file's Z:\ path into the dialog that menu keys $3... open.
load_through_dialog() {
    menu_keys "${@:3}"
    answer_dialog "$1" "$2"
}
answer_dialog() {
    local title=$1 file=$2
    wait_for "the \"$title\" dialog" has_window "$title"
    xdotool windowfocus --sync "$found" key ctrl+a type --delay 10 "$(windows_path "$file")"
    xdotool key Return
    wait_for "the \"$title\" dialog to close" no_window "$title"
}

check_viewer() {
    local exe=$1 title=$2 grey=$3 model=$4 legacy=""
    [ "$exe" = kelvane-legacy ] && legacy=--legacy
    echo "== $exe.exe with $model"
    start_viewer "$WIN/app/$exe.exe"
    find_viewer "$title"
    wait_for "the clear colour $grey" pixel_is_grey "$MAIN" "$CENTRE_X" "$CENTRE_Y" "$grey"
    wait_for "labels on the menu bar" labelled "$MENU_ROW"
    [ -f "$E2E_TMP/bare-bar.png" ] || mv "$E2E_TMP/bar.png" "$E2E_TMP/bare-bar.png"
    shows_as "$MENU_ROW" "$E2E_TMP/bare-bar.png" || fail "the viewers start with different menu bars"
    menu_keys Right Right Down Return   # Help > About, after View
    wait_for "the About box \"Kelvane\"" has_window "Kelvane"
    xdotool windowfocus --sync "$found" key Return
    wait_for "the About box to close" no_window "Kelvane"

    load_through_dialog "Open EBO" "$LINUX/samples/$model" Down Return
    wait_for "the model placed by its own fit" as_rendered "$legacy" --model "$LINUX/samples/$model"
    wait_for "\"<EBO>\" on the menu bar" changed_from "$MENU_ROW" "$E2E_TMP/bare-bar.png"
    snapshot "$MENU_ROW" "$E2E_TMP/menu-ebo.png" && snapshot "$CLIENT" "$E2E_TMP/untextured.png" || fail "no screenshot"
    load_through_dialog "Open FSH" "$LINUX/samples/head.fsh" Down Down Return
    wait_for "the texture on the model" changed_from "$CLIENT" "$E2E_TMP/untextured.png"
    wait_for "\"<FSH>\" on the menu bar" changed_from "$MENU_ROW" "$E2E_TMP/menu-ebo.png"
    snapshot "$CLIENT" "$E2E_TMP/textured.png" || fail "no screenshot of the textured model"
    menu_keys Right Down Down Down Down Return   # <EBO> > Select All
    wait_for "all objects placed by their fit" as_rendered "$legacy" --model "$LINUX/samples/$model" \
        --archive "$LINUX/samples/head.fsh" --show 0,1,2
    local view=(--model "$LINUX/samples/$model" --archive "$LINUX/samples/head.fsh" --show 0,1,2 --slot 1)
    menu_keys Right Right Down Down Return   # <FSH> > eyes, with alpha
    menu_keys Right Right Right Down Down Return   # View > Texture View
    wait_for "the eyes image flat over the checks" as_rendered "$legacy" "${view[@]}" --texture-view
    menu_keys Right Right Right Down Down Return   # View > Texture View, off
    menu_keys Right Right Right Down Up Return   # View > Wireframe, the last
    wait_for "the wireframe over the model" as_rendered "$legacy" "${view[@]}" --wireframe
    xdotool windowfocus --sync "$MAIN" key ctrl+s   # File > Save Picture: exactly what the window shows
    answer_dialog "Save Picture" "$E2E_TMP/$exe.png"
    wait_for "the saved picture" test -s "$E2E_TMP/$exe.png"
    snapshot "$CLIENT" "$E2E_TMP/now.png" && [ "$(pixels_differing "$E2E_TMP/now.png" "$E2E_TMP/$exe.png")" = 0 ] ||
        fail "the saved picture is not the window's"
    quit_viewer
}

# kelvane.exe with files of the non-ASCII folder on its command line: the
# window names them and shows the textured model as the menu loads drew it.
command_line_shows_textured() {
    local title paths=() file
    title=$(printf '%s, ' "$@")
    for file; do paths+=("$(windows_path "$FOLDER/$file")"); done
    start_viewer "$WIN/app/kelvane.exe" "${paths[@]}"
    find_viewer "${title%, } - Kelvane v0.7"
    wait_for "the textured model of $*" shows_as "$CLIENT" "$E2E_TMP/textured.png"
    [ "$(titled_window_count)" -eq 1 ] || fail "a dialog or box opened beside the window"
    quit_viewer
}

check_viewer kelvane "Kelvane v0.7" 26 head.ebo
echo "== kelvane.exe with files on its command line"
version=$(wine "$WIN/app/kelvane.exe" --version | tr -d '\r')
[[ "$version" =~ ^kelvane\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "kelvane.exe --version printed '$version'"
FOLDER="$E2E_TMP/tête"
mkdir "$FOLDER" && cd "$FOLDER"
cp "$LINUX/samples/head.ebo" "$LINUX/samples/head.fsh" .
# The archive's first image as a BMP and as a PNG: each picture loading must draw it alike.
"$LINUX/tools/kelvane-inspect" decode head.fsh 0 -o texture.png
convert texture.png -alpha off -type TrueColor BMP3:head.bmp
command_line_shows_textured head.ebo head.bmp
cp texture.png head.png  # the same picture as a PNG: checked and decoded by our own code in the .exe
command_line_shows_textured head.ebo head.png
echo "== kelvane.exe follows files named relative to its working folder after a cancelled dialog"
mkdir samples && cp head.ebo head.fsh samples/ && cp head.fsh edited.fsh
start_viewer "$WIN/app/kelvane.exe" 'samples\head.ebo' 'samples\head.fsh'
find_viewer "head.ebo, head.fsh - Kelvane v0.7"
wait_for "the textured model" shows_as "$CLIENT" "$E2E_TMP/textured.png"
menu_keys Down Down Down Return   # File > Load BMP
wait_for "the \"Open BMP\" dialog" has_window "Open BMP"
xdotool windowfocus --sync "$found" key Escape
wait_for "the \"Open BMP\" dialog to close" no_window "Open BMP"
# The archive saved again with its first image partly painted over (DXT1 blocks of 0x55).
head -c 16384 /dev/zero | tr '\0' '\125' | dd of=edited.fsh bs=1024 seek=4 count=16 conv=notrunc 2>/dev/null
mv edited.fsh samples/head.fsh
wait_for "the archive read again" changed_from "$CLIENT" "$E2E_TMP/textured.png"
quit_viewer
check_viewer kelvane-legacy "Kelvane v0.6" 77 legacy_head.ebo

echo "== the backend probe: title, menu labels, a drop of two files"
expected=$'title: t\u00eate.ebo - Kelvane probe
<EBO>
  1010 00 <Fish && Chips> [checked]
  1011 01 <J\u00e9r\u00f4me>
dropped: C:\\faces\\t\u00eate.ebo
dropped: Z:\\tmp\\b.FSH'
actual=$(wine "$WIN/platform/win32/kelvane-win32-probe.exe" text | tr -d '\r') || fail "the probe failed: $actual"
[ "$actual" = "$expected" ] || fail "the probe saw otherwise:"$'\n'"$(diff <(echo "$expected") <(echo "$actual"))"
echo "PASS"
