#!/usr/bin/env bash
# Sets up this machine and runs every test: the layering check, unit and
# end-to-end tests of the Linux build (warnings are errors) and of the web
# page in headless Chromium, the same tests
# again in a build with AddressSanitizer and UndefinedBehaviorSanitizer, a
# short run of every fuzz target, and the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The glTF validator, at the version its lock file pins (for tests/e2e/gltf_export.sh).
npm ci --prefix tests/e2e/gltf --no-audit --no-fund
# puppeteer-core, which drives Debian's Chromium in the web page's test.
npm ci --prefix tests/e2e/web --no-audit --no-fund
scripts/check-layers.sh
# The web page, which the end-to-end tests open in Chromium.
scripts/web.sh --build-only
scripts/build.sh ci
ctest --test-dir build --output-on-failure -j2 -LE wine

echo "== Unit and end-to-end tests with AddressSanitizer and UndefinedBehaviorSanitizer =="
cmake --preset ci-sanitize >/dev/null
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-asan --output-on-failure -j2 -LE wine

echo "== Fuzz targets, a short run each =="
scripts/fuzz.sh 20000
scripts/test-windows.sh
scripts/test-packages.sh
