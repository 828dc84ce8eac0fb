#!/usr/bin/env bash
# The Linux package: contents, Depends, then installed with apt-get (as root
# or through sudo): MIME types, kelvane-inspect, and both viewers under Xvfb
# opening their sample model as a double-click opens it, their class and icon.
# usage: package_deb_test.sh DEB VERSION
set -euo pipefail
deb=$(realpath "$1") version=$2
work=$(mktemp -d)
xvfb="" viewer=""
cleanup() { kill "$viewer" 2>/dev/null || true; stop_xvfb; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -s "$work/stderr" ] && sed 's/^/viewer: /' "$work/stderr" >&2; exit 1; }
# shellcheck source=tests/e2e/x11_session.sh
. "$(dirname "$0")/x11_session.sh"

echo "== contents of $(basename "$deb")"
dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./|/|' >"$work/contents"
# Files no later step uses: the programs, samples, desktop entries and MIME types are used below.
for path in /usr/share/kelvane/samples/picture.bmp /usr/share/doc/kelvane/guide.txt \
    /usr/share/icons/hicolor/{16x16,48x48,256x256}/apps/kelvane.png; do
    grep -qx "$path" "$work/contents" || fail "$path is not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libfltk1.3 libfltk-gl1.3 libglu1 libegl1 libopengl0 libstdc++6; do
    [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

echo "== install"
sudo=$([ "$(id -u)" -eq 0 ] || echo sudo)
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --reinstall "$deb" >"$work/apt.log" 2>&1 ||
    fail "apt-get could not install the package: $(tail -5 "$work/apt.log")"
# shared-mime-info's trigger has turned the installed types into the database.
grep -q '^[0-9]*:application/x-ebo:\*\.ebo$' /usr/share/mime/globs2 || fail "the MIME database has no *.ebo glob"

samples=/usr/share/kelvane/samples
[ "$(/usr/bin/kelvane-inspect --version)" = "kelvane-inspect $version" ] || fail "kelvane-inspect --version"

# The thumbnailer as a file manager runs it (%i %o %s): the faces drawn on a
# transparent square, the archive as its images; a hostile or too large file
# gives no picture and a failing status, and nothing is left behind.
entry=/usr/share/thumbnailers/kelvane.thumbnailer
exec_line=$(sed -n 's/^Exec=//p' "$entry")
grep -qx 'MimeType=application/x-ebo;application/x-fsh;' "$entry" || fail "the thumbnailer lists other types"
head -c 100 /dev/urandom >"$work/hostile.ebo"
truncate -s 70M "$work/huge.fsh"
for run in "head.ebo 0 128" "legacy_head.ebo 0 128" "head.fsh 0 96" "hostile.ebo 1 128" "huge.fsh 1 128"; do
    read -r name status size <<<"$run"
    input=$samples/$name; [ -e "$input" ] || input=$work/$name
    line=${exec_line//%i/$input}; line=${line//%o/$work/$name.png}; line=${line//%s/$size}
    set +e; (cd "$work" && eval "$line") 2>/dev/null; got=$?; set -e
    [ "$got" = "$status" ] || fail "thumbnail of $name exited $got"
    if [ "$status" = 0 ]; then
        [ "$(identify -format '%wx%h %[opaque]' "$work/$name.png")" = "${size}x$size false" ] || fail "thumbnail of $name: $(identify "$work/$name.png")"
    else
        [ ! -e "$work/$name.png" ] || fail "a thumbnail of $name was written"
    fi
done
# The face's skin and hair are there; the corners are transparent.
colours=$(convert "$work/head.ebo.png" -alpha off -resize 16x16! -depth 8 txt:- | grep -c 'srgb(\(1[6-9][0-9]\|2[0-5][0-9]\),')
[ "$colours" -gt 10 ] || fail "the head's thumbnail shows no skin"
[ "$(convert "$work/head.ebo.png" -format '%[fx:p{0,0}.a]' info:)" = 0 ] || fail "the head's thumbnail has a background"

start_xvfb || fail "Xvfb did not start"
# The model alone, as a double-click opens it: it brings the archive beside it.
for run in "kelvane 0.7 head.ebo head.ebo, head.fsh" "kelvane-legacy 0.6 legacy_head.ebo legacy_head.ebo"; do
    read -r program generation sample shown <<<"$run"
    (cd "$work" && exec "/usr/bin/$program" "$samples/$sample") 2>"$work/stderr" &
    viewer=$!
    wait_until $patience visible_titled "$shown - Kelvane v$generation" || fail "no window '$shown' for $program $sample"
    window=$found
    # The desktop knows the window by its class, as its entry names it, and shows the icon it carries.
    class=$(sed -n 's/^StartupWMClass=//p' "/usr/share/applications/$program.desktop")
    [[ "$(xprop -id "$window" WM_CLASS)" == *"= \"$class\", "* ]] || fail "$program's window class is not '$class'"
    xprop -id "$window" _NET_WM_ICON | grep -q "Icon (64 x 64)" || fail "$program's window carries no icon"
    kill "$viewer" && wait "$viewer" 2>/dev/null || true
    viewer=""
done
echo "PASS"
