#!/usr/bin/env bash
# kelvane-inspect.exe under Wine prints what the Linux build prints, with the
# same exit status, for the samples and for broken files, a non-ASCII name
# included; its render and a model's thumbnail draw the Linux build's
# pictures.
# Usage: wine_inspect_test.sh BUILD_WINDOWS_DIR BUILD_LINUX_DIR
WIN_INSPECT=$(realpath -m "${1:?usage: wine_inspect_test.sh BUILD_WINDOWS_DIR BUILD_LINUX_DIR}/tools/kelvane-inspect.exe")
LINUX=$(realpath -m "${2:?}")
source "$(dirname "$0")/wine_common.sh"
[ -f "$WIN_INSPECT" ] || skip "$WIN_INSPECT was not built (scripts/build-windows.sh)"
[ -x "$LINUX/tools/kelvane-inspect" ] || skip "$LINUX/tools/kelvane-inspect was not built (scripts/build.sh)"
start_wine  # render's hidden window and its WGL context need a display

mkdir "$E2E_TMP/files" && cd "$E2E_TMP/files"
cp "$LINUX"/samples/*.{ebo,fsh,bmp} .
# Broken files of every kind, and a name outside every narrow code page.
: >empty.ebo
printf 'EBO\x01\x00' >short.ebo
head -c 300 /dev/zero | tr '\0' '\377' >all-ones.ebo
cp short.ebo short.fsh && cp all-ones.ebo all-ones.fsh && cp all-ones.ebo all-ones.bmp
cp head.ebo $'t\xc3\xaate-\xe2\x98\x83.ebo'
printed=0
for file in *; do
    case "$file" in
        *.ebo) command=model ;;
        *.fsh) command=archive ;;
        *.bmp) command=bmp ;;
    esac
    # The same relative name on both, so any path in the output matches.
    linux_status=0 wine_status=0
    "$LINUX/tools/kelvane-inspect" "$command" "$file" >"../linux.out" 2>/dev/null || linux_status=$?
    wine "$WIN_INSPECT" "$command" "$file" 2>/dev/null >"../wine.out" || wine_status=$?
    tr -d '\r' <../wine.out | diff ../linux.out - >../diff || fail "$command $file: the outputs differ:"$'\n'"$(head -20 ../diff)"
    [ "$linux_status" -eq "$wine_status" ] || fail "$command $file: exit status $linux_status on Linux, $wine_status under Wine"
    # Equal silence proves nothing: reports must be printed.
    [ -s ../linux.out ] && printed=$((printed + 1))
done
[ "$printed" -gt 5 ] || fail "kelvane-inspect printed only $printed reports"

# The same frames as the Linux build within the golden frames' tolerance:
# every channel within 3 levels, at most 4 pixels off (their RGBA bytes compared).
pixels_off() {
    convert "$1" -depth 8 rgba:../a.rgba && convert "$2" -depth 8 rgba:../b.rgba || return 1
    [ "$(stat -c %s ../a.rgba)" = "$(stat -c %s ../b.rgba)" ] || { echo "all (the sizes differ)"; return; }
    { cmp -l ../a.rgba ../b.rgba || true; } | awk 'function n(o, i, v) { for (i = 1; i <= length(o); i++) v = v * 8 + substr(o, i, 1); return v }
        { d = n($2) - n($3); p = int(($1 - 1) / 4) } (d > 3 || d < -3) && !(p in off) { off[p]; count++ }
        END { print count + 0 }'
}
# Both programs with these arguments and then the picture's name.
same_picture() {
    "$LINUX/tools/kelvane-inspect" "$@" ../linux.png || fail "$* failed on Linux"
    wine "$WIN_INSPECT" "$@" ../wine.png || fail "$* failed under Wine"
    off=$(pixels_off ../linux.png ../wine.png)
    [ "$off" -le 4 ] 2>/dev/null || fail "$*: $off pixels differ between Linux and Wine"
}
renders=(
    "--model head.ebo --archive head.fsh"
    "--model head.ebo --archive head.fsh --yaw 30 --pitch -20 --light on"
    "--legacy --model legacy_head.ebo --archive head.fsh"
    "--model head.ebo --archive head.fsh --by-name"
    "--model head.ebo --archive head.fsh --wireframe --yaw -40"
    "--model head.ebo --archive head.fsh --texture-view --scale 2 --uv --size 400x300"
)
for options in "${renders[@]}"; do
    # shellcheck disable=SC2086  # the options are words
    same_picture render $options -o
done
same_picture thumbnail head.ebo  # its background clear on both
status=0
wine "$WIN_INSPECT" render --size 0x10 -o ../bad.png 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "render with a bad size under Wine: status $status, expected 2"
status=0
wine "$WIN_INSPECT" render --model short.ebo -o ../bad.png 2>/dev/null || status=$?
[ "$status" -eq 1 ] && [ ! -e ../bad.png ] || fail "render of a broken model under Wine: status $status (expected 1) or a picture"
echo "PASS"
