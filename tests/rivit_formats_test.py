#!/usr/bin/env python3
"""erilaisetrivit-rivit's CSV and JSON read back by Python's own parsers, and
its --check reading standard input: the rows a seed gives must come back the
same in every format, sorted or not, and a check must stop at a bad line
without waiting for more input.

Usage: rivit_formats_test.py PATH-TO-erilaisetrivit-rivit
"""

import csv
import io
import json
import subprocess
import sys
import unittest

COMMAND = None
SEED = "20261208"


def rivit(*arguments, stdin=None):
    result = subprocess.run([COMMAND, *arguments], input=stdin, capture_output=True, text=True, check=False)
    if result.returncode != 0:
        raise AssertionError(f"{arguments}: status {result.returncode}: {result.stderr}")
    return result.stdout


def text_rows(*arguments):
    return [[int(n) for n in line.split(" ")] for line in rivit("--seed", SEED, *arguments).splitlines()]


class Formats(unittest.TestCase):
    def test_csv_and_json_hold_the_rows_of_the_text(self):
        for phase in ("1", "3", "5"):
            with self.subTest(phase=phase):
                rows = text_rows("--phase", phase)
                self.assertGreater(len(rows), 0)
                records = list(csv.reader(io.StringIO(rivit("--seed", SEED, "--phase", phase, "--format", "csv"))))
                self.assertEqual(records[0], [f"n{i}" for i in range(1, 8)])
                self.assertEqual([[int(n) for n in record] for record in records[1:]], rows)
                self.assertEqual(json.loads(rivit("--seed", SEED, "--phase", phase, "--format", "json")), rows)

    def test_sorted_sorts_each_row_in_every_format(self):
        rows = [sorted(row) for row in text_rows("--phase", "3")]
        self.assertEqual(text_rows("--phase", "3", "--sorted"), rows)
        self.assertEqual(json.loads(rivit("--seed", SEED, "--phase", "3", "--format", "json", "--sorted")), rows)

    def test_check_reads_the_commands_csv_from_standard_input(self):
        text = rivit("--seed", SEED, "--phase", "4")
        csv_text = rivit("--seed", SEED, "--phase", "4", "--format", "csv")
        report = rivit("--check", stdin=csv_text).splitlines()
        self.assertEqual(report[0], f"rows: {len(text.splitlines())}")
        self.assertEqual(report[1], "most shared: 3")
        # The header is line 1 of the CSV, so its pair sits one line lower.
        first, second = (int(n) for n in report[2].removeprefix("pair: lines ").split(" and "))
        self.assertEqual(rivit("--check", "-", stdin=text).splitlines()[2], f"pair: lines {first - 1} and {second - 1}")

    def test_check_stops_at_a_bad_line_without_waiting_for_more(self):
        with subprocess.Popen([COMMAND, "--check"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True) as child:
            child.stdin.write("1 2 3 4 5 6 7\n1 2 3\n")
            child.stdin.flush()
            # Standard input stays open: only a command that stops reading ends.
            try:
                status = child.wait(timeout=60)
            finally:
                child.stdin.close()
            self.assertEqual(status, 2)
            self.assertEqual(child.stdout.read(), "")
            self.assertEqual(child.stderr.read(), "erilaisetrivit-rivit: standard input:2: 3 numbers, a row has 7\n")


if __name__ == "__main__":
    COMMAND = sys.argv.pop(1)
    unittest.main()
