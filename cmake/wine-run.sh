#!/bin/sh
# Runs a cross-built Windows program under wine, in a wine prefix of the build
# tree's own so that the user's ~/.wine is neither needed nor touched, and
# without wine's debug chatter on standard error, which the tests read.
# Usage: wine-run.sh LOADER WINEPREFIX PROGRAM.exe [ARGUMENT...]
# LOADER is wine's 32-bit or 64-bit loader (/usr/lib/wine/wine or wine64),
# named directly: the `wine` command would pick the 32-bit one whenever it is
# installed, even where the machine cannot run it.
# The prefix is made on first use; that start takes several seconds.
set -e
WINELOADER=$1
# Wine wants the prefix as an absolute path.
case $2 in
  /*) WINEPREFIX=$2 ;;
  *) WINEPREFIX=$PWD/$2 ;;
esac
shift 2
WINEDEBUG=-all
# Without a .NET runtime and an HTML engine no dialogue offers to fetch them.
WINEDLLOVERRIDES=mscoree,mshtml=
export WINELOADER WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
# Wine's helper processes outlive a program by seconds and would keep its
# output streams open, so that a test runner waiting for their end waits for
# them too. Started first on their own, with no streams to inherit, they are
# shared by the program instead. (This also makes a new prefix.)
"$WINELOADER" wineboot </dev/null >/dev/null 2>&1
exec "$WINELOADER" "$@"
