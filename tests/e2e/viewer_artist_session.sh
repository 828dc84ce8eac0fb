#!/usr/bin/env bash
# Uses a viewer the way an artist does, under its own Xvfb display, driving
# the real menus, open-file dialog, mouse and keys with xdotool and checking
# what the screen shows after every step:
#   load the sample model through File > Load EBO (the filter lists lower-case
#   .ebo files), hide and show objects, Deselect All / Select All, reopen the
#   dialog on the last path, Light (current generation), Load FSH and pick
#   images and Blank, Load BMP, drag, wheel, arrow keys and HOME, Help > About,
#   File > Quit with exit status 0.
# Then the artist's loop from the command line: the model and archive named
# there show textured at once, with no dialog and the title naming them; an
# edit of the archive on disk shows in place while a turned view stays
# turned; an archive cut short changes nothing but the title; a file that
# cannot be read gives its reason on standard error and in the title; a
# model dropped on the window (XDND, as a file manager drops) opens. Escape
# is an ordinary key, the window redraws at a new size, and the close request
# a window manager sends ends the viewer with status 0.
# Every step waits for what it expects to see, never a fixed time.
# usage: viewer_artist_session.sh PROGRAM TITLE GREY GENERATION SAMPLES_DIR DROPPER CLOSER
#   GENERATION is "current" or "legacy"; GREY is the clear colour's level;
#   DROPPER and CLOSER are the build's kelvane_x11_drop and kelvane_x11_close.
set -euo pipefail
program=$(realpath "$1") title=$2 grey=$3 generation=$4 samples=$(realpath "$5") dropper=$(realpath "$6") closer=$(realpath "$7")

work=$(mktemp -d)
xvfb="" viewer="" step="start"
cleanup() {
    [ -n "$viewer" ] && kill "$viewer" 2>/dev/null || true
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL ($title, $step): $*" >&2
    [ -s "$work/stderr" ] && sed 's/^/viewer: /' "$work/stderr" >&2
    # Keep the screenshots for a look at what went wrong.
    local kept
    import -window root "$work/screen.png" 2>/dev/null || true
    kept=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-e2e-XXXXXX")
    cp "$work"/*.png "$kept"/ 2>/dev/null || true
    echo "screenshots kept in $kept" >&2
    exit 1
}

# shellcheck source=tests/e2e/x11_session.sh
. "$(dirname "$0")/x11_session.sh"

# --- The display, the viewer and a folder of files the artist opens ---------

start_xvfb || fail "Xvfb did not start"

# A home of its own: FLTK reads its options there. With GTK on the machine the
# native chooser would be GTK's; this test drives FLTK's own chooser, which is
# what the viewer shows where GTK is absent.
export HOME="$work/home"
mkdir -p "$HOME/.fltk/fltk.org"
printf '; FLTK preferences file format 1.0\n; vendor: fltk.org\n; application: fltk\n\n[.]\n\n[./options]\nFNFCUsesGTK:0\n' \
    >"$HOME/.fltk/fltk.org/fltk.prefs"

# The model sits with a file the EBO filter must hide, so that typing its
# first letter completes to it only if the filter lists a lower-case ".ebo".
files="$work/files"
mkdir -p "$files"
if [ "$generation" = legacy ]; then model_sample=legacy_head.ebo; else model_sample=head.ebo; fi
cp "$samples/$model_sample" "$files/face.ebo"
echo "not a model" >"$files/face.txt"

# Started from a folder other than the files', so a dialog that forgets the
# last path cannot find it by chance.
(cd "$work" && exec "$program") 2>"$work/stderr" &
viewer=$!

find_window() {
    kill -0 "$viewer" 2>/dev/null || fail "the viewer ended at start"
    window=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -1) && [ -n "$window" ]
}
wait_until $patience find_window || fail "no window titled '$title'"

# --- Screenshots and what they show ------------------------------------------

# The client area below the menu bar, as a PNG named $1.
shot() {
    import -window "$window" "$work/full.png" 2>/dev/null &&
        convert "$work/full.png" -crop +0+30 +repage "$work/$1.png"
}
# The picture as a mask: black where the clear colour is, white elsewhere.
mask() {
    convert "$work/$1.png" -fuzz 3% -fill black -opaque "rgb($grey,$grey,$grey)" -fill white +opaque black \
        -colorspace Gray "$@" 2>/dev/null
}
# The share of the picture that is not the clear colour (0..1).
coverage() { mask "$1" -format "%[fx:mean]" info:; }
# The bounding box of what is drawn: "width height x y".
drawn_box() { mask "$1" -format "%@" info: | tr 'x+' '  '; }
# The share of pixels of $1 that are a vivid green, a colour no image of the
# sample archive holds and the sample picture shows in a quarter.
green_share() {
    convert "$work/$1.png" -scale 25% -fx "(g-r>0.3 && g-b>0.2) ? 1 : 0" -colorspace Gray \
        -format "%[fx:mean]" info: 2>/dev/null
}
# How many pixels of shots $1 and $2 differ by more than a little.
differing() { pixels_differing "$work/$1.png" "$work/$2.png"; }
gt() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# Pictures of at least this many differing pixels count as changed, those of
# at most `same` as the same picture.
changed=400 same=40

# True once the window shows a model: the middle is not the clear colour.
model_drawn() { shot now && gt "$(coverage now)" 0.05; }
only_clear_colour() { shot now && ! gt "$(coverage now)" 0; }
differs_from() { shot now && [ "$(differing now "$1")" -ge $changed ]; }
same_as() { shot now && [ "$(differing now "$1")" -le $same ]; }
# True when two shots running are the same, the last kept as $1: the window
# has drawn what it was asked to.
settled_as() { shot "$1" && shot settling && [ "$(differing settling "$1")" = 0 ]; }
# Waits for the picture to change from shot $1 and keeps the new one as $2.
expect_change() {
    wait_until $patience differs_from "$1" || fail "the picture did not change from '$1'"
    wait_until $patience settled_as "$2" || fail "the picture did not settle after changing from '$1'"
}
expect_same_as() { wait_until $patience same_as "$1" || fail "the picture did not come back to '$1'"; }

# --- Driving the window --------------------------------------------------------

focus_main() { xdotool windowfocus --sync "$window"; }

# Picks item $2 (from 0) of drop-down $1 (from 0, "File" first) of the menu
# bar: a click on "File" opens it, Right moves to the next drop-down (which
# opens with nothing highlighted), Down walks the items.
menu_pick() {
    local menu=$1 item=$2 keys=() i windows
    for ((i = 0; i < menu; i++)); do keys+=(Right); done
    for ((i = 0; i <= item; i++)); do keys+=(Down); done
    focus_main
    windows=$(visible_window_count)
    xdotool mousemove --window "$window" 12 12 click 1
    wait_until $patience more_windows_than "$windows" || fail "the drop-down did not open"
    xdotool key --delay 30 "${keys[@]}" Return
}

dialog_window() { visible_titled "$1" && dialog=$found; }
dialog_gone() { ! visible_titled "$1"; }
# Waits for the dialog titled $1, gives it the keyboard and waits until it
# has drawn itself.
await_dialog() {
    wait_until $patience dialog_window "$1" || fail "no dialog titled '$1'"
    xdotool windowfocus --sync "$dialog"
    wait_until $patience window_steady "$dialog" || fail "the dialog '$1' never finished drawing"
}
# Runs a command that types into the dialog and waits until the dialog has
# shown the result and settled.
dialog_changed() { window_shot "$dialog" "$work/dialog-now.png" && [ "$(pixels_differing "$work/dialog.png" "$work/dialog-now.png")" != 0 ]; }
in_dialog() {
    window_shot "$dialog" "$work/dialog.png" || fail "no picture of the dialog"
    "$@"
    wait_until $patience dialog_changed || fail "the dialog did not show '$*'"
    wait_until $patience window_steady "$dialog" || fail "the dialog did not settle after '$*'"
}
# Replaces the text of the dialog's file name field: a path typed key by key
# comes out garbled in FLTK's chooser, a pasted one does not.
paste_name() {
    printf "%s" "$1" | xclip -selection clipboard -i 2>/dev/null  # serves the paste until the display ends
    xdotool key --delay 30 ctrl+a ctrl+v
}
# Chooses $2 in the open-file dialog titled $1.
choose_file() {
    await_dialog "$1"
    in_dialog paste_name "$2"
    xdotool key Return
    wait_until $patience dialog_gone "$1" || fail "the dialog '$1' did not take '$2'"
}

# Menu layout of the sample files, by generation.
ebo=1 fsh=2
if [ "$generation" = legacy ]; then
    select_all=3 deselect_all=4 light="" blank=""
else
    select_all=3 deselect_all=4 light=5 blank=3
fi
help=2  # after the picture: File, <EBO>, Help

# --- 1. Load the model through the dialog ----------------------------------

step="load model"
wait_until $patience only_clear_colour || fail "the window does not start with the clear colour"
menu_pick 0 0
await_dialog "Open EBO"
# The folder, then the first letter of the model: the chooser completes the
# name from its listing, where only the files the filter matches stand.
in_dialog paste_name "$files/"
in_dialog xdotool key f
xdotool key Return
wait_until $patience dialog_gone "Open EBO" || fail "the dialog did not complete 'f' to the lower-case face.ebo"
wait_until $patience model_drawn || fail "no model drawn after Load EBO"
wait_until $patience settled_as model || fail "the model's picture did not settle"

# --- 2. Objects on and off ---------------------------------------------------

# A load shows object 0 alone (the head; the eyes sit inside it).
step="objects"
menu_pick $ebo 0
wait_until $patience only_clear_colour || fail "hiding object 0 still shows something"
menu_pick $ebo 0
expect_same_as model
menu_pick $ebo 2
expect_change model with_third
menu_pick $ebo 2
expect_same_as model
menu_pick $ebo $deselect_all
wait_until $patience only_clear_colour || fail "Deselect All still shows something"
# The dialog opens on the path chosen last: Return loads it again, which
# shows object 0 once more.
step="dialog reopens on the last path"
menu_pick 0 0
await_dialog "Open EBO"
xdotool key Return
wait_until $patience dialog_gone "Open EBO" || fail "the dialog did not open on the last path"
expect_same_as model
step="objects"
menu_pick $ebo $select_all
expect_change model all_shown
gt "$(coverage all_shown)" 0.05 || fail "Select All shows nothing"

# --- 3. Light ------------------------------------------------------------------

if [ -n "$light" ]; then
    step="light"
    menu_pick $ebo $light
    expect_change all_shown unlit
    menu_pick $ebo $light
    expect_same_as all_shown
fi

# --- 4. Textures from the archive ---------------------------------------------------

step="load archive"
menu_pick 0 1
choose_file "Open FSH" "$samples/head.fsh"
expect_change all_shown textured
gt "$(coverage textured)" 0.05 || fail "the textured model is not drawn"
menu_pick $fsh 1
expect_change textured second_image
if [ -n "$blank" ]; then
    step="blank"
    menu_pick $fsh $blank
    # Untextured again: the white, shaded model from before the archive.
    expect_same_as all_shown
fi
shot before_picture
! gt "$(green_share before_picture)" 0.001 || fail "green before the picture was loaded"

# --- 5. A picture as the texture ------------------------------------------

step="load picture"
menu_pick 0 2
choose_file "Open BMP" "$samples/picture.bmp"
expect_change before_picture picture
gt "$(green_share picture)" 0.02 || fail "the picture's colours do not appear on the model"

# --- 6. Turn, zoom, pan ------------------------------------------------------

step="turn"
focus_main
xdotool mousemove --window "$window" 256 280 mousedown 1
for x in 266 276 296 316; do
    xdotool mousemove --sync --window "$window" $x 290
done
xdotool mouseup 1
expect_change picture turned

step="zoom"
# One notch nearer, then two back: past where the turn left it.
xdotool mousemove --window "$window" 256 280 click 4
expect_change turned nearer
gt "$(coverage nearer)" "$(coverage turned)" || fail "the wheel away from the user did not bring the model nearer"
xdotool click 5 click 5
expect_change nearer farther
gt "$(coverage turned)" "$(coverage farther)" || fail "the wheel towards the user did not move the model away"

step="pan"
read -r _ _ x0 y0 <<<"$(drawn_box farther)"
focus_main
xdotool key Left
expect_change farther panned_left
read -r _ _ x1 _ <<<"$(drawn_box panned_left)"
[ "$x1" -gt "$x0" ] || fail "LEFT moved the picture from x $x0 to $x1, expected to the right"
xdotool key Up
expect_change panned_left panned_up
read -r _ _ _ y1 <<<"$(drawn_box panned_up)"
[ "$y1" -gt "$y0" ] || fail "UP moved the picture from y $y0 to $y1, expected down"
xdotool key Home
expect_same_as farther

# --- 7. About ----------------------------------------------------------------------

step="about"
menu_pick $help 0
# The message box is captioned "Kelvane".
await_dialog "Kelvane"
xdotool key Return
wait_until $patience dialog_gone "Kelvane" || fail "the About box did not close on Return"
kill -0 "$viewer" 2>/dev/null || fail "the viewer ended with the About box"

# --- 8. Quit -------------------------------------------------------------------

step="quit"
menu_pick 0 3
wait_for_viewer_exit || fail "the viewer did not end after File > Quit"
[ "$status" -eq 0 ] || fail "exit status $status after File > Quit, expected 0"

# --- 9. Files from the command line, followed on disk -------------------------

step="command line"
edits="$work/edits"
mkdir -p "$edits"
cp "$samples/$model_sample" "$edits/face.ebo"
cp "$samples/head.fsh" "$edits/face.fsh"
(cd "$work" && exec "$program" "$edits/face.ebo" "$edits/face.fsh") 2>"$work/stderr" &
viewer=$!
find_titled() {
    kill -0 "$viewer" 2>/dev/null || fail "the viewer ended"
    visible_titled "$1" && window=$found
}
title_starts() { case "$(xdotool getwindowname "$window" 2>/dev/null)" in "$1"*) return 0 ;; *) return 1 ;; esac; }
# The share of vivid pixels: the untextured model is grey, the sample skin is not.
colour_share() {
    convert "$work/$1.png" -scale 25% -fx "(max(r,max(g,b)) - min(r,min(g,b))) > 0.15 ? 1 : 0" -colorspace Gray \
        -format "%[fx:mean]" info: 2>/dev/null
}
textured() { shot now && gt "$(colour_share now)" 0.02; }
wait_until $patience find_titled "face.ebo, face.fsh - $title" || fail "no window titled 'face.ebo, face.fsh - $title'"
wait_until $patience textured || fail "the model named on the command line is not drawn textured"
dialog_gone "Open EBO" && dialog_gone "Open FSH" || fail "a dialog opened for files named on the command line"
wait_until $patience settled_as cl_start || fail "the command line's picture did not settle"

step="edit on disk"
focus_main
xdotool mousemove --window "$window" 256 280 mousedown 1
for x in 276 306 336; do
    xdotool mousemove --sync --window "$window" $x 280
done
xdotool mouseup 1
expect_change cl_start cl_turned
# The artist's paint program saves the archive with part of the face's
# image painted over. Bytes of 0x55 make DXT1 blocks of one opaque teal
# wherever the blocks begin: the outline stays, the colours change.
cp "$samples/head.fsh" "$work/edited.fsh"
head -c 16384 /dev/zero | tr '\0' '\125' |
    dd of="$work/edited.fsh" bs=1024 seek=4 count=16 conv=notrunc 2>/dev/null
cp "$work/edited.fsh" "$edits/face.fsh"
expect_change cl_turned cl_edited
# The outline stays where the turn left it: only the colours changed.
outline() {
    convert "$work/$1.png" -fuzz 3% -fill black -opaque "rgb($grey,$grey,$grey)" -fill white +opaque black \
        -colorspace Gray "$work/outline_$1.png" 2>/dev/null
}
outline_moved() { compare -metric AE "$work/outline_cl_turned.png" "$work/outline_$1.png" null: 2>&1 | cut -d' ' -f1; }
outline cl_start && outline cl_turned && outline cl_edited || fail "cannot outline the pictures"
[ "$(outline_moved cl_edited)" -le $same ] || fail "the view did not stay turned after the archive was read again"
[ "$(outline_moved cl_start)" -ge $changed ] || fail "the turn did not move the outline"

step="archive cut short"
head -c 3000 "$samples/head.fsh" >"$edits/face.fsh"
wait_until $patience title_starts "face.fsh: " || fail "the title does not say why the cut archive was not read"
expect_same_as cl_edited
grep -q "^$(basename "$program"): $edits/face.fsh: " "$work/stderr" || fail "no reason on standard error for the cut archive"
menu_pick 0 3
wait_for_viewer_exit || fail "the viewer did not end after File > Quit"

step="unreadable file on the command line"
echo "not a model" >"$edits/notes.ebo"
(cd "$work" && exec "$program" "$edits/notes.ebo") 2>"$work/stderr" &
viewer=$!
find_failure_title() {
    kill -0 "$viewer" 2>/dev/null || fail "the viewer ended"
    window=$(xdotool search --onlyvisible --name "^notes\.ebo: .* - $title\$" 2>/dev/null | head -1) &&
        [ -n "$window" ]
}
wait_until $patience find_failure_title || fail "no window title saying why notes.ebo was not read"
reason=$(xdotool getwindowname "$window")
reason=${reason#notes.ebo: }
reason=${reason% - $title}
wait_until $patience grep -qxF "$(basename "$program"): $edits/notes.ebo: $reason" "$work/stderr" ||
    fail "standard error does not give the title's reason '$reason'"

step="escape and resize"
# Escape is an ordinary key: the window stays and draws at its new size.
clear_at() {
    local c
    for c in $(convert "$work/full.png" -format "%[fx:int(255*p{$1,$2}.r+0.5)] %[fx:int(255*p{$1,$2}.g+0.5)] %[fx:int(255*p{$1,$2}.b+0.5)]" info:); do
        [ "$c" -ge $((grey - 1)) ] && [ "$c" -le $((grey + 1)) ] || return 1
    done
}
redrawn_at_700x600() {
    window_shot "$window" "$work/full.png" && [ "$(identify -format %wx%h "$work/full.png")" = 700x600 ] && clear_at 650 550
}
focus_main
xdotool key Escape
xdotool windowsize "$window" 700 600
wait_until $patience redrawn_at_700x600 || fail "the window did not redraw after Escape and a resize"
kill -0 "$viewer" 2>/dev/null || fail "the viewer ended on Escape"

step="drop"
# A file manager names the files as URIs, with spaces and non-ASCII bytes escaped.
mkdir -p "$edits/new faces"
cp "$samples/$model_sample" "$edits/new faces/t$(printf '\303\252')te.ebo"
"$dropper" "$window" 256 280 "file://$edits/new%20faces/t%C3%AAte.ebo"$'\r\n'"file://$edits/notes.txt"$'\r\n' ||
    fail "the window did not take the drop"
title_is() { [ "$(xdotool getwindowname "$window" 2>/dev/null)" = "$1" ]; }
wait_until $patience title_is "t$(printf '\303\252')te.ebo - $title" || fail "the dropped model is not named in the title"
wait_until $patience model_drawn || fail "the dropped model is not drawn"

step="close request"
"$closer" "$window" || fail "could not send the close request"
wait_for_viewer_exit || fail "the viewer did not end after the close request"
[ "$status" -eq 0 ] || fail "exit status $status after closing, expected 0"
echo "ok: $title, $SECONDS s"
