#!/usr/bin/env bash
# scripts/memcheck.sh PROGRAM: runs the whole program under valgrind's
# memcheck, once with no arguments and once with a few awkward ones, and
# fails on any memory error, on any block definitely or indirectly lost, on
# an exit status other than 0, or on output other than the five report lines.
#
# The argument list is the one thing the program allocates for itself, and it
# must be freed on the normal end. A list left behind would still be
# reachable through the shared record, which valgrind does not call a leak,
# so the two runs must also leave exactly the same blocks in use at exit:
# what remains then cannot depend on the command line.
set -euo pipefail

program=$1
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

report_lines='^Vahintaan [1-5] saa noin [0-9]+:lla rivilla$'

# Runs the program under memcheck; prints the "in use at exit" summary.
memcheck() {
  local name=$1
  shift
  local status=0
  valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect \
    --log-file="$logs/$name.log" "$program" "$@" >"$logs/$name.out" || status=$?
  if [ "$status" -ne 0 ]; then
    cat "$logs/$name.log" >&2
    echo "memcheck: $name: exit status $status" >&2
    return 1
  fi
  if [ "$(grep -cE "$report_lines" "$logs/$name.out")" -ne 5 ] || [ "$(wc -l <"$logs/$name.out")" -ne 5 ]; then
    cat "$logs/$name.out" >&2
    echo "memcheck: $name: the output is not the five report lines" >&2
    return 1
  fi
  sed -n 's/^==[0-9]*== *in use at exit: //p' "$logs/$name.log"
}

bare=$(memcheck no-arguments)
with_arguments=$(memcheck arguments a 'two words' '' 'quote " and \ backslash' "$(printf 'h\xc3\xa4n \xff\xfe')" -x --help)
if [ "$bare" != "$with_arguments" ]; then
  echo "memcheck: in use at exit without arguments: $bare; with them: $with_arguments" >&2
  echo "memcheck: the argument list was not freed" >&2
  exit 1
fi
echo "memcheck: no errors, nothing lost, the argument list freed ($bare in use at exit either way)"
