#!/usr/bin/env bash
# The web page's figures in headless Chromium (SwiftShader, no GPU): what a
# visitor downloads, the time to the viewer's first frame and to the
# sample's, and the time a drag takes per frame.
# usage: bench/web_page_bench.sh [PAGE_DIR]   (default build-web, from scripts/web.sh --build-only)
set -euo pipefail
cd "$(dirname "$0")/.."
page=$(realpath "${1:-build-web}")
echo "== page weight (bytes as served, then gzip -9 as a server may send them)"
for f in index.html page.js kelvane.css kelvane.js kelvane.wasm kelvane-legacy.js kelvane-legacy.wasm; do
  printf '%-22s %9d %9d\n' "$f" "$(stat -c %s "$page/$f")" "$(gzip -9c "$page/$f" | wc -c)"
done
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$page" >/dev/null 2>&1 &
server=$!
trap 'kill $server' EXIT
sleep 1
NODE_PATH=$PWD/tests/e2e/web/node_modules node bench/web_page_bench.js "http://127.0.0.1:$port"
