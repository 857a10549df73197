#!/usr/bin/env bash
# Fuzzes the file readers and the conversions, one after the other, each for the given time, with
# the fuzz targets built in build-fuzz (scripts/test.sh builds them). Any crash, leak or failed
# check fails the run and leaves the input in build-fuzz/<target>-*.
#   scripts/fuzz.sh <seconds per target> <target>...     targets: settings, info_file, command_line...
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: $0 <seconds per target> <target>...}
shift
for target in "$@"; do
  # New inputs go to a working copy; the seed corpus in tests/ stays as it is.
  work=build-fuzz/corpus/$target
  mkdir -p "$work"
  log=build-fuzz/$target.log
  if ! build-fuzz/orvasel_fuzz_$target -max_total_time="$seconds" -max_len=8192 -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build-fuzz/$target- \
      "$work" tests/fuzz/corpus/$target >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "Fuzz target $target failed: the input is in build-fuzz/$target-*"
    exit 1
  fi
  echo "$target: $(grep -m1 'number_of_executed_units' "$log" | awk '{print $2}') executions in $seconds s, no finding"
done
