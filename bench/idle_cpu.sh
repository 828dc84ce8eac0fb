#!/bin/bash
# CPU that an idle viewer uses under Xvfb, as % of one core (utime + stime
# from /proc/PID/stat), and how often it woke (the times its threads were
# put on a CPU, the third figure of /proc/PID/task/*/schedstat), over a
# number of seconds once its window is up, with nothing happening. Measured
# twice: with no files (the viewer as it starts) and with the sample model
# and archive named on the command line, which it then follows.
#
# Usage: bench/idle_cpu.sh [build-dir] [kelvane|kelvane-legacy] [seconds]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
program=${2:-kelvane}
seconds=${3:-10}
viewer_binary=$build/app/$program
samples=$build/samples
model=$samples/head.ebo
[ "$program" = kelvane-legacy ] && model=$samples/legacy_head.ebo
for needed in "$viewer_binary" "$model" "$samples/head.fsh"; do
    [ -e "$needed" ] || { echo "idle_cpu.sh: missing $needed (build kelvane and kelvane_samples)" >&2; exit 2; }
done

work=$(mktemp -d)
viewer=""
# shellcheck source=tests/e2e/x11_session.sh
source "$root/tests/e2e/x11_session.sh"
cleanup() {
    [ -n "$viewer" ] && kill "$viewer" 2>/dev/null && wait "$viewer" 2>/dev/null
    stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
start_xvfb || { echo "idle_cpu.sh: Xvfb did not start" >&2; exit 2; }

hz=$(getconf CLK_TCK)

# utime + stime in clock ticks; the fields after the command name, which
# ends with the last ')'.
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
# Times any thread of the process was put on a CPU.
runs() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ n += $3 } END { print n + 0 }'; }
window_shown() { xdotool search --onlyvisible --pid "$viewer" >/dev/null 2>&1; }

measure() {
    local label=$1
    shift
    "$viewer_binary" "$@" >"$work/viewer.log" 2>&1 &
    viewer=$!
    if ! wait_until 30 window_shown; then
        echo "idle_cpu.sh: no window from $program" >&2
        exit 1
    fi
    sleep 1  # let the first frames and any load settle
    local start_ticks end_ticks start_ns end_ns start_runs end_runs
    start_runs=$(runs "$viewer")
    start_ticks=$(cpu_ticks "$viewer")
    start_ns=$(date +%s%N)
    sleep "$seconds"
    end_ticks=$(cpu_ticks "$viewer")
    end_runs=$(runs "$viewer")
    end_ns=$(date +%s%N)
    kill "$viewer" 2>/dev/null || true
    wait "$viewer" 2>/dev/null || true
    viewer=""
    awk -v label="$label" -v ticks=$((end_ticks - start_ticks)) -v hz="$hz" -v ns=$((end_ns - start_ns)) \
        -v woke=$((end_runs - start_runs)) \
        'BEGIN { s = ns / 1e9; printf "%-28s %6.2f%% of one core (%.2f s CPU in %.2f s), %d wake-ups (%.1f a second)\n",
                 label, 100 * ticks / hz / s, ticks / hz, s, woke, woke / s }'
}

echo "$program idle under Xvfb, $seconds s each:"
measure "no files"
measure "sample model and archive" "$model" "$samples/head.fsh"
