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
# model dropped on the window (XDND, as a file manager drops) opens.
# usage: viewer_artist_session.sh PROGRAM TITLE GREY GENERATION SAMPLES_DIR DROPPER
#   GENERATION is "current" or "legacy"; GREY is the clear colour's level.
set -euo pipefail
program=$(realpath "$1") title=$2 grey=$3 generation=$4 samples=$(realpath "$5") dropper=$(realpath "$6")

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
wait_until 20 find_window || fail "no window titled '$title'"

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
# How many pixels of $1 and $2 differ by more than a little.
pixels_differing() {
    compare -metric AE -fuzz 2% "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1
}
gt() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# Pictures of at least this many differing pixels count as changed, those of
# at most `same` as the same picture.
changed=400 same=40

# True once the window shows a model: the middle is not the clear colour.
model_drawn() { shot now && gt "$(coverage now)" 0.05; }
only_clear_colour() { shot now && ! gt "$(coverage now)" 0; }
differs_from() { shot now && [ "$(pixels_differing now "$1")" -ge $changed ]; }
same_as() { shot now && [ "$(pixels_differing now "$1")" -le $same ]; }
# Waits for the picture to change from shot $1 and keeps the new one as $2.
expect_change() {
    wait_until 10 differs_from "$1" || fail "the picture did not change from '$1'"
    sleep 0.2  # the frame after the change has settled
    shot "$2"
}
expect_same_as() { wait_until 10 same_as "$1" || fail "the picture did not come back to '$1'"; }

# --- Driving the window --------------------------------------------------------

focus_main() { xdotool windowfocus --sync "$window"; }

# Picks item $2 (from 0) of drop-down $1 (from 0, "File" first) of the menu
# bar: a click on "File" opens it, Right moves to the next drop-down (which
# opens with nothing highlighted), Down walks the items.
menu_pick() {
    local menu=$1 item=$2 keys=() i
    for ((i = 0; i < menu; i++)); do keys+=(Right); done
    for ((i = 0; i <= item; i++)); do keys+=(Down); done
    focus_main
    xdotool mousemove --window "$window" 12 12 click 1
    sleep 0.2  # the drop-down opens
    xdotool key --delay 30 "${keys[@]}" Return
}

dialog_window() { dialog=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$dialog" ]; }
dialog_gone() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
# Waits for the dialog titled $1 and gives it the keyboard.
await_dialog() {
    wait_until 10 dialog_window "$1" || fail "no dialog titled '$1'"
    xdotool windowfocus --sync "$dialog"
    sleep 0.2  # its file name field takes the focus
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
    paste_name "$2"
    xdotool key Return
    wait_until 10 dialog_gone "$1" || fail "the dialog '$1' did not take '$2'"
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
wait_until 10 only_clear_colour || fail "the window does not start with the clear colour"
menu_pick 0 0
await_dialog "Open EBO"
# The folder, then the first letter of the model: the chooser completes the
# name from its listing, where only the files the filter matches stand.
paste_name "$files/"
sleep 0.3  # the chooser lists the folder the pasted path names
xdotool key f
sleep 0.3  # the name completes from the listing
xdotool key Return
wait_until 10 dialog_gone "Open EBO" || fail "the dialog did not complete 'f' to the lower-case face.ebo"
wait_until 10 model_drawn || fail "no model drawn after Load EBO"
sleep 0.2
shot model

# --- 2. Objects on and off ---------------------------------------------------

# A load shows object 0 alone (the head; the eyes sit inside it).
step="objects"
menu_pick $ebo 0
wait_until 10 only_clear_colour || fail "hiding object 0 still shows something"
menu_pick $ebo 0
expect_same_as model
menu_pick $ebo 2
expect_change model with_third
menu_pick $ebo 2
expect_same_as model
menu_pick $ebo $deselect_all
wait_until 10 only_clear_colour || fail "Deselect All still shows something"
# The dialog opens on the path chosen last: Return loads it again, which
# shows object 0 once more.
step="dialog reopens on the last path"
menu_pick 0 0
await_dialog "Open EBO"
xdotool key Return
wait_until 10 dialog_gone "Open EBO" || fail "the dialog did not open on the last path"
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
    xdotool mousemove --window "$window" $x 290
    sleep 0.05
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
wait_until 10 dialog_gone "Kelvane" || fail "the About box did not close on Return"
kill -0 "$viewer" 2>/dev/null || fail "the viewer ended with the About box"

# --- 8. Quit -------------------------------------------------------------------

step="quit"
menu_pick 0 3
wait_for_viewer_exit 10 || fail "the viewer did not end after File > Quit"
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
    window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$window" ]
}
title_starts() { case "$(xdotool getwindowname "$window" 2>/dev/null)" in "$1"*) return 0 ;; *) return 1 ;; esac; }
# The share of vivid pixels: the untextured model is grey, the sample skin is not.
colour_share() {
    convert "$work/$1.png" -scale 25% -fx "(max(r,max(g,b)) - min(r,min(g,b))) > 0.15 ? 1 : 0" -colorspace Gray \
        -format "%[fx:mean]" info: 2>/dev/null
}
textured() { shot now && gt "$(colour_share now)" 0.02; }
wait_until 20 find_titled "face.ebo, face.fsh - $title" || fail "no window titled 'face.ebo, face.fsh - $title'"
wait_until 10 textured || fail "the model named on the command line is not drawn textured"
dialog_gone "Open EBO" && dialog_gone "Open FSH" || fail "a dialog opened for files named on the command line"
sleep 0.2
shot cl_start

step="edit on disk"
focus_main
xdotool mousemove --window "$window" 256 280 mousedown 1
for x in 276 306 336; do
    xdotool mousemove --window "$window" $x 280
    sleep 0.05
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
wait_until 10 title_starts "face.fsh: " || fail "the title does not say why the cut archive was not read"
expect_same_as cl_edited
grep -q "^$(basename "$program"): $edits/face.fsh: " "$work/stderr" || fail "no reason on standard error for the cut archive"
menu_pick 0 3
wait_for_viewer_exit 10 || fail "the viewer did not end after File > Quit"

step="unreadable file on the command line"
echo "not a model" >"$edits/notes.ebo"
(cd "$work" && exec "$program" "$edits/notes.ebo") 2>"$work/stderr" &
viewer=$!
find_failure_title() {
    kill -0 "$viewer" 2>/dev/null || fail "the viewer ended"
    window=$(xdotool search --onlyvisible --name "^notes\.ebo: .* - $title\$" 2>/dev/null | head -1) &&
        [ -n "$window" ]
}
wait_until 20 find_failure_title || fail "no window title saying why notes.ebo was not read"
reason=$(xdotool getwindowname "$window")
reason=${reason#notes.ebo: }
reason=${reason% - $title}
wait_until 10 grep -qxF "$(basename "$program"): $edits/notes.ebo: $reason" "$work/stderr" ||
    fail "standard error does not give the title's reason '$reason'"

step="drop"
# A file manager names the files as URIs, with spaces and non-ASCII bytes escaped.
mkdir -p "$edits/new faces"
cp "$samples/$model_sample" "$edits/new faces/t$(printf '\303\252')te.ebo"
"$dropper" "$window" 256 280 "file://$edits/new%20faces/t%C3%AAte.ebo"$'\r\n'"file://$edits/notes.txt"$'\r\n' ||
    fail "the window did not take the drop"
title_is() { [ "$(xdotool getwindowname "$window" 2>/dev/null)" = "$1" ]; }
wait_until 10 title_is "t$(printf '\303\252')te.ebo - $title" || fail "the dropped model is not named in the title"
wait_until 10 model_drawn || fail "the dropped model is not drawn"
menu_pick 0 3
wait_for_viewer_exit 10 || fail "the viewer did not end after File > Quit"
echo "ok: $title, $SECONDS s"
