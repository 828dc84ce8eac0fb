#!/usr/bin/env bash
# Builds the packages (scripts/package.sh) and tests them as an artist gets
# them: installs the .deb into this machine (as root, or through sudo) and
# runs the installed programs under Xvfb; unpacks the Windows ZIP into a
# fresh folder and runs kelvane.exe from there under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/package.sh
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
tests/e2e/package_deb_test.sh "build/packages/kelvane_${version}-1_amd64.deb" "$version"
tests/e2e/package_zip_test.sh "build-windows/packages/kelvane-${version}-windows-x64.zip" "$version" build-windows
# The web ZIP: the page's static files in one folder, as build-web/ holds them.
web_zip="build-emscripten/packages/kelvane-${version}-web.zip"
expected=$(cd build-web && find . -type f | sed "s|^\.|kelvane-${version}-web|" | sort)
[ "$(unzip -Z1 "$web_zip" | grep -v '/$' | sort)" = "$expected" ] || { echo "FAIL: $web_zip holds other files than build-web/" >&2; exit 1; }
echo "ok: $web_zip"
