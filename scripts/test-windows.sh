#!/usr/bin/env bash
# Cross-builds the Windows programs and runs them under Wine: the viewers and
# the backend probe, and kelvane-inspect against the Linux build (usually
# made first by scripts/build.sh; the parts the Wine tests read, its
# kelvane-inspect and its sample files, are built here when missing).
# One fresh Wine prefix serves all tests.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
[ -f build/CMakeCache.txt ] || cmake --preset release >/dev/null
cmake --build build -j2 --target kelvane_samples kelvane-inspect
scripts/build-windows.sh
for exe in kelvane.exe kelvane-legacy.exe kelvane-inspect.exe kelvane-thumbnails.dll; do
  file=$(find build-windows -name "$exe" -not -path '*/CMakeFiles/*' | head -1)
  dlls=$(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')
  echo "$exe needs: $dlls"
  # Statically linked: only DLLs that come with Windows itself.
  for dll in $dlls; do
    case "${dll,,}" in
      kernel32.dll | msvcrt.dll | user32.dll | gdi32.dll | opengl32.dll | glu32.dll | comdlg32.dll | advapi32.dll | shell32.dll) ;;
      ole32.dll | oleaut32.dll | shlwapi.dll) ;;
      *) echo "$exe needs $dll, which Windows does not ship" >&2; exit 1 ;;
    esac
  done
done
built=$SECONDS

prefix=$(mktemp -d /tmp/kelvane-wineprefix.XXXXXX)
trap 'WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix"' EXIT
KELVANE_WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win64 WINEPREFIX="$prefix" wineboot -i >/dev/null 2>&1
WINEPREFIX="$prefix" wineserver -w
prefixed=$SECONDS

KELVANE_WINEPREFIX="$prefix" ctest --test-dir build -L wine --output-on-failure
echo "Windows build $((built - start))s, Wine prefix $((prefixed - built))s, Wine tests $((SECONDS - prefixed))s"
