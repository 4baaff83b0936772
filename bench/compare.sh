#!/usr/bin/env bash
# Runs the product and the yardstick alternately, so that both meet the same
# load on the machine, and prints the median wall time of each, the peak
# resident memory of each and the product's ratio to the yardstick in both.
# Start-up is part of every run: a run is timed from before its fork to after
# its exit. Fails when the product takes more than 2x the yardstick's time or
# 1.5x its memory.
#
# usage: bench/compare.sh [PRODUCT [YARDSTICK [RUNS]]]
set -euo pipefail

product=${1:-build/release/erilaisetrivit}
yardstick=${2:-build/release/bench/yardstick}
runs=${3:-21}
readonly kMaxTimeRatio=2 kMaxMemoryRatio=1.5

for program in "$product" "$yardstick"; do
  [ -x "$program" ] || { echo "compare: no program $program" >&2; exit 2; }
done
[ "$runs" -ge 10 ] || { echo "compare: at least 10 runs each, not $runs" >&2; exit 2; }

output=$(mktemp)
trap 'rm -f "$output"' EXIT

# Wall time of one run in microseconds. The five report lines must be there,
# lest a broken build look fast.
timed_run() {
  local start end lines
  # EPOCHREALTIME is read without a fork: seconds and microseconds.
  start=${EPOCHREALTIME/[.,]/}
  "$1" >"$output"
  end=${EPOCHREALTIME/[.,]/}
  lines=$(wc -l <"$output")
  [ "$lines" -eq 5 ] || { echo "compare: $1 printed $lines lines, not 5" >&2; exit 1; }
  echo $((10#$end - 10#$start))
}

# Peak resident set of one run, in kilobytes.
peak_rss() {
  /usr/bin/time -f %M -o "$output" "$1" >/dev/null
  tail -n 1 "$output"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

timed_run "$product" >/dev/null
timed_run "$yardstick" >/dev/null
product_times=() yardstick_times=() product_rss=() yardstick_rss=()
for ((i = 0; i < runs; i++)); do
  product_times+=("$(timed_run "$product")")
  yardstick_times+=("$(timed_run "$yardstick")")
done
for ((i = 0; i < 5; i++)); do
  product_rss+=("$(peak_rss "$product")")
  yardstick_rss+=("$(peak_rss "$yardstick")")
done

product_us=$(printf '%s\n' "${product_times[@]}" | median)
yardstick_us=$(printf '%s\n' "${yardstick_times[@]}" | median)
product_kb=$(printf '%s\n' "${product_rss[@]}" | sort -n | tail -n 1)
yardstick_kb=$(printf '%s\n' "${yardstick_rss[@]}" | sort -n | tail -n 1)

awk -v runs="$runs" -v pt="$product_us" -v yt="$yardstick_us" -v pm="$product_kb" -v ym="$yardstick_kb" \
    -v max_t="$kMaxTimeRatio" -v max_m="$kMaxMemoryRatio" '
  function verdict(ratio, limit) { return ratio <= limit ? "within " limit "x" : "OVER " limit "x" }
  BEGIN {
    printf "%d runs each, alternating, after a warm-up; peak memory is the largest of 5 runs\n", runs
    printf "%-12s %16s %16s\n", "", "median wall", "peak RSS"
    printf "%-12s %13.2f ms %13d KB\n", "product", pt / 1000, pm
    printf "%-12s %13.2f ms %13d KB\n", "yardstick", yt / 1000, ym
    tr = pt / yt; mr = pm / ym
    printf "%-12s %15.2fx %15.2fx\n", "ratio", tr, mr
    printf "%-12s %16s %16s\n", "target", verdict(tr, max_t), verdict(mr, max_m)
    exit (tr <= max_t && mr <= max_m) ? 0 : 1
  }'
