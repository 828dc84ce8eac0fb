#!/usr/bin/env bash
# Sets up this machine and runs every test: unit and end-to-end tests of the
# Linux build, the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of every fuzz target, and the
# Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-layers.sh
scripts/build.sh -DKELVANE_STRICT=ON
ctest --test-dir build --output-on-failure -j2 -LE wine

echo "== Unit tests with AddressSanitizer and UndefinedBehaviorSanitizer =="
cmake --preset sanitize -DKELVANE_STRICT=ON >/dev/null
cmake --build build-asan --target kelvane_tests
ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-asan -L unit --output-on-failure -j2

echo "== Fuzz targets, a short run each =="
scripts/fuzz.sh 20000
scripts/test-windows.sh
scripts/test-packages.sh
