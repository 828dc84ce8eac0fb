#!/usr/bin/env bash
# Installs the Debian packages Kelvane needs to build, run and test.
# Does nothing when they are all present already.
set -euo pipefail

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
)
# Node runs the glTF validator (npm, see scripts/test.sh); a Node.js from
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
