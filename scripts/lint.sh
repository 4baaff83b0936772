#!/usr/bin/env bash
# scripts/lint.sh BUILD_DIR...: clang-tidy, with the checks of .clang-tidy,
# and cppcheck over every source in the compile_commands.json of each build
# directory (absolute, or relative to the top of the tree) that no earlier
# one listed; fails on any finding.
#
# Tests, test helpers and benchmarks are checked without the static analyzer,
# which spends half a minute on each file of expanded GoogleTest assertions,
# and without the performance checks that would flag what a test does on
# purpose: copying a value to show that the copy shares it, filling a vector
# in a loop.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

test_files='(_test\.cpp|/tests/[^/]*|/bench/[^/]*)$'
test_checks='-clang-analyzer-*,-performance-unnecessary-copy-initialization,-performance-inefficient-vector-operation,-performance-no-automatic-move'

# tidy BUILD FILES [OPTION...]: run-clang-tidy over the files listed in FILES,
# which it takes as regular expressions, so each is escaped and anchored.
tidy() {
  local build=$1 files=$2
  shift 2
  sed 's/[].[\*^$()+?{|]/\\&/g; s/.*/^&$/' "$files" >"$files.regex"
  [ -s "$files.regex" ] || return 0
  xargs -a "$files.regex" -d '\n' run-clang-tidy -quiet -j 2 -p "$build" "$@" >>"$logs/tidy" 2>&1
}

# Deliberate: fault_probe.cpp writes through a null pointer and divides by
# zero to make those faults happen.
cppcheck_suppressions=(
  --suppress='nullPointer:tests/fault_probe.cpp'
  --suppress='zerodiv:tests/fault_probe.cpp'
)

touch "$logs/seen" "$logs/tidy" "$logs/cppcheck"
status=0
for build in "$@"; do
  sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$build/compile_commands.json" | sort -u >"$logs/all"
  comm -23 "$logs/all" "$logs/seen" >"$logs/new"
  sort -u "$logs/seen" "$logs/new" -o "$logs/seen"
  [ -s "$logs/new" ] || continue

  grep -Ev "$test_files" "$logs/new" >"$logs/code" || true
  grep -E "$test_files" "$logs/new" >"$logs/tests" || true
  tidy "$build" "$logs/code" || status=1
  tidy "$build" "$logs/tests" -checks="$test_checks" || status=1

  # With the defines and include paths of the build, each source once.
  # cppcheck names the files relative to where it runs.
  mapfile -t filters < <(sed "s|^$root/||; s|^|--file-filter=|" "$logs/new")
  cppcheck --project="$build/compile_commands.json" "${filters[@]}" -j 2 --quiet \
    --enable=warning,performance,portability --library=googletest --inline-suppr --error-exitcode=1 \
    --template='{file}:{line}: {severity} ({id}): {message}' "${cppcheck_suppressions[@]}" \
    >>"$logs/cppcheck" 2>&1 || status=1
done

if [ "$status" -ne 0 ]; then
  grep -E '(error|warning):' "$logs/tidy" >&2 || true
  cat "$logs/cppcheck" >&2
  echo "lint: the findings above fail the check" >&2
  exit 1
fi
echo "lint: clang-tidy and cppcheck find nothing in $(wc -l <"$logs/seen") sources"
