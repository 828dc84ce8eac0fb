#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, writes their seeds with the
# project's file writers and runs each target for a fixed number of inputs.
# A finding stops the script with the crashing input under build-fuzz/findings/.
# usage: scripts/fuzz.sh [RUNS]   (default 20000 inputs per target)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20000}
targets=(ebo_current ebo_legacy fsh bmp picture)

cmake --preset fuzz >/dev/null
cmake --build build-fuzz
rm -rf build-fuzz/seeds build-fuzz/corpus
build-fuzz/tests/fuzz/kelvane_fuzz_seeds build-fuzz/seeds
mkdir -p build-fuzz/findings

for target in "${targets[@]}"; do
  # New inputs go to a working corpus; the seeds stay as written.
  mkdir -p "build-fuzz/corpus/$target"
  cp build-fuzz/seeds/"$target"/* "build-fuzz/corpus/$target/"
  log="build-fuzz/fuzz_$target.log"
  start=$SECONDS
  if ! build-fuzz/tests/fuzz/fuzz_"$target" -runs="$runs" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="build-fuzz/findings/$target-" -print_final_stats=1 "build-fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "fuzz_$target: finding after $((SECONDS - start))s, see build-fuzz/findings/" >&2
    exit 1
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  seconds=$((SECONDS - start))
  echo "fuzz_$target: $execs inputs clean in ${seconds}s ($((execs / (seconds > 0 ? seconds : 1))) per second)"
done
