#!/usr/bin/env bash
# Sets up this machine, builds Kelvane and starts the viewer.
# scripts/run.sh            kelvane with the sample head and its archive, each object with its own image
# scripts/run.sh --legacy   kelvane-legacy with the earlier generation's sample head and the archive
# scripts/run.sh FILE...    kelvane with these files (--legacy FILE...: kelvane-legacy with them)
set -euo pipefail
here=$PWD
cd "$(dirname "$0")/.."
viewer=build/app/kelvane model=build/samples/head.ebo
if [ "${1:-}" = "--legacy" ]; then
  shift
  viewer=build/app/kelvane-legacy model=build/samples/legacy_head.ebo
fi
# Files named relative to where the script was started.
args=()
for arg in "$@"; do
  case "$arg" in
    -* | /*) args+=("$arg") ;;
    *) args+=("$here/$arg") ;;
  esac
done
scripts/install-deps.sh
scripts/build.sh
if [ ${#args[@]} -eq 0 ]; then
  args=("$model" build/samples/head.fsh)
fi
exec "$viewer" --by-name "${args[@]}"
