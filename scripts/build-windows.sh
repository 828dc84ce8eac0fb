#!/usr/bin/env bash
# Cross-builds the Windows programs (kelvane.exe, kelvane-legacy.exe,
# kelvane-inspect.exe, kelvane-thumbnails.dll) with MinGW-w64 in
# build-windows/, statically linked.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset windows >/dev/null
cmake --build build-windows -j2 --target kelvane kelvane-legacy kelvane-inspect kelvane-win32-probe \
  kelvane-thumbnails kelvane-thumbnail-host "$@"
