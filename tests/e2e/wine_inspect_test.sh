#!/usr/bin/env bash
# kelvane-inspect.exe under Wine prints what the Linux build prints and exits
# with the same status, for well-formed sample files and for broken ones,
# non-ASCII names included; its render says it is not available there.
# Usage: wine_inspect_test.sh BUILD_WINDOWS_DIR BUILD_LINUX_DIR [SAMPLE_FILE...]
# Without sample files, *.ebo, *.fsh and *.bmp files under tests/data and
# BUILD_LINUX_DIR/samples are used, when there are any.
BUILD_WIN=${1:?usage: wine_inspect_test.sh BUILD_WINDOWS_DIR BUILD_LINUX_DIR [SAMPLE_FILE...]}
BUILD_LINUX=${2:?usage: wine_inspect_test.sh BUILD_WINDOWS_DIR BUILD_LINUX_DIR [SAMPLE_FILE...]}
shift 2
source "$(dirname "$0")/wine_common.sh"
SOURCE_DIR=$(realpath "$(dirname "$0")/../..")
WIN_INSPECT=$(realpath -m "$BUILD_WIN/tools/kelvane-inspect.exe")
LINUX_INSPECT=$(realpath -m "$BUILD_LINUX/tools/kelvane-inspect")
[ -f "$WIN_INSPECT" ] || skip "$WIN_INSPECT was not built (scripts/build-windows.sh)"
[ -x "$LINUX_INSPECT" ] || skip "$LINUX_INSPECT was not built (scripts/build.sh)"

samples=("$@")
if [ ${#samples[@]} -eq 0 ]; then
    while IFS= read -r -d '' f; do samples+=("$f"); done < <(
        find "$SOURCE_DIR/tests/data" "$BUILD_LINUX/samples" -type f \( -iname '*.ebo' -o -iname '*.fsh' -o -iname '*.bmp' \) \
            -print0 2>/dev/null)
fi

make_prefix  # no display needed: kelvane-inspect opens no window

# Broken files of every kind the readers must survive.
mkdir -p "$E2E_TMP/files"
: >"$E2E_TMP/files/empty.ebo"
printf 'EBO\x01\x00' >"$E2E_TMP/files/short.ebo"
head -c 300 /dev/zero | tr '\0' '\377' >"$E2E_TMP/files/all-ones.ebo"
cp "$E2E_TMP/files/short.ebo" "$E2E_TMP/files/short.fsh"
cp "$E2E_TMP/files/all-ones.ebo" "$E2E_TMP/files/all-ones.fsh"
cp "$E2E_TMP/files/all-ones.ebo" "$E2E_TMP/files/all-ones.bmp"
for f in "${samples[@]}"; do cp "$f" "$E2E_TMP/files/"; done
# A name outside every narrow code page: the JSON must print it as given.
for f in "$E2E_TMP"/files/*.ebo; do cp "$f" "$E2E_TMP/files/"$'t\xc3\xaate-\xe2\x98\x83.ebo'; break; done

cd "$E2E_TMP/files"
compared=0 printed=0
for file in *; do
    case "${file,,}" in
        *.ebo) command=model ;;
        *.fsh) command=archive ;;
        *.bmp) command=bmp ;;
        *) continue ;;
    esac
    # The same relative name on both, so any path in the output matches.
    linux_status=0 wine_status=0
    "$LINUX_INSPECT" "$command" "$file" >"../$file.linux" 2>/dev/null || linux_status=$?
    wine "$WIN_INSPECT" "$command" "$file" 2>/dev/null | tr -d '\r' >"../$file.wine" || true
    wine "$WIN_INSPECT" "$command" "$file" >/dev/null 2>&1 || wine_status=$?
    cmp -s "../$file.linux" "../$file.wine" ||
        fail "$command $file: the outputs differ:
$(diff "../$file.linux" "../$file.wine" | head -20)"
    [ "$linux_status" -eq "$wine_status" ] || fail "$command $file: exit status $linux_status on Linux, $wine_status under Wine"
    compared=$((compared + 1))
    [ -s "../$file.linux" ] && printed=$((printed + 1))
done
status=0
message=$(wine "$WIN_INSPECT" render -o frame.png 2>&1 >/dev/null) || status=$?
[ "$status" -eq 2 ] && [[ "$message" == *"not available in the Windows build"* ]] ||
    fail "render under Wine: status $status, said: $message"
# Equal silence proves nothing: at least one file must have printed a report.
[ "$printed" -gt 0 ] || fail "kelvane-inspect printed nothing for any of the $compared files"
echo "PASS ($compared files, ${#samples[@]} samples)"
