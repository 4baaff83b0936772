#!/usr/bin/env bash
# fuzz/run.sh BUILD_DIR NAME SECONDS: runs the libFuzzer target NAME_fuzzer
# of BUILD_DIR for SECONDS seconds over its corpus, fuzz/corpus/NAME: seeds,
# and every input that ever found a fault, kept as a regression case. What
# the run discovers goes to a scratch corpus in the build directory, so the
# committed one changes only by hand. A fault (crash, sanitizer report,
# failed check, timeout, memory past the limit, leak) fails the run and
# leaves its input in BUILD_DIR/fuzz/faults/NAME/.
set -euo pipefail

build=$1 name=$2 seconds=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$build/fuzz/work/$name
faults=$build/fuzz/faults/$name
log=$build/fuzz/$name.log
mkdir -p "$work" "$faults"

# AddressSanitizer's quarantine of freed memory would otherwise fill to 256 MB
# and take up most of the room under the memory limit.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=64

options=(
  -max_total_time="$seconds"
  -timeout=10           # seconds for one input
  -rss_limit_mb=512     # memory that keeps growing ends the run
  -max_len=4096
  -print_final_stats=1
  -artifact_prefix="$faults/"
  -dict="$here/$name.dict"
)
if ! "$build/fuzz/${name}_fuzzer" "${options[@]}" "$work" "$here/corpus/$name" >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "fuzz: $name found a fault; the input is in $faults/." >&2
  echo "fuzz: once it is fixed, keep the input in fuzz/corpus/$name/ as a regression case." >&2
  exit 1
fi
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
peak=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log")
echo "fuzz: $name: $runs runs in $seconds s, peak memory $peak MB, no fault"
