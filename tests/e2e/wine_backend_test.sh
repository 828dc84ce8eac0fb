#!/usr/bin/env bash
# The Win32 backend under Wine, driven by kelvane-win32-probe.exe:
#  - menus: the native bar holds the drop-downs, ids, labels ('&' doubled so
#    it shows as is, UTF-8 widened) and check marks of the value it was given,
#    set already while the window is being created, and replaced whole;
#  - window: a 512x512 window with a GL context cleared to dark grey, a menu
#    bar reachable by keyboard, Help > About shows a message box that Return
#    closes, File > Quit ends the process with status 0;
#  - bitmaps: 24-, 8-, 16- and 32-bit BMPs, and a 24-bit one without its
#    last row's padding, load as the same picture ImageMagick sees; files
#    the shared BMP check refuses (run-length encoded, cut short, no
#    bitmap) load nothing;
#  - open-file dialog: title, initial file name from the request, a typed
#    path comes back;
#  - title and drop: a non-ASCII title reads back as set; a WM_DROPFILES
#    of two files (one non-ASCII) reaches the app as their paths.
# Usage: wine_backend_test.sh BUILD_WINDOWS_DIR
BUILD_WIN=${1:?usage: wine_backend_test.sh BUILD_WINDOWS_DIR}
source "$(dirname "$0")/wine_common.sh"
PROBE="$(realpath -m "$BUILD_WIN")/platform/win32/kelvane-win32-probe.exe"
[ -f "$PROBE" ] || skip "$PROBE was not built (scripts/build-windows.sh)"

start_display
make_prefix

echo "== menus"
expected_menu=$'create: menu set
File
  1004 Quit
Help
  1005 About
replaced:
File
  1001 Load EBO
  1004 Quit
<EBO>
  1010 00 <Fish && Chips> [checked]
  1011 01 <J\u00e9r\u00f4me>
  1052 Light [checked]
Help
  1005 About'
actual_menu=$(wine "$PROBE" menu | tr -d '\r')
[ "$actual_menu" = "$expected_menu" ] || fail "menus differ:
$(diff <(echo "$expected_menu") <(echo "$actual_menu"))"

echo "== window, About box, Quit"
wine "$PROBE" window >"$E2E_TMP/window.out" 2>&1 &
probe=$!
wait_for "the probe window" has_window "Kelvane probe"
main=$(window_by_title "Kelvane probe")
# The client area starts below the caption and the menu row.
wait_for "the dark grey clear colour" pixel_is_grey "$main" 256 300 26
before=$(titled_window_count)
xdotool windowfocus --sync "$main"
xdotool key --delay 50 F10 Right Down Return   # Help > About
wait_for "the About box" has_window "About probe"
xdotool key Return
wait_for "the About box to close" no_window "About probe"
[ "$(titled_window_count)" -eq "$before" ] || fail "a window was left open"
xdotool windowfocus --sync "$main"
xdotool key --delay 50 F10 Down Up Return      # File > Quit (last item)
wait_for "the probe to end" process_gone "$probe"
status=0
wait "$probe" || status=$?
[ "$status" -eq 0 ] || fail "the probe ended with status $status: $(cat "$E2E_TMP/window.out")"

echo "== bitmaps"
cd "$E2E_TMP"
# 7 pixels wide, so 24-bit rows need padding; corners differ so a flip shows.
convert -size 7x5 gradient:red-blue -fill lime -draw 'point 0,0' -fill white -draw 'point 6,4' \
    -type TrueColor BMP3:rgb24.bmp
convert rgb24.bmp -type Palette -compress None BMP3:pal8.bmp
convert rgb24.bmp -type Palette -compress RLE BMP3:rle8.bmp
convert rgb24.bmp -define bmp:subtype=RGB565 BMP:rgb565.bmp
convert rgb24.bmp -define bmp:subtype=RGB555 BMP:rgb555.bmp
convert rgb24.bmp -alpha on -define bmp:subtype=ARGB8888 BMP:argb32.bmp
# Top-down files (negative height) are left out: Wine 8's LoadImageW gives
# them an all-black section, while Windows loads them; GetDIBits returns
# bottom-up rows either way.
head -c -3 rgb24.bmp >unpadded.bmp  # the top row, last in the file, lacks its 3 padding bytes
for bmp in rgb24 pal8 rgb565 rgb555 argb32 unpadded; do
    size=$(wine "$PROBE" bitmap "$bmp.bmp" "$bmp.ppm" | tr -d '\r') || fail "$bmp.bmp did not load"
    [ "$size" = "7x5" ] || fail "$bmp.bmp loaded as $size"
    # 16-bit channels come back with 5 or 6 bits: allow that much difference.
    differing=$(compare -fuzz 4% -metric AE rgb24.bmp "$bmp.ppm" null: 2>&1) || true
    [ "$differing" = "0" ] || fail "$bmp.bmp: $differing pixels differ from the picture"
done
head -c 30 rgb24.bmp >truncated.bmp
echo "not a picture" >text.bmp
for bad in rle8 truncated text missing; do
    status=0
    out=$(wine "$PROBE" bitmap "$bad.bmp" out.ppm | tr -d '\r') || status=$?
    [ "$status" -eq 1 ] && [ "$out" = "not loaded" ] || fail "$bad.bmp: status $status, '$out'"
done
cd - >/dev/null

echo "== open-file dialog"
mkdir -p "$E2E_TMP/models" && touch "$E2E_TMP/models/face.ebo"
wine "$PROBE" dialog 'C:\start.ebo' >"$E2E_TMP/dialog.out" 2>&1 &
probe=$!
wait_for "the Open EBO dialog" has_window "Open EBO"
dialog=$(window_by_title "Open EBO")
xdotool windowfocus --sync "$dialog"
# The file-name field starts with the request's initial path, selected.
xdotool key ctrl+a
xdotool type --delay 20 "Z:${E2E_TMP//\//\\}\\models\\face.ebo"
xdotool key Return
wait_for "the dialog to return" process_gone "$probe"
chosen=$(tr -d '\r' <"$E2E_TMP/dialog.out")
[ "$chosen" = "Z:${E2E_TMP//\//\\}\\models\\face.ebo" ] || fail "dialog returned '$chosen'"

echo "== title and drop"
expected_drop=$'title: t\u00eate.ebo - Kelvane probe
dropped: C:\\faces\\t\u00eate.ebo
dropped: Z:\\tmp\\b.FSH'
actual_drop=$(wine "$PROBE" drop | tr -d '\r') || fail "the drop probe failed: $actual_drop"
[ "$actual_drop" = "$expected_drop" ] || fail "title and drop differ:
$(diff <(echo "$expected_drop") <(echo "$actual_drop"))"

echo "PASS"
