#!/bin/sh
# Stands in for wine where the build's probe found that the machine cannot
# run the program: says why, and exits with the status that CTest counts as
# a skipped test. Usage: skip-test.sh REASON PROGRAM [ARGUMENT...]
echo "skipped: $1"
exit 77
