#!/usr/bin/env bash
# The web page (build-web/, from scripts/web.sh --build-only) served on
# localhost and used in headless Chromium (web/page_test.js); its frames
# are compared with the desktop's, drawn here by kelvane-inspect render.
# usage: web_page.sh PAGE_DIR KELVANE-INSPECT
set -euo pipefail
page=$(realpath "$1") inspect=$2 here=$(dirname "$(realpath "$0")")
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$page/index.html" ] || fail "$page/index.html is missing: scripts/web.sh --build-only builds the page"
[ -d "$here/web/node_modules/puppeteer-core" ] || fail "puppeteer-core is missing: npm ci --prefix tests/e2e/web"
command -v chromium >/dev/null || fail "chromium is not installed: scripts/install-deps.sh"
work=$(mktemp -d) server=
trap '[ -n "$server" ] && kill "$server"; rm -rf "$work"' EXIT

# The desktop's frames of the page's own samples, at the page's test size.
samples=$page/samples
render() { env -u DISPLAY "$inspect" render --size 512x512 -o "$work/$1" "${@:2}" || fail "render $1"; }
render current.png --model "$samples/head.ebo" --archive "$samples/head.fsh"
render wireframe.png --model "$samples/head.ebo" --archive "$samples/head.fsh" --wireframe
render texture_view_uv.png --model "$samples/head.ebo" --archive "$samples/head.fsh" --texture-view --uv
render legacy.png --legacy --model "$samples/legacy_head.ebo" --archive "$samples/head.fsh"
ln -s "$samples" "$work/samples"

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$page" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/index.html')" 2>/dev/null && break
  sleep 0.2
done
HOME=$work node "$here/web/page_test.js" "http://127.0.0.1:$port" "$work"
