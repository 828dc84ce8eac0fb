#!/usr/bin/env bash
# Builds the packages an artist installs:
#   build/packages/kelvane_<version>-1_amd64.deb and kelvane-<version>-linux-x86_64.tar.gz
#   build-windows/packages/kelvane-<version>-windows-x64.zip
#   build-emscripten/packages/kelvane-<version>-web.zip (the web page's static files)
# The Windows ZIP takes its sample files from the Linux build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
[ -f build/CMakeCache.txt ] || cmake --preset release >/dev/null
cmake --build build -j2 --target kelvane kelvane-legacy kelvane-inspect kelvane_samples kelvane_icon
scripts/build-windows.sh
for dir in build build-windows; do
  rm -rf "$dir/packages"
  (cd "$dir" && cpack -B "$PWD/packages" >/dev/null)
  rm -rf "$dir/packages/_CPack_Packages"
done
scripts/web.sh --build-only
cmake --build build-emscripten --target kelvane_web_zip
ls -l build/packages build-windows/packages build-emscripten/packages
