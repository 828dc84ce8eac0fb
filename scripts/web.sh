#!/usr/bin/env bash
# Builds Kelvane's web page into build-web/ (index.html, the two viewers'
# .js and .wasm, the samples) and serves it on this machine.
# scripts/web.sh [--build-only] [--port N]
#   --build-only  build the page and stop
#   --port N      serve on port N (default 8080)
# The page is static files: any web server can serve build-web/ as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
serve=1 port=8080
while [ $# -gt 0 ]; do
  case "$1" in
    --build-only) serve=0 ;;
    --port) port=${2:?--port needs a number}; shift ;;
    *) echo "usage: scripts/web.sh [--build-only] [--port N]" >&2; exit 2 ;;
  esac
  shift
done
scripts/install-deps.sh --web
# Debian's Emscripten finds its JS optimiser's parser among Debian's Node modules.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
cmake --preset web >/dev/null
cmake --build build-emscripten
if [ "$serve" = 0 ]; then
  echo "The page is in build-web/ (build-web/index.html)."
  exit 0
fi
echo "Kelvane's page: http://localhost:$port/  (Ctrl+C stops the server)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web
