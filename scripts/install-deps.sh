#!/usr/bin/env bash
# Installs the Debian packages Kelvane needs to build, run and test
# (--web: only those the web page needs to build and be served).
# Does nothing when they are all present already.
set -euo pipefail

# The web page alone (scripts/web.sh): Emscripten, the header-only
# libraries, Node to write the samples, Python to serve the page.
web_packages=(cmake ninja-build emscripten libcli11-dev nlohmann-json3-dev libstb-dev python3)
packages=(
  cmake ninja-build g++ pkg-config
  libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libfltk1.3-dev
  libcli11-dev nlohmann-json3-dev libstb-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils xclip imagemagick libxcomposite-dev
  g++-mingw-w64-x86-64-posix wine wine64
  dpkg-dev unzip shared-mime-info
  clang libclang-rt-14-dev
  f3d
  emscripten chromium python3
)
[ "${1:-}" = "--web" ] && packages=("${web_packages[@]}")
# Node runs the glTF validator and the browser tests (npm, see
# scripts/test.sh) and writes the web page's samples; a Node.js from
# elsewhere brings its own npm, which Debian's npm package conflicts with.
command -v npm >/dev/null || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
