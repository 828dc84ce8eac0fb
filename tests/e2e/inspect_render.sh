#!/usr/bin/env bash
# kelvane-inspect render draws offscreen with no display: an empty scene at
# the asked size in the clear colour (the legacy one's: the artist session);
# bad arguments give 2; a file that fails to load gives 1 and no picture.
# usage: inspect_render.sh KELVANE-INSPECT
set -euo pipefail
inspect=$1 work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
check() {  # GREY [FLAGS...]: a 40x30 picture of that grey, give or take 1
  env -u DISPLAY "$inspect" render "${@:2}" -o "$work/frame.png" --size 40x30 || fail "render $* failed"
  [ "$(convert "$work/frame.png" -format "%wx%h %[fx:abs(255*p{20,25}.r-$1)<1.5]" info:)" = "40x30 1" ] || fail "check $*"
}
check 26
status=0
"$inspect" render --size 0x10 -o "$work/x.png" 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "a bad size gave status $status, expected 2"
status=0
"$inspect" render --model "$work/missing.ebo" -o "$work/x.png" 2>/dev/null || status=$?
[ "$status" -eq 1 ] && [ ! -e "$work/x.png" ] || fail "a missing model gave status $status (expected 1) or a picture"
echo ok
