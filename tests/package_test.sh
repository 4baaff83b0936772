#!/bin/sh
# The Debian package as a user gets it: CPack makes it from the build tree in
# a scratch directory, dpkg -x unpacks it into a scratch root, and both
# executables run from there.
# Usage: package_test.sh BUILD-DIRECTORY
set -eu
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "package_test: $*" >&2
  exit 1
}

cd "$scratch"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >cpack.log 2>&1 || {
  cat cpack.log >&2
  fail "cpack failed"
}
set -- out/*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "not one .deb in: $(ls out)"
dpkg -x "$1" root

bin=root/usr/bin
[ -f root/usr/share/doc/erilaisetrivit/README.md ] || fail "no README in share/doc/erilaisetrivit"

"$bin/erilaisetrivit" >program.out || fail "erilaisetrivit ended with status $?"
[ "$(wc -l <program.out)" -eq 5 ] || fail "erilaisetrivit printed: $(cat program.out)"
grep -qx 'Vahintaan 5 saa noin [0-9]*:lla rivilla' program.out || fail "no fifth report line: $(cat program.out)"

"$bin/erilaisetrivit-rivit" --seed 1 --counts >counts.out
printf 'Vahintaan %s saa noin %s:lla rivilla\n' 1 4 2 9 3 44 4 306 5 2835 >counts.expected
cmp -s counts.out counts.expected || fail "erilaisetrivit-rivit --seed 1 --counts printed: $(cat counts.out)"

"$bin/erilaisetrivit-rivit" --seed 1 --phase 3 >rows.txt
"$bin/erilaisetrivit-rivit" --check rows.txt >check.out
grep -qx 'rows: 44' check.out && grep -qx 'most shared: [0-2]' check.out || fail "the check printed: $(cat check.out)"
