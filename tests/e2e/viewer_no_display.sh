#!/usr/bin/env bash
# A viewer started without an X display ends at once with a non-zero status
# and a one-line reason.
# usage: viewer_no_display.sh PROGRAM
set -uo pipefail
program=$1
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY timeout 60 "$program" 2>"$errors"
status=$?
if [ "$status" -eq 0 ] || [ "$status" -eq 124 ]; then
    echo "FAIL: exit status $status without a display" >&2
    exit 1
fi
lines=$(wc -l <"$errors")
if [ "$lines" -ne 1 ] || ! grep -qi "display" "$errors"; then
    echo "FAIL: expected one line about the display, got:" >&2
    cat "$errors" >&2
    exit 1
fi
echo "ok: $(cat "$errors")"
