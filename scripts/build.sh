#!/usr/bin/env bash
# Configures and builds the Linux programs, tests and benchmarks in build/.
# scripts/build.sh [release|ci] [CONFIGURE ARGUMENTS...]
# with the `release` preset, or `ci`: the same with warnings as errors, as
# scripts/test.sh builds it. Further arguments go to the configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=release
case "${1:-}" in
  release | ci) preset=$1; shift ;;
esac
cmake --preset "$preset" "$@" >/dev/null
cmake --build build
