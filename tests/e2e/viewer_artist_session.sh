#!/usr/bin/env bash
# An artist's session with a real viewer on its own Xvfb display, through
# the real menus, open-file dialog, mouse and keys, checking the picture
# after every step; then files named on the command line, followed on disk,
# Escape, a resize, drops and the close request; last, with --by-name, the
# View menu's pictures by their keys. Waits, never sleeps.
# Windows are composited, as on a desktop that composites: a menu or dialog
# closing sends the window no expose, so no expose hides a missing frame.
# usage: viewer_artist_session.sh PROGRAM TITLE CLEAR_GREY GENERATION SAMPLES_DIR X11_SEND INSPECT
set -euo pipefail
program=$(realpath "$1") title=$2 grey=$3 generation=$4 samples=$(realpath "$5") sender=$(realpath "$6")
inspect=$(realpath "$7")
work=$(mktemp -d)
xvfb="" viewer="" compositor="" step="start"
cleanup() { kill "$viewer" $compositor 2>/dev/null || true; stop_xvfb; rm -rf "$work"; }
trap cleanup EXIT
fail() {
    echo "FAIL ($title, $step): $*" >&2
    [ -s "$work/stderr" ] && sed 's/^/viewer: /' "$work/stderr" >&2
    kept=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-e2e-XXXXXX")
    { import -window root "$work/screen.png"; cp "$work"/*.png "$kept"/; } 2>/dev/null || true
    echo "screenshots kept in $kept" >&2 && exit 1
}
# shellcheck source=tests/e2e/x11_session.sh
. "$(dirname "$0")/x11_session.sh"
start_xvfb || fail "Xvfb did not start"
"$sender" composite >"$work/composite" & compositor=$!
wait_until $patience grep -q redirected "$work/composite" || fail "no automatic redirection of the windows"

# A home where FLTK reads to show its own chooser, as where GTK is absent.
export HOME="$work/home"
mkdir -p "$HOME/.fltk/fltk.org"
printf '; FLTK preferences file format 1.0\n; vendor: fltk.org\n; application: fltk\n\n[.]\n\n[./options]\nFNFCUsesGTK:0\n' \
    >"$HOME/.fltk/fltk.org/fltk.prefs"
if [ "$generation" = legacy ]; then model_sample=legacy_head.ebo legacy=--legacy; else model_sample=head.ebo legacy=; fi
launch() { (cd "$work" && exec "$program" "$@") 2>"$work/stderr" & viewer=$!; }
find_titled() { visible_titled "$1" && window=$found; }
title_is() { [ "$(xdotool getwindowname "$window" 2>/dev/null)" = "$1" ]; }

shot() {  # the client area below the menu bar, as the PNG named $1
    timeout 30 import -window "$window" "$work/full.png" 2>/dev/null &&
        convert "$work/full.png" -crop +0+30 +repage "$work/$1.png"
}
# Shot $1 as black where the clear colour is, white elsewhere: an undrawn (black) window too.
mask() {
    convert "$work/$1.png" -fuzz 3% -fill white +opaque "rgb($grey,$grey,$grey)" -fill black -opaque "rgb($grey,$grey,$grey)" \
        -colorspace Gray "${@:2}" 2>/dev/null
}
coverage() { mask "$1" -format "%[fx:mean]" info:; }  # the share not the clear colour
drawn_box() { mask "$1" -format "%@" info: | tr 'x+' '  '; }  # "width height x y"
green_share() {  # the share of vivid green, which only the sample picture holds
    convert "$work/$1.png" -scale 25% -fx "(g-r>0.3 && g-b>0.2) ? 1 : 0" -colorspace Gray -format "%[fx:mean]" info:
}
differing() { pixels_differing "$work/$1.png" "$work/$2.png"; }
# The frame kelvane-inspect draws for the view given, cropped as a shot, as $1.
render_as() {
    "$inspect" render $legacy --size 512x487 -o "$work/$1.png" "${@:2}" &&
        convert "$work/$1.png" -crop +0+5 +repage "$work/$1.png"
}
# Shot $1 is the frame kelvane-inspect draws for the view given: the picture
# the viewer settles on once a frame has taken the fit of the one before.
as_rendered() { render_as rendered "${@:2}" && [ "$(differing "$1" rendered)" -le $same ]; }
# Pixels differing in the masks of shots $1 and $2: the outline moved.
outline_moved() { mask "$1" "$work/m1.png" && mask "$2" "$work/m2.png" && pixels_differing "$work/m1.png" "$work/m2.png"; }
gt() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
changed=400 same=40  # pixels differing in pictures changed, or the same
only_clear_colour() { settled_as empty && ! gt "$(coverage empty)" 0; }
differs_from() { shot now && [ "$(differing now "$1")" -ge $changed ]; }
same_as() { shot now && [ "$(differing now "$1")" -le $same ]; }
# Two shots running, the last kept as $1, are the same: all is drawn.
settled_as() { shot "$1" && shot settling && [ "$(differing settling "$1")" = 0 ]; }
expect_change() {
    wait_until $patience differs_from "$1" || fail "the picture did not change from '$1'"
    wait_until $patience settled_as "$2" || fail "the picture did not settle after changing from '$1'"
}
expect_same_as() { wait_until $patience same_as "$1" || fail "the picture did not come back to '$1'"; }
# The window comes to show kelvane-inspect's frame of the view given, kept as $1.
expect_rendered() {
    render_as "$1" "${@:2}" || fail "kelvane-inspect could not render ${*:2}"
    wait_until $patience same_as "$1" || fail "the window does not show what kelvane-inspect renders for ${*:2}"
}

focus_main() { xdotool windowfocus --sync "$window"; }
# Picks item $2 of drop-down $1 (from 0): a click opens "File", Right the next, Down walks.
menu_pick() {
    local keys=() i windows
    for ((i = 0; i < $1; i++)); do keys+=(Right); done
    for ((i = 0; i <= $2; i++)); do keys+=(Down); done
    focus_main
    windows=$(visible_window_count)
    xdotool mousemove --window "$window" 12 12 click 1
    wait_until $patience more_windows_than "$windows" || fail "the drop-down did not open"
    xdotool key --delay 30 "${keys[@]}" Return
}
dialog_gone() { ! visible_titled "$1"; }
dialog_changed() { window_steady "$dialog" && [ "$(pixels_differing "$work/dialog.png" "$work/steady.png")" != 0 ]; }
# Chooses $2 in the dialog titled $1, pasted: FLTK's chooser garbles a typed path.
choose_file() {
    wait_until $patience visible_titled "$1" || fail "no dialog titled '$1'"
    dialog=$found
    xdotool windowfocus --sync "$dialog"
    wait_until $patience window_steady "$dialog" || fail "the dialog '$1' never finished drawing"
    mv "$work/steady.png" "$work/dialog.png"
    printf "%s" "$2" | xclip -selection clipboard -i 2>/dev/null  # serves the paste until the display ends
    xdotool key --delay 30 ctrl+a ctrl+v
    wait_until $patience dialog_changed || fail "the dialog did not show '$2'"
    xdotool key Return
    wait_until $patience dialog_gone "$1" || fail "the dialog '$1' did not take '$2'"
}
ebo=1 fsh=2 select_all=3

step="load model"
launch
wait_until $patience find_titled "$title" || fail "no window titled '$title'"
wait_until $patience only_clear_colour || fail "the window does not start with the clear colour alone"
menu_pick 0 0
choose_file "Open EBO" "$samples/$model_sample"
expect_change empty model
as_rendered model --model "$samples/$model_sample" || fail "the loaded model is not placed by its own fit"

step="load archive"
menu_pick 0 1
choose_file "Open FSH" "$samples/head.fsh"
expect_change model textured
menu_pick $fsh 1
expect_change textured second_image

step="objects"
# A load shows object 0 alone (the eyes sit inside the head).
menu_pick $ebo 0
expect_same_as empty
menu_pick $ebo $select_all
expect_change empty before_picture
as_rendered before_picture --model "$samples/$model_sample" --archive "$samples/head.fsh" --slot 1 --show 0,1,2 ||
    fail "Select All did not refit the model"
! gt "$(green_share before_picture)" 0.001 || fail "green before the picture was loaded"

step="load picture"
menu_pick 0 2
choose_file "Open BMP" "$samples/picture.bmp"
expect_change before_picture picture
gt "$(green_share picture)" 0.02 || fail "the picture's colours do not appear on the model"

step="turn"
focus_main
xdotool mousemove --window "$window" 256 280 mousedown 1
for x in 266 276 296 316; do xdotool mousemove --sync --window "$window" $x 290; done
xdotool mouseup 1
expect_change picture turned
step="zoom"
xdotool mousemove --window "$window" 256 280 click 5
expect_change turned farther
gt "$(coverage turned)" "$(coverage farther)" || fail "the wheel towards the user did not move the model away"
step="pan"
read -r _ _ x0 y0 <<<"$(drawn_box farther)"
focus_main
xdotool key Left Up
expect_change farther panned
read -r _ _ x1 y1 <<<"$(drawn_box panned)"
[ "$x1" -gt "$x0" ] && [ "$y1" -gt "$y0" ] || fail "LEFT, UP moved the picture from $x0,$y0 to $x1,$y1, not right and down"
xdotool key Home
expect_same_as farther

step="about"
menu_pick 3 0  # Help, after View: the picture replaced the archive and its menu
wait_until $patience visible_titled "Kelvane" || fail "no About box captioned 'Kelvane'"
xdotool windowfocus --sync "$found" key Return
wait_until $patience dialog_gone "Kelvane" || fail "the About box did not close on Return"

step="quit"
menu_pick 0 6
wait_for_viewer_exit || fail "the viewer did not end after File > Quit"
[ "$status" -eq 0 ] || fail "exit status $status after File > Quit, expected 0"

step="command line"
edits="$work/edits"
mkdir -p "$edits"
cp "$samples/$model_sample" "$edits/face.ebo" && cp "$samples/head.fsh" "$edits/face.fsh"
launch "$edits/face.ebo" "$edits/face.fsh"
wait_until $patience find_titled "face.ebo, face.fsh - $title" || fail "no window titled 'face.ebo, face.fsh - $title'"
expect_same_as textured  # as after both loads through the menus
dialog_gone "Open EBO" && dialog_gone "Open FSH" || fail "a dialog opened for files named on the command line"

step="edit on disk"
focus_main
xdotool mousemove --window "$window" 256 280 mousedown 1
for x in 276 306 336; do xdotool mousemove --sync --window "$window" $x 280; done
xdotool mouseup 1
expect_change textured cl_turned
# A paint program saves the face's image partly painted over in teal (DXT1 blocks of 0x55).
cp "$samples/head.fsh" "$work/edited.fsh"
head -c 16384 /dev/zero | tr '\0' '\125' | dd of="$work/edited.fsh" bs=1024 seek=4 count=16 conv=notrunc 2>/dev/null
cp "$work/edited.fsh" "$edits/face.fsh"
expect_change cl_turned cl_edited
[ "$(outline_moved cl_turned cl_edited)" -le $same ] || fail "the view did not stay turned after the archive was read again"
[ "$(outline_moved textured cl_turned)" -ge $changed ] || fail "the turn did not move the outline"

step="escape and resize"
# Escape is an ordinary key; at a new size the picture centres in the new view.
read -r w0 _ x0 _ <<<"$(drawn_box cl_edited)"
recentred() { shot now && read -r w _ x _ <<<"$(drawn_box now)" && [ $((x + w / 2)) -gt $((x0 + w0 / 2 + 50)) ]; }
focus_main
xdotool key Escape windowsize "$window" 700 600
wait_until $patience recentred || fail "the picture did not centre in the window resized after Escape"

step="drop"
# A file manager names files as URIs, with spaces and non-ASCII bytes escaped.
# A model dropped without a texture brings the archive of its name.
tete=t$(printf '\303\252')te
mkdir -p "$edits/new faces"
cp "$samples/$model_sample" "$edits/new faces/$tete.ebo" && cp "$samples/head.fsh" "$edits/new faces/$tete.fsh"
"$sender" drop "$window" 256 280 "file://$edits/new%20faces/t%C3%AAte.ebo"$'\r\n'"file://$edits/notes.txt"$'\r\n' ||
    fail "the window did not take the drop"
wait_until $patience title_is "$tete.ebo, $tete.fsh - $title" || fail "the dropped model and its archive are not named in the title"
wait_until $patience settled_as dropped || fail "the dropped model did not settle"
# A PNG whose lower half is transparent: the parts of the model it covers are not drawn.
convert -size 64x32 xc:'#00c000' -size 64x32 xc:none -append PNG32:"$edits/hole.png"
"$sender" drop "$window" 256 280 "file://$edits/hole.png"$'\r\n' || fail "the window did not take the PNG"
wait_until $patience title_is "$tete.ebo, hole.png - $title" || fail "the dropped PNG is not named in the title"
wait_until $patience settled_as holed || fail "the picture did not settle after the PNG"
gt "$(coverage dropped)" "$(awk -v c="$(coverage holed)" 'BEGIN { print c * 1.1 }')" ||
    fail "the PNG's transparent half does not leave a hole ($(coverage dropped) before, $(coverage holed) after)"
gt "$(green_share holed)" 0.005 || fail "the PNG's green does not show"

step="close request"
"$sender" close "$window" || fail "could not send the close request"
wait_for_viewer_exit || fail "the viewer did not end after the close request"
[ "$status" -eq 0 ] || fail "exit status $status after closing, expected 0"

step="view menu"
# Each object with the image of its name; an image flat, zoomed about the
# pointer, with the UV layout over it; the model again, its wireframe, the
# model once more, saved as a picture.
launch --by-name "$samples/$model_sample" "$samples/head.fsh"
named=3
[ "$generation" = legacy ] && named=0  # its objects have no names
wait_until $patience find_titled "$model_sample, head.fsh - $named of 3 objects by name - $title" ||
    fail "no window titled as showing $named of 3 objects by name"
files=(--model "$samples/$model_sample" --archive "$samples/head.fsh" --by-name)
expect_rendered by_name "${files[@]}"
if [ "$generation" = current ]; then
    share() { convert "$work/by_name.png" -scale 25% -fx "($1) ? 1 : 0" -colorspace Gray -format "%[fx:mean]" info:; }
    gt "$(share 'r>0.7 && g>0.5 && b>0.4 && r-b>0.15')" 0.1 || fail "no skin by name"
    gt "$(share 'b-r>0.2')" 0.002 || fail "no blue irises by name"
    gt "$(share 'r-b>0.2 && r<0.6 && g<0.35')" 0.05 || fail "no brown hair by name"
fi
menu_pick $fsh 1  # eyes, with alpha: the checks show through
files+=(--slot 1)
focus_main
xdotool key t
expect_rendered flat "${files[@]}" --texture-view
# The client area's centre row is 243.5: the pointer half a row above it
# puts the image's rows where kelvane-inspect centres them.
xdotool mousemove --window "$window" 256 $((25 + 243)) click 4
expect_rendered flat_2x "${files[@]}" --texture-view --scale 2
[ "$generation" = legacy ] || wait_until $patience title_is \
    "$model_sample, head.fsh - 3 of 3 objects by name - eyes DXT3 64x64 at 2x - $title" || fail "the title does not name the image at 2x"
xdotool key u
expect_rendered flat_uv "${files[@]}" --texture-view --scale 2 --uv
xdotool key t
expect_rendered model_again "${files[@]}"
xdotool key w
# GLX gives the window 24 depth bits for the 16 asked, kelvane-inspect has
# 16: a few line pixels where the eyes meet the head fall otherwise.
same=120 expect_rendered wireframe "${files[@]}" --wireframe
xdotool key w  # the lines leave nothing behind
expect_same_as model_again
# Ctrl+S saves exactly what the window shows.
xdotool key ctrl+s
choose_file "Save Picture" "$work/saved.png"
wait_until $patience test -s "$work/saved.png" || fail "Save Picture wrote nothing"
convert "$work/saved.png" -crop +0+5 +repage "$work/saved.png"  # as a shot: below the menu bar's edge
shot now && [ "$(differing saved now)" = 0 ] || fail "the saved picture is not the window's"
"$sender" close "$window" && wait_for_viewer_exit || fail "the viewer did not end after the close request"

echo "ok: $title, $SECONDS s"
