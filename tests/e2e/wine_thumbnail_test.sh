#!/usr/bin/env bash
# Explorer's thumbnails under Wine: register-thumbnails.cmd registers the
# handler for the current user; a host finds it in HKCU as Explorer does and
# draws each file from a stream as the Linux kelvane-inspect thumbnail draws
# it (a model from a stream has no archive beside it, so the Linux one is
# drawn alone in its folder too); bad files fail without ending the host;
# unregister-thumbnails.cmd leaves no key behind.
# Usage: wine_thumbnail_test.sh BUILD_WINDOWS_DIR BUILD_LINUX_DIR
WIN=$(realpath -m "${1:?usage: wine_thumbnail_test.sh BUILD_WINDOWS_DIR BUILD_LINUX_DIR}")
LINUX=$(realpath -m "${2:?}")
SCRIPTS=$(realpath "$(dirname "$0")/../../packaging/windows")
source "$(dirname "$0")/wine_common.sh"
DLL=$WIN/thumbnail/win32/kelvane-thumbnails.dll HOST=$WIN/tests/e2e/kelvane-thumbnail-host.exe
[ -f "$DLL" ] && [ -f "$HOST" ] || skip "the thumbnail DLL and its host were not built (scripts/build-windows.sh)"
[ -x "$LINUX/tools/kelvane-inspect" ] || skip "$LINUX/tools/kelvane-inspect was not built (scripts/build.sh)"

# Static: nothing but the system's DLLs; COM's entry points undecorated.
if command -v x86_64-w64-mingw32-objdump >/dev/null; then
    x86_64-w64-mingw32-objdump -p "$DLL" >"$E2E_TMP/dll.txt"
    ! grep -iE 'DLL Name: (libstdc|libgcc|libwinpthread)' "$E2E_TMP/dll.txt" || fail "the DLL needs MinGW's DLLs"
    for name in DllGetClassObject DllCanUnloadNow; do
        grep -qE "\] $name\$" "$E2E_TMP/dll.txt" || fail "the DLL does not export $name"
    done
fi
start_wine  # the offscreen context's hidden window needs a display

# The ZIP's layout: the scripts beside the DLL.
mkdir "$E2E_TMP/kelvane" "$E2E_TMP/files"
cp "$DLL" "$SCRIPTS"/*.cmd "$E2E_TMP/kelvane/"
cd "$E2E_TMP/kelvane"
wine cmd /c register-thumbnails.cmd >/dev/null 2>&1 || fail "register-thumbnails.cmd failed"
handler='ShellEx\{e357fccd-a995-4576-b01f-234630154e96}'
wine reg query "HKCU\\Software\\Classes\\.ebo\\$handler" /ve 2>/dev/null | grep -q '{71799B5F-' || fail "no handler for .ebo"

cd "$E2E_TMP/files"
cp "$LINUX/samples/head.ebo" "$LINUX/samples/legacy_head.ebo" .
cp "$LINUX/samples/head.fsh" archive.fsh  # not head's companion
: >empty.ebo
head -c 300 /dev/zero | tr '\0' '\377' >all-ones.ebo
printf 'EBO\x01\x00' >short.fsh
truncate -s 65M huge.fsh  # refused before a byte is read
wine "$HOST" 256 head.ebo head.rgba empty.ebo x all-ones.ebo x short.fsh x huge.fsh x \
    legacy_head.ebo legacy.rgba archive.fsh archive.rgba 2>/dev/null | tr -d '\r' >host.out || fail "the host ended: $(cat host.out)"
for bad in empty.ebo all-ones.ebo short.fsh huge.fsh; do
    grep -qE "^$bad: failed 0x8" host.out || fail "$bad: $(grep "^$bad" host.out)"
done

# Every channel within 3 levels, at most 4 pixels off, as the golden frames.
pixels_off() {
    { cmp -l "$1" "$2" || true; } | awk 'function n(o, i, v) { for (i = 1; i <= length(o); i++) v = v * 8 + substr(o, i, 1); return v }
        { d = n($2) - n($3); p = int(($1 - 1) / 4) } (d > 3 || d < -3) && !(p in off) { off[p]; count++ }
        END { print count + 0 }'
}
for pair in head.ebo:head legacy_head.ebo:legacy archive.fsh:archive; do
    file=${pair%%:*} name=${pair#*:}
    grep -qx "$file: drawn" host.out || fail "$file: $(grep "^$file" host.out)"
    "$LINUX/tools/kelvane-inspect" thumbnail "$file" "$name.png" --size 256 || fail "$file: no Linux thumbnail"
    convert "$name.png" -depth 8 "rgba:$name.linux"
    [ "$(stat -c %s "$name.rgba")" = "$(stat -c %s "$name.linux")" ] || fail "$file: the sizes differ"
    off=$(pixels_off "$name.rgba" "$name.linux")
    [ "$off" -le 4 ] || fail "$file: $off pixels differ from the Linux thumbnail"
done
# Not a blank picture: the lit head covers part of the square, the rest clear.
convert -size 256x256 -depth 8 rgba:head.rgba -format '%[fx:p{0,0}.a] %[fx:p{128,128}.a]' info: | grep -qx '0 1' ||
    fail "the head's thumbnail is not a head on a clear background"

cd "$E2E_TMP/kelvane"
wine cmd /c unregister-thumbnails.cmd >/dev/null 2>&1 || fail "unregister-thumbnails.cmd failed"
for key in 'CLSID\{71799B5F-6AAC-4929-AFA3-D733AE5A2E11}' 'CLSID\{6D3E8C73-D3AA-48C4-B404-7AE83342131B}' .ebo .fsh; do
    ! wine reg query "HKCU\\Software\\Classes\\$key" >/dev/null 2>&1 || fail "HKCU\\Software\\Classes\\$key remains"
done
cd "$E2E_TMP/files"
wine "$HOST" 256 head.ebo head.rgba 2>/dev/null | tr -d '\r' | grep -qx 'head.ebo: failed 0x80040154' ||
    fail "a handler is still found after unregistering"
echo "PASS"
