#!/usr/bin/env bash
# kelvane-inspect.exe under Wine prints what the Linux build prints, with the
# same exit status, for the samples and for broken files, a non-ASCII name
# included; its render says it is not available there.
# Usage: wine_inspect_test.sh BUILD_WINDOWS_DIR BUILD_LINUX_DIR
WIN_INSPECT=$(realpath -m "${1:?usage: wine_inspect_test.sh BUILD_WINDOWS_DIR BUILD_LINUX_DIR}/tools/kelvane-inspect.exe")
LINUX=$(realpath -m "${2:?}")
source "$(dirname "$0")/wine_common.sh"
[ -f "$WIN_INSPECT" ] || skip "$WIN_INSPECT was not built (scripts/build-windows.sh)"
[ -x "$LINUX/tools/kelvane-inspect" ] || skip "$LINUX/tools/kelvane-inspect was not built (scripts/build.sh)"
make_prefix  # no display: kelvane-inspect opens no window

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
status=0
message=$(wine "$WIN_INSPECT" render -o frame.png 2>&1 >/dev/null) || status=$?
[ "$status" -eq 2 ] && [[ "$message" == *"not available in the Windows build"* ]] ||
    fail "render under Wine: status $status, said: $message"
echo "PASS"
