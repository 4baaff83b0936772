#!/bin/sh
# Runs a cross-built Windows program under wine, in a wine prefix of the build
# tree's own so that the user's ~/.wine is neither needed nor touched, and
# without wine's debug chatter on standard error, which the tests read.
# Usage: wine-run.sh WINEPREFIX PROGRAM.exe [ARGUMENT...]
# The prefix is made on first use; that start takes several seconds.
set -e
WINEPREFIX=$1
shift
WINEDEBUG=-all
# Without a .NET runtime and an HTML engine no dialogue offers to fetch them.
WINEDLLOVERRIDES=mscoree,mshtml=
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
# Wine's helper processes outlive a program by seconds and would keep its
# output streams open, so that a test runner waiting for their end waits for
# them too. Started first on their own, with no streams to inherit, they are
# shared by the program instead. (This also makes a new prefix.)
wine wineboot </dev/null >/dev/null 2>&1
exec wine "$@"
