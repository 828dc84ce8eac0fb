#!/usr/bin/env bash
# Sets up this machine, builds Kelvane and starts the viewer.
# scripts/run.sh            starts kelvane (later file generation)
# scripts/run.sh --legacy   starts kelvane-legacy (earlier generation)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if [ "${1:-}" = "--legacy" ]; then
  exec build/app/kelvane-legacy
fi
exec build/app/kelvane
