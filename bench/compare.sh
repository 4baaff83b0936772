#!/usr/bin/env bash
# Times the product side by side with the yardstick, in one run: the product
# with the overlap path it chooses on this CPU, the same program forced to
# each other path the CPU runs (bench/forced_path.cpp), and the yardstick. The
# programs run in turn, round after round, so that all meet the same load on
# the machine. Prints the median wall time and the peak resident memory of
# each, and their ratios to the yardstick's. Start-up is part of every run: a
# run is timed from before its fork to after its exit.
#
# The targets, here and nowhere else: time_target below for the time of each
# path, kMaxMemoryRatio for the product's peak memory, each a ratio to the
# yardstick's. Fails when one is missed.
#
# usage: bench/compare.sh [PRODUCT [FORCED [YARDSTICK [RUNS]]]]
set -euo pipefail

product=${1:-build/bench/erilaisetrivit}
forced=${2:-build/bench/bench/erilaisetrivit_forced}
yardstick=${3:-build/bench/bench/yardstick}
runs=${4:-21}
readonly kMaxMemoryRatio=1.2

for program in "$product" "$forced" "$yardstick"; do
  [ -x "$program" ] || { echo "compare: no program $program" >&2; exit 2; }
done
[ "$runs" -ge 10 ] || { echo "compare: at least 10 runs each, not $runs" >&2; exit 2; }

time_target() {
  case $1 in
    avx512) echo 0.45 ;;
    avx2) echo 0.6 ;;
    portable) echo 5 ;;
    *) echo - ;;
  esac
}

# The paths this CPU runs, the one the product chooses first.
mapfile -t paths < <(ERILAISETRIVIT_OVERLAP_PATH=list "$forced")
[ "${#paths[@]}" -ge 1 ] || { echo "compare: $forced lists no path" >&2; exit 1; }

# What each entry runs: a program and the path it is forced to, if any.
labels=("erilaisetrivit (${paths[0]})") programs=("$product") forced_paths=("") targets=("$(time_target "${paths[0]}")")
for path in "${paths[@]:1}"; do
  labels+=("forced $path") programs+=("$forced") forced_paths+=("$path") targets+=("$(time_target "$path")")
done
labels+=("yardstick") programs+=("$yardstick") forced_paths+=("") targets+=("")
readonly yardstick_entry=$((${#labels[@]} - 1))

output=$(mktemp)
trap 'rm -f "$output"' EXIT

# Runs entry $1 once; without the variable the forced copy is the program.
run_entry() {
  if [ -n "${forced_paths[$1]}" ]; then
    ERILAISETRIVIT_OVERLAP_PATH=${forced_paths[$1]} "${programs[$1]}"
  else
    "${programs[$1]}"
  fi
}

# Wall time of one run in microseconds. The five report lines must be there,
# lest a broken build look fast.
timed_run() {
  local start end lines
  # EPOCHREALTIME is read without a fork: seconds and microseconds.
  start=${EPOCHREALTIME/[.,]/}
  run_entry "$1" >"$output"
  end=${EPOCHREALTIME/[.,]/}
  lines=$(wc -l <"$output")
  [ "$lines" -eq 5 ] || { echo "compare: ${labels[$1]} printed $lines lines, not 5" >&2; exit 1; }
  echo $((10#$end - 10#$start))
}

# Peak resident set of one run, in kilobytes.
peak_rss() {
  local path=${forced_paths[$1]}
  ERILAISETRIVIT_OVERLAP_PATH=${path:-} /usr/bin/time -f %M -o "$output" "${programs[$1]}" >/dev/null
  tail -n 1 "$output"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

declare -A times=()
for e in "${!labels[@]}"; do timed_run "$e" >/dev/null; done
for ((i = 0; i < runs; i++)); do
  for e in "${!labels[@]}"; do times[$e]+="$(timed_run "$e") "; done
done
rss=()
for e in "${!labels[@]}"; do
  rss[e]=$(for ((i = 0; i < 5; i++)); do peak_rss "$e"; done | sort -n | tail -n 1)
done

{
  for e in "${!labels[@]}"; do
    printf '%s\t%s\t%s\t%s\n' "${labels[$e]}" "$(printf '%s\n' ${times[$e]} | median)" "${rss[$e]}" "${targets[$e]}"
  done
} | awk -F '\t' -v runs="$runs" -v y="$yardstick_entry" -v max_m="$kMaxMemoryRatio" '
  { label[NR - 1] = $1; us[NR - 1] = $2; kb[NR - 1] = $3; target[NR - 1] = $4 }
  END {
    printf "%d runs each, in turn, after a warm-up; peak memory is the largest of 5 runs\n", runs
    printf "%-26s %12s %7s %9s %10s %7s %9s\n", "", "median wall", "ratio", "target", "peak RSS", "ratio", "target"
    missed = 0
    for (e = 0; e < NR; e++) {
      tr = us[e] / us[y]; mr = kb[e] / kb[y]
      time_verdict = ""; memory_verdict = ""
      if (target[e] != "" && target[e] != "-") {
        time_verdict = (tr <= target[e] ? "<=" : "OVER ") target[e] "x"
        if (tr > target[e]) missed = 1
      }
      if (e == 0) {
        memory_verdict = (mr <= max_m ? "<=" : "OVER ") max_m "x"
        if (mr > max_m) missed = 1
      }
      printf "%-26s %9.2f ms %6.2fx %9s %7d KB %6.2fx %9s\n", label[e], us[e] / 1000, tr, time_verdict, kb[e], mr, memory_verdict
    }
    exit missed
  }'
