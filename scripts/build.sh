#!/usr/bin/env bash
# Configures and builds the Linux programs, tests and benchmarks in build/.
# Arguments go to the configure step (scripts/test.sh adds -DKELVANE_STRICT=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release "$@" >/dev/null
cmake --build build
