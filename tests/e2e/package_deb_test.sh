#!/usr/bin/env bash
# The Linux package as an artist gets it: its contents and dependencies,
# installed into this machine with apt-get (as root, or through sudo), the
# MIME types in the database, the installed kelvane-inspect, and the
# installed viewer under Xvfb, started from the menu's command line without
# a file and with the sample model.
# usage: package_deb_test.sh DEB VERSION CLOSER
#   CLOSER is the kelvane_x11_close helper of the build.
set -euo pipefail
deb=$(realpath "$1") version=$2 closer=$(realpath "$3")

work=$(mktemp -d)
xvfb="" viewer=""
cleanup() {
    [ -n "$viewer" ] && kill "$viewer" 2>/dev/null || true
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -s "$work/stderr" ] && sed 's/^/viewer: /' "$work/stderr" >&2; exit 1; }
# shellcheck source=tests/e2e/x11_session.sh
. "$(dirname "$0")/x11_session.sh"

echo "== contents of $(basename "$deb")"
[ "$(basename "$deb")" = "kelvane_${version}-1_amd64.deb" ] || fail "package name does not carry version $version"
dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./|/|' >"$work/contents"
for path in /usr/bin/kelvane /usr/bin/kelvane-legacy /usr/bin/kelvane-inspect \
    /usr/share/kelvane/samples/{head.ebo,head.fsh,picture.bmp,legacy_head.ebo} /usr/share/doc/kelvane/guide.txt \
    /usr/share/applications/{kelvane,kelvane-legacy}.desktop /usr/share/mime/packages/kelvane.xml \
    /usr/share/icons/hicolor/{16x16,48x48,256x256}/apps/kelvane.png; do
    grep -qx "$path" "$work/contents" || fail "$path is not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libfltk1.3 libfltk-gl1.3 libglu1 libegl1 libopengl0 libstdc++6; do
    [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

echo "== install"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --reinstall "$deb" >"$work/apt.log" 2>&1 ||
    fail "apt-get could not install the package: $(tail -5 "$work/apt.log")"
[ "$(dpkg-query -W -f='${Version}' kelvane)" = "${version}-1" ] || fail "kelvane ${version}-1 is not installed"
# shared-mime-info's trigger has turned the installed types into the database.
[ -f /usr/share/mime/application/x-ebo.xml ] || fail "the MIME database does not know application/x-ebo"
grep -q '^[0-9]*:application/x-ebo:\*\.ebo$' /usr/share/mime/globs2 || fail "the MIME database has no *.ebo glob"

echo "== installed kelvane-inspect"
samples=/usr/share/kelvane/samples
[ "$(/usr/bin/kelvane-inspect --version)" = "kelvane-inspect $version" ] || fail "kelvane-inspect --version"
/usr/bin/kelvane-inspect model "$samples/head.ebo" >"$work/model.json" || fail "kelvane-inspect model failed"
grep -q '"hair"' "$work/model.json" || fail "the installed sample model lacks its hair object"

echo "== installed kelvane under Xvfb"
start_xvfb || fail "Xvfb did not start"
grey=26   # the clear colour 0.1
title_regex='Kelvane v0\.7'
find_window() {
    kill -0 "$viewer" 2>/dev/null || fail "the viewer ended at start"
    window=$(xdotool search --onlyvisible --name "$title_regex" 2>/dev/null | head -1) && [ -n "$window" ]
}
# The top 30 rows of the window: FLTK's menu bar.
menu_row() { import -window "$window" -crop x30+0+0 +repage "$work/$1.png" 2>/dev/null; }
# The middle of the client area is the clear colour (or, with $1 = not, it is not).
middle_is_clear() {
    import -window "$window" "$work/shot.png" 2>/dev/null || return 1
    local level
    level=$(convert "$work/shot.png" -gravity center -crop 1x1+0+15 +repage -format "%[fx:int(255*r+0.5)]" info:)
    [ "$level" -ge $((grey - 1)) ] && [ "$level" -le $((grey + 1)) ]
}
model_in_middle() { ! middle_is_clear; }
menu_changed() {
    menu_row now || return 1
    local differing
    differing=$(compare -metric AE -fuzz 2% "$work/now.png" "$work/menu-bare.png" null: 2>&1 | cut -d' ' -f1)
    [[ "$differing" =~ ^[0-9]+$ ]] && [ "$differing" -gt 100 ]
}
close_viewer() {
    "$closer" "$window" || fail "could not send the close request"
    wait_for_viewer_exit || fail "the viewer did not end after the close request"
    [ "$status" -eq 0 ] || fail "exit status $status after closing, expected 0"
}

# As the menu entry starts it without a file: the window, its clear colour
# and a menu bar with labels in it.
(cd "$work" && exec /usr/bin/kelvane) 2>"$work/stderr" &
viewer=$!
title_regex='^Kelvane v0\.7$'
wait_until $patience find_window || fail "no window titled 'Kelvane v0.7'"
wait_until $patience middle_is_clear || fail "the window does not show the clear colour"
menu_row menu-bare || fail "no screenshot of the menu bar"
[ "$(convert "$work/menu-bare.png" -format "%[fx:standard_deviation > 0.02]" info:)" = 1 ] ||
    fail "the menu bar shows no labels"
close_viewer

# As a double-click on a model starts it: the model is drawn and "<EBO>"
# joins the menu bar.
(cd "$work" && exec /usr/bin/kelvane "$samples/head.ebo") 2>"$work/stderr" &
viewer=$!
title_regex='Kelvane v0\.7'
wait_until $patience find_window || fail "no window for the sample model"
wait_until $patience model_in_middle || fail "the sample model is not drawn"
wait_until $patience menu_changed || fail "\"<EBO>\" did not join the menu bar"
close_viewer
echo "PASS"
