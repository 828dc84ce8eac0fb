#!/usr/bin/env bash
# kelvane-inspect gltf, judged by real clients: the Khronos validator finds
# no error or warning in the sample head, the legacy head and the largest
# model; f3d shows the head with its skin, eyes and hair, the right way up.
# usage: gltf_export.sh KELVANE-INSPECT SAMPLES-DIR MAKE-LARGEST-EBO
set -euo pipefail
inspect=$1 samples=$2 here=$(dirname "$0") work=$(mktemp -d)
# shellcheck source=x11_session.sh
source "$here/x11_session.sh"
trap 'stop_xvfb; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -d "$here/gltf/node_modules/gltf-validator" ] || fail "no validator: npm ci --prefix tests/e2e/gltf"
"$inspect" gltf "$samples/head.ebo" "$samples/head.fsh" --by-name -o "$work/head.glb"
"$inspect" gltf --legacy "$samples/legacy_head.ebo" "$samples/head.fsh" -o "$work/legacy.glb"
"$3" "$work/largest.ebo" && "$inspect" gltf "$work/largest.ebo" -o "$work/largest.glb"
node "$here/gltf/validate.js" "$work/head.glb" "$work/legacy.glb" "$work/largest.glb" || fail "validator"

start_xvfb || fail "no Xvfb"
f3d --output="$work/head.png" --resolution=300,300 "$work/head.glb" || fail "f3d"
# Each image's colour told by its ratios, which f3d's light leaves: pixels
# of it, and their mean row.
pixels() {
    convert "$work/head.png" -depth 8 txt: |
        awk -F'[,: ()]+' "NR > 1 && ($1) { n++; y += \$2 } END { print n + 0, (n ? int(y / n) : -1) }"
}
for colour in 'skin:$3 > 60 && $4 > 0.72 * $3 && $4 < 0.86 * $3 && $5 > 0.55 * $3 && $5 < 0.75 * $3' \
              'iris:$5 > $3 + 30 && $5 > $4' 'white:$3 > 90 && $3 == $4 && $4 == $5' \
              'hair:$3 > 30 && $4 > 0.5 * $3 && $4 < 0.72 * $3 && $5 < 0.45 * $3' \
              'lips:$3 > 60 && $4 < 0.5 * $3 && $5 < 0.6 * $3'; do
    read -r n y < <(pixels "${colour#*:}")
    [ "$n" -ge 20 ] || fail "f3d's picture shows no ${colour%%:*}"
    declare "row_${colour%%:*}=$y"
done
# Texture coordinate v = 0 is the image's top row: hair over the eyes over the lips.
[ "$row_hair" -lt "$row_iris" ] && [ "$row_iris" -lt "$row_lips" ] || fail "the face is upside down"
echo ok
