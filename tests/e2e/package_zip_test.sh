#!/usr/bin/env bash
# The Windows ZIP as an artist gets it: one folder with the three programs,
# the samples and the guide; what Explorer reads from each program (icon,
# manifest, version); kelvane.exe started in the unpacked folder with a
# sample model's relative path (its archive comes along), its icon on its window,
# ended by File > Quit.
# usage: package_zip_test.sh ZIP VERSION BUILD_WINDOWS_DIR (holds the probe)
ZIP=$(realpath "${1:?usage: package_zip_test.sh ZIP VERSION BUILD_WINDOWS_DIR}")
VERSION=${2:?} PROBE=$(realpath "${3:?}")/platform/win32/kelvane-win32-probe.exe
source "$(dirname "$0")/wine_common.sh"
[ -f "$PROBE" ] || skip "$PROBE was not built (scripts/build-windows.sh)"
for tool in unzip xprop; do command -v $tool >/dev/null || skip "$tool is not installed"; done

echo "== contents of $(basename "$ZIP")"
folder="kelvane-$VERSION-windows-x64"
unzip -Z1 "$ZIP" | grep -v '/$' | sort >"$E2E_TMP/contents"
printf "$folder/%s\n" Guide.txt kelvane.exe kelvane-legacy.exe kelvane-inspect.exe kelvane-thumbnails.dll \
    register-thumbnails.cmd unregister-thumbnails.cmd samples/head.ebo samples/head.fsh samples/legacy_head.ebo samples/picture.bmp | sort >"$E2E_TMP/expected"
diff -u "$E2E_TMP/expected" "$E2E_TMP/contents" || fail "the ZIP holds other files than expected"
unzip -q "$ZIP" -d "$E2E_TMP"
cd "$E2E_TMP/$folder"
start_wine

echo "== resources"
check_resources() {
    local exe=$1 out path
    path=$(realpath "$exe")
    out=$(wine "$PROBE" resources "Z:${path//\//\\}" "$2" | tr -d '\r')
    for line in "icon: found" "manifest: found" "ProductName: Kelvane" "ProductVersion: $VERSION" \
        "FileVersion: $VERSION.0" "OriginalFilename: $exe"; do
        grep -qxF "$line" <<<"$out" || fail "$exe: no \"$line\" in what Windows reads:"$'\n'"$out"
    done
    grep -q "^FileDescription: Kelvane ." <<<"$out" || fail "$exe has no file description"
}
check_resources kelvane.exe "Kelvane v0.7"
check_resources kelvane-legacy.exe "Kelvane v0.6"
check_resources kelvane-inspect.exe "Kelvane"

echo "== kelvane.exe in the unpacked folder"
# The window class found the icon: the icon Wine hands the window manager
# holds the icon's tile colour, 0xff26344d.
window_has_icon() { xprop -id "$MAIN" -f _NET_WM_ICON 32c ' $0+\n' _NET_WM_ICON | tr ',' '\n' | grep -qx ' *4280693837'; }
# The model alone, as a double-click opens it: it brings the archive beside it.
start_viewer ./kelvane.exe 'samples\head.ebo'
find_viewer "head.ebo, head.fsh - Kelvane v0.7"
wait_for "the program's icon on the window" window_has_icon
quit_viewer
echo "PASS"
