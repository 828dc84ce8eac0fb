#!/usr/bin/env bash
# kelvane-inspect render draws offscreen with no display: an empty scene at
# the asked size in each generation's clear colour; bad arguments give 2; a
# file that fails to load gives 1 and no picture.
# usage: inspect_render.sh KELVANE-INSPECT
set -euo pipefail
inspect=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

check() {  # FLAGS... -- EXPECTED-GREY
    local grey=${*: -1} picture="$work/frame.png"
    env -u DISPLAY "$inspect" render "${@:1:$#-1}" -o "$picture" --size 40x30 || fail "render $* failed"
    [ "$(identify -format '%wx%h' "$picture")" = "40x30" ] || fail "picture is not 40x30"
    local level
    level=$(convert "$picture" -format '%[fx:int(255*p{20,25}.r+0.5)]' info:)
    [ $((level - grey)) -ge -1 ] && [ $((level - grey)) -le 1 ] || fail "grey $level, expected $grey ($*)"
}
check 26
check --legacy 77

status=0
"$inspect" render --size 0x10 -o "$work/x.png" 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "a bad size gave status $status, expected 2"
status=0
"$inspect" render --model "$work/missing.ebo" -o "$work/x.png" 2>/dev/null || status=$?
[ "$status" -eq 1 ] || fail "a missing model gave status $status, expected 1"
[ ! -e "$work/x.png" ] || fail "a model that failed to load still gave a picture"
[ "$("$inspect" --version)" = "kelvane-inspect $(sed -n 's/^project(Kelvane VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")" ] ||
  fail "--version printed something else"
echo ok
