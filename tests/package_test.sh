#!/bin/sh
# The Debian package as a user gets it: CPack makes it from the build tree in
# a scratch directory, lintian finds nothing to say about it (no error, no
# warning), dpkg -x unpacks it into a scratch root, where each command has its
# manual page, and both executables run from there.
# Usage: package_test.sh BUILD-DIRECTORY
set -eu
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"

fail() {
  echo "package_test: $*" >&2
  exit 1
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B out >cpack.log 2>&1 || fail "cpack failed: $(cat cpack.log)"
deb=$(echo out/erilaisetrivit_*.deb)
lintian --fail-on error,warning "$deb" >lintian.log 2>&1 || fail "lintian: $(cat lintian.log)"
dpkg -x "$deb" root
[ -f root/usr/share/doc/erilaisetrivit/README.md ] || fail "no README in share/doc/erilaisetrivit"
# A page that man itself reads, with the command's name and its own text.
for command in erilaisetrivit erilaisetrivit-rivit; do
  page=root/usr/share/man/man1/$command.1.gz
  [ -f "$page" ] || fail "no manual page $page (help2man makes the companion's: scripts/setup.sh package)"
  gzip -dc "$page" | grep -q "^\.TH \"*$(echo "$command" | tr a-z A-Z)\"* \"*1\"* " || fail "$page: no .TH line for $command"
done
gzip -dc root/usr/share/man/man1/erilaisetrivit-rivit.1.gz | grep -q -- '\\-\\-check' ||
  fail "the companion's manual page does not list --check"

root/usr/bin/erilaisetrivit >program.out || fail "erilaisetrivit ended with status $?"
grep -c '^Vahintaan [1-5] saa noin [0-9]*:lla rivilla$' program.out | grep -qx 5 || fail "erilaisetrivit: $(cat program.out)"

root/usr/bin/erilaisetrivit-rivit --seed 1 --counts >counts.out
printf 'Vahintaan %s saa noin %s:lla rivilla\n' 1 4 2 9 3 44 4 306 5 2835 | cmp -s - counts.out ||
  fail "erilaisetrivit-rivit --seed 1 --counts: $(cat counts.out)"
root/usr/bin/erilaisetrivit-rivit --seed 1 --phase 3 | root/usr/bin/erilaisetrivit-rivit --check >check.out
[ "$(head -n 2 check.out)" = "$(printf 'rows: 44\nmost shared: 2')" ] || fail "the check: $(cat check.out)"
