#!/usr/bin/env python3
"""erilaisetrivit-rivit's CSV and JSON read back by Python's own parsers, and
its --check reading standard input: the rows of a seed come back the same in
every format, sorted or not, and sorted in every format when asked, the check takes the command's own CSV, and it
stops at a bad line without waiting for more input.

Usage: rivit_formats_test.py PATH-TO-erilaisetrivit-rivit
"""

import csv
import io
import json
import subprocess
import sys
import unittest

COMMAND = None


def rivit(*arguments, stdin=None):
    result = subprocess.run([COMMAND, *arguments], input=stdin, capture_output=True, text=True, check=True)
    return result.stdout


class Formats(unittest.TestCase):
    def test_csv_and_json_hold_the_rows_of_the_text(self):
        for phase in ("1", "3", "5"):
            run = ("--seed", "20261208", "--phase", phase)
            rows = [[int(n) for n in line.split(" ")] for line in rivit(*run).splitlines()]
            records = list(csv.reader(io.StringIO(rivit(*run, "--format", "csv"))))
            self.assertEqual(records[0], [f"n{i}" for i in range(1, 8)])
            self.assertEqual([[int(n) for n in record] for record in records[1:]], rows)
            self.assertEqual(json.loads(rivit(*run, "--format", "json")), rows)
            ascending = [sorted(r) for r in rows]
            self.assertEqual(json.loads(rivit(*run, "--format", "json", "--sorted")), ascending)
            self.assertEqual(list(csv.reader(io.StringIO(rivit(*run, "--format", "csv", "--sorted"))))[1:],
                             [[str(n) for n in r] for r in ascending])
            self.assertEqual(rivit(*run, "--sorted"), "".join(" ".join(map(str, r)) + "\n" for r in ascending))

    def test_check_reads_standard_input_and_stops_at_a_bad_line(self):
        csv_text = rivit("--seed", "1", "--phase", "4", "--format", "csv")
        report = rivit("--check", stdin=csv_text).splitlines()
        self.assertEqual(report[:2], ["rows: 306", "most shared: 3"])
        with subprocess.Popen([COMMAND, "--check", "-"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True) as child:
            child.stdin.write("1 2 3 4 5 6 7\n1 2 3\n")
            child.stdin.flush()
            # Standard input stays open: only a command that stops reading ends.
            self.assertEqual(child.wait(timeout=60), 2)
            self.assertEqual(child.stderr.read(), "erilaisetrivit-rivit: standard input:2: 3 numbers, a row has 7\n")
            child.stdin.close()


if __name__ == "__main__":
    COMMAND = sys.argv.pop(1)
    unittest.main()
