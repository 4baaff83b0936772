#!/usr/bin/env python3
"""erilaisetrivit-rivit with real games, against models written here in plain
Python: the tier odds of one line of every built-in game by the closed
hypergeometric formula, a set's tier odds by going through every outcome of
small games of each kind, what a draw gave counted by hand, a system
expanded by itertools, the expected return summed in fractions, and every
figure a player reads (share, "1 in X", prizes) parsed back from the text
and compared with the counts. Bad games, draws, lines and prizes end with
status 2 and one line.

Usage: rivit_games_test.py PATH-TO-erilaisetrivit-rivit
"""

import csv
import io
import itertools
import json
import os
import random
import re
import subprocess
import sys
import tempfile
import unittest
from fractions import Fraction
from math import comb

COMMAND = None


def run(*arguments, stdin=None):
    return subprocess.run([COMMAND, *arguments], input=stdin, capture_output=True, text=True)


def rivit(*arguments, stdin=None):
    result = run(*arguments, stdin=stdin)
    if result.returncode != 0:
        raise AssertionError(f"{arguments}: status {result.returncode}: {result.stderr}")
    return result.stdout


class Scratch:
    """Files of the test's own, removed at the end."""

    def __init__(self):
        self.folder = tempfile.TemporaryDirectory()

    def __del__(self):
        self.folder.cleanup()

    def file(self, name, text):
        path = os.path.join(self.folder.name, name)
        with open(path, "w", encoding="utf-8") as out:
            out.write(text)
        return path


def game_of(json_game):
    """A game file's dict in the form the models use."""
    main = json_game["main"]
    second = json_game.get("second", {"numbers": 0, "drawn": 0})
    return {
        "N": main["numbers"], "D": main["drawn"], "B": main.get("bonus", 0),
        "n": second["numbers"], "k": second["drawn"], "L": json_game.get("line", main["drawn"]),
        "tiers": json_game["tiers"],
    }


def first_tier(game, m, b, s):
    for index, tier in enumerate(game["tiers"]):
        if ("main" not in tier or tier["main"] == m) and ("bonus" not in tier or tier["bonus"] == b) and \
                ("bonus_at_least" not in tier or b >= tier["bonus_at_least"]) and \
                ("second" not in tier or tier["second"] == s):
            return index
    return None


def one_line_counts(game):
    """One line's outcomes by tier, by the closed formula."""
    N, D, B, n, k, L = game["N"], game["D"], game["B"], game["n"], game["k"], game["L"]
    counts = [0] * (len(game["tiers"]) + 1)
    for m in range(0, min(L, D) + 1):
        main = comb(L, m) * comb(N - L, D - m)
        for b in range(0, min(B, L - m) + 1):
            bonus = comb(L - m, b) * comb(N - D - (L - m), B - b)
            for s in range(0, k + 1):
                second = comb(k, s) * comb(n - k, k - s) if n else 1
                tier = first_tier(game, m, b, s)
                counts[len(game["tiers"]) if tier is None else tier] += main * bonus * second
    return counts


def every_outcome_counts(game, lines):
    """A set's outcomes by best tier, going through every outcome."""
    N, D, B, n, k = game["N"], game["D"], game["B"], game["n"], game["k"]
    none = len(game["tiers"])
    counts = [0] * (none + 1)
    seconds = list(itertools.combinations(range(1, n + 1), k)) if n else [()]
    for draw in itertools.combinations(range(1, N + 1), D):
        drawn = set(draw)
        rest = [x for x in range(1, N + 1) if x not in drawn]
        for bonus in itertools.combinations(rest, B):
            for second in seconds:
                best = none
                for main_numbers, second_numbers in lines:
                    tier = first_tier(game, len(drawn & main_numbers), len(set(bonus) & main_numbers),
                                      len(set(second) & second_numbers))
                    if tier is not None:
                        best = min(best, tier)
                counts[best] += 1
    return counts


def line_text(main_numbers, second_numbers):
    text = " ".join(map(str, sorted(main_numbers)))
    return text + (" + " + " ".join(map(str, sorted(second_numbers))) if second_numbers else "")


def random_line(game, rng):
    main_numbers = set(rng.sample(range(1, game["N"] + 1), game["L"]))
    second_numbers = set(rng.sample(range(1, game["n"] + 1), game["k"])) if game["n"] else set()
    return main_numbers, second_numbers


class ReadsFigures:
    """Every share and "1 in X" of an odds table, checked against its counts."""

    def check_table(self, text, counts, outcomes):
        rows = {}
        for line in text.splitlines():
            match = re.match(r"^(.*?)\s+(\d+)\s+(\d+\.\d{6}) %\s+(1 in (\d+\.\d\d)|never)$", line)
            if match:
                rows[match.group(1).strip()] = match
        self.assertEqual(len(rows), len(counts), text)
        for name, count in counts.items():
            match = rows[name]
            self.assertEqual(int(match.group(2)), count, name)
            self.assertEqual(match.group(3), "%.6f" % (100 * count / outcomes), name)
            if count == 0:
                self.assertEqual(match.group(4), "never", name)
            else:
                self.assertEqual(match.group(5), "%.2f" % (outcomes / count), name)


class BuiltInGames(unittest.TestCase, ReadsFigures):
    def test_one_line_of_every_game_has_the_closed_formulas_odds_in_every_format(self):
        rng = random.Random(2026)
        names = [line.split("\t")[0] for line in rivit("--games").splitlines()]
        self.assertIn("lotto", names)
        self.assertIn("eurojackpot", names)
        scratch = Scratch()
        for name in names:
            with self.subTest(game=name):
                spots = ["--length", "7"] if name == "keno" else []
                described = json.loads(rivit("--game", name, *spots, "--describe"))
                game = game_of(described)
                line = random_line(game, rng)
                lines = scratch.file(name, line_text(*line) + "\n")
                counts = one_line_counts(game)
                outcomes = sum(counts)
                odds = json.loads(rivit("--game", name, *spots, "--odds", lines, "--format", "json"))
                self.assertEqual(odds["outcomes"], outcomes)
                self.assertEqual([t["outcomes"] for t in odds["tiers"]], counts[:-1])
                self.assertEqual(odds["none"], counts[-1])
                self.assertEqual(odds["one_line"]["tiers"], odds["tiers"])
                text = rivit("--game", name, *spots, "--odds", lines)
                named = {t["name"]: c for t, c in zip(described["tiers"], counts)}
                named["no prize"] = counts[-1]
                named["any prize"] = outcomes - counts[-1]
                self.check_table(text, named, outcomes)
                records = list(csv.DictReader(io.StringIO(rivit("--game", name, *spots, "--odds", lines,
                                                                "--format", "csv"))))
                self.assertEqual([int(r["outcomes"]) for r in records], list(named.values()))
                for record in records:
                    count = int(record["outcomes"])
                    self.assertEqual(record["percent"], "%.6f" % (100 * count / outcomes))
                    self.assertEqual(record["one_in"], "%.2f" % (outcomes / count) if count else "")

    def test_the_operators_figures_for_one_line(self):
        scratch = Scratch()
        lotto = json.loads(rivit("--game", "lotto", "--odds", scratch.file("l", "1 2 3 4 5 6 7\n"),
                                 "--format", "json"))
        self.assertEqual(lotto["outcomes"], 615237480)
        six_plus_one = next(t for t in lotto["tiers"] if t["name"] == "6+1")
        self.assertEqual(six_plus_one["outcomes"], 231)
        text = rivit("--game", "lotto", "--odds", scratch.file("l", "1 2 3 4 5 6 7\n"))
        self.assertIn("1 in 2663365.71", text)
        euro = json.loads(rivit("--game", "eurojackpot", "--odds", scratch.file("e", "1 2 3 4 5 + 1 2\n"),
                                "--format", "json"))
        self.assertEqual(euro["outcomes"], 139838160)
        self.assertEqual(next(t for t in euro["tiers"] if t["name"] == "5+1")["outcomes"], 20)


class SmallGames(unittest.TestCase, ReadsFigures):
    """Game files of each kind, small enough to go through every outcome."""

    GAMES = {
        "bonus": {"name": "small bonus", "main": {"numbers": 11, "drawn": 4, "bonus": 1},
                  "tiers": [{"name": "4", "main": 4}, {"name": "3+1", "main": 3, "bonus": 1},
                            {"name": "3", "main": 3}, {"name": "2+1", "main": 2, "bonus_at_least": 1}]},
        "supplementaries": {"name": "small supps", "main": {"numbers": 12, "drawn": 4, "bonus": 2},
                            "tiers": [{"name": "4", "main": 4}, {"name": "3+S", "main": 3, "bonus_at_least": 1},
                                      {"name": "3", "main": 3}, {"name": "1+SS", "main": 1, "bonus": 2}]},
        "second drum": {"name": "small drums", "main": {"numbers": 10, "drawn": 3},
                        "second": {"numbers": 5, "drawn": 2},
                        "tiers": [{"name": "3+2", "main": 3, "second": 2}, {"name": "2+2", "main": 2, "second": 2},
                                  {"name": "3", "main": 3}, {"name": "0+2", "main": 0, "second": 2},
                                  {"name": "2+1", "main": 2, "second": 1}]},
        "keno": {"name": "small keno", "main": {"numbers": 14, "drawn": 5}, "line": 3,
                 "tiers": [{"name": "3", "main": 3}, {"name": "2", "main": 2}, {"name": "0", "main": 0}]},
    }

    def test_a_sets_tier_odds_are_those_of_every_outcome(self):
        rng = random.Random(7)
        scratch = Scratch()
        for kind, described in self.GAMES.items():
            game = game_of(described)
            game_file = scratch.file(kind + ".json", json.dumps(described))
            for size in (1, 2, 5):
                with self.subTest(game=kind, lines=size):
                    lines = [random_line(game, rng) for _ in range(size)]
                    lines_file = scratch.file("lines", "".join(line_text(*line) + "\n" for line in lines))
                    counts = every_outcome_counts(game, lines)
                    odds = json.loads(rivit("--game", game_file, "--odds", lines_file, "--format", "json"))
                    self.assertEqual([t["outcomes"] for t in odds["tiers"]] + [odds["none"]], counts)
                    named = {t["name"]: c for t, c in zip(described["tiers"], counts)}
                    named["no prize"] = counts[-1]
                    named["any prize"] = sum(counts[:-1])
                    self.check_table(rivit("--game", game_file, "--odds", lines_file), named, sum(counts))


class Draws(unittest.TestCase):
    def test_a_draw_gives_each_lines_tier_as_counted_by_hand(self):
        scratch = Scratch()
        lines = scratch.file("lines", "1 2 3 4 5 6 7\n3 7 12 19 22 31 40\n8 9 10 11 13 14 15\n38 5 2 1 9 10 11\n")
        result = json.loads(rivit("--game", "lotto", "--check", lines, "--draw", "3 7 12 19 22 31 38 + 40",
                                  "--format", "json"))
        # Line 1 holds 3 and 7: 2 right. Line 2 holds six of the draw and the
        # extra number 40: 6+1. Line 3 none. Line 4 holds 38 only.
        self.assertEqual([(line["main"], line["bonus"], line["tier"]) for line in result["lines"]],
                         [(2, 0, None), (6, 1, "6+1"), (0, 0, None), (1, 0, None)])
        self.assertEqual({t["name"]: t["lines"] for t in result["tiers"] if t["lines"]}, {"6+1": 1})

    def test_a_file_of_draws_gives_each_and_the_totals(self):
        scratch = Scratch()
        lines = scratch.file("lines", "1 2 3 4 5 + 1 2\n10 20 30 40 50 + 11 12\n")
        draws = scratch.file("draws", "2026-11-28 1 2 3 4 5 + 1 3\n# a comment\n2026-12-05 1 2 3 10 20 + 11 12\n")
        result = json.loads(rivit("--game", "eurojackpot", "--check", lines, "--draws", draws, "--format", "json"))
        self.assertEqual([d["date"] for d in result["draws"]], ["2026-11-28", "2026-12-05"])
        self.assertEqual([[l["tier"] for l in d["lines"]] for d in result["draws"]],
                         [["5+1", None], ["3+0", "2+2"]])
        self.assertEqual({t["name"]: t["lines"] for t in result["tiers"] if t["lines"]},
                         {"5+1": 1, "3+0": 1, "2+2": 1})

    def test_a_system_stands_for_every_line_it_holds(self):
        scratch = Scratch()
        system = list(range(1, 10))
        lines = scratch.file("system", " ".join(map(str, system)) + "\n")
        draw = [1, 2, 3, 4, 5, 20, 21]
        extra = 9
        expected = {}
        game = game_of(json.loads(rivit("--game", "lotto", "--describe")))
        for line in itertools.combinations(system, 7):
            tier = first_tier(game, len(set(line) & set(draw)), int(extra in line), 0)
            if tier is not None:
                name = game["tiers"][tier]["name"]
                expected[name] = expected.get(name, 0) + 1
        result = json.loads(rivit("--game", "lotto", "--system", "--check", lines, "--draw",
                                  " ".join(map(str, draw)) + " + " + str(extra), "--format", "json"))
        self.assertEqual(result["lines"][0]["lines"], comb(9, 7))
        self.assertEqual({t["name"]: t["lines"] for t in result["tiers"] if t["lines"]}, expected)
        count = json.loads(rivit("--game", "lotto", "--system", "--check", lines, "--price", "1.00",
                                 "--format", "json"))
        self.assertEqual((count["lines"], count["cost"]), (36, "36.00"))


class ExpectedReturn(unittest.TestCase):
    def test_the_expected_prize_is_the_sum_over_tiers_to_the_cent(self):
        scratch = Scratch()
        lines = scratch.file("lines", "".join(f"{i} {i + 10} {i + 20} {i + 30} {i + 40} + 1 {i % 11 + 2}\n"
                                              for i in range(1, 6)))
        prizes = {"5+2": "1000000", "3+1": "15.40", "2+1": "8.30"}
        arguments = ["--game", "eurojackpot", "--odds", lines, "--price", "2.00", "--format", "json"]
        for tier, amount in prizes.items():
            arguments += ["--prize", f"{tier}={amount}"]
        odds = json.loads(rivit(*arguments))
        one_line = odds["one_line"]
        exact = Fraction(0)
        for tier in one_line["tiers"]:
            if "prize" in tier:
                exact += Fraction(tier["outcomes"]) * Fraction(tier["prize"]) * 100
        exact = exact * 5 / one_line["outcomes"]
        cents = int(exact) + (1 if exact - int(exact) >= Fraction(1, 2) else 0)
        self.assertEqual(odds["expected"]["prize"], f"{cents // 100}.{cents % 100:02d}")
        self.assertEqual(odds["expected"]["cost"], "10.00")
        self.assertAlmostEqual(odds["expected"]["per_unit"], float(exact / 1000), places=4)
        for tier in odds["tiers"]:
            if tier["name"] in prizes:
                self.assertEqual(Fraction(tier["prize"]), Fraction(prizes[tier["name"]]))

    def test_prizes_whose_sums_pass_64_bits_stay_exact(self):
        # A billion for "2" in SuperEnalotto: 2 431 171 260 outcomes times
        # 10^11 cents is past 2^64.
        scratch = Scratch()
        line = scratch.file("line", "1 2 3 4 5 6\n")
        odds = json.loads(rivit("--game", "superenalotto", "--odds", line, "--prize", "2=1000000000",
                                "--prize", "3=999999999.99", "--format", "json"))
        exact = Fraction(0)
        for tier in odds["one_line"]["tiers"]:
            if "prize" in tier:
                exact += Fraction(tier["outcomes"]) * Fraction(tier["prize"]) * 100
        exact /= odds["one_line"]["outcomes"]
        cents = int(exact) + (1 if exact - int(exact) >= Fraction(1, 2) else 0)
        self.assertEqual(odds["expected"]["prize"], f"{cents // 100}.{cents % 100:02d}")


class GameWheels(unittest.TestCase):
    """Wheels of a game's main drum past 64 numbers, searched and checked as
    any other, their guarantee checked here over every set of the pool."""

    @staticmethod
    def failing_sets(rows, pool, right, if_drawn):
        return [s for s in itertools.combinations(sorted(pool), if_drawn)
                if not any(len(set(s) & row) >= right for row in rows)]

    def test_a_powerball_wheel_of_numbers_past_64_keeps_its_guarantee(self):
        pool = set(range(55, 70))
        wheel = rivit("--game", "powerball", "--wheel", "--pool", "55-69", "--guarantee", "3", "--if", "4",
                      "--seed", "1", "--steps", "3000")
        rows = [set(map(int, line.split())) for line in wheel.splitlines()]
        self.assertTrue(all(len(row) == 5 and row <= pool for row in rows), wheel)
        self.assertEqual(self.failing_sets(rows, pool, 3, 4), [])
        scratch = Scratch()
        rows_file = scratch.file("wheel", wheel)
        check = rivit("--game", "powerball", "--check", rows_file, "--pool", "55-69", "--guarantee", "3", "--if", "4")
        self.assertIn("guarantee: 3 if 4 on 15 numbers: holds", check)
        # A wider pool than the wheel's: the check fails, and its example is
        # a set of the real numbers that no row meets in 3.
        wider = set(range(50, 70))
        failing = self.failing_sets(rows, wider, 3, 4)
        result = run("--game", "powerball", "--check", rows_file, "--pool", "50-69", "--guarantee", "3", "--if", "4",
                     "--format", "json")
        self.assertEqual(result.returncode, 1, result)
        guarantee = json.loads(result.stdout)["guarantee"]
        self.assertEqual((guarantee["failing_sets"], guarantee["holds"]), (len(failing), False))
        self.assertEqual(tuple(guarantee["example"]), failing[0])


class Refusals(unittest.TestCase):
    def expect_refused(self, arguments, message, stdin=None):
        result = run(*arguments, stdin=stdin)
        self.assertEqual(result.returncode, 2, result)
        self.assertEqual(result.stdout, "")
        self.assertRegex(result.stderr, "^erilaisetrivit-rivit: " + message + "\n$")

    def test_bad_games_draws_lines_and_prizes(self):
        scratch = Scratch()
        lotto_line = scratch.file("lotto", "1 2 3 4 5 6 7\n")
        self.expect_refused(["--game", "lotot", "--odds", lotto_line], ".*lotto.*eurojackpot.*")
        self.expect_refused(["--game", "7/40+x", "--odds", lotto_line], ".*7/40\\+x.*")
        self.expect_refused(["--game", scratch.file("bad.json", "{\"main\": {\"numbers\": 40}"), "--odds",
                             lotto_line], ".*bad.json.*")
        self.expect_refused(["--game", "lotto", "--odds", lotto_line, "--prize", "8=10"], ".*no tier \"8\".*")
        self.expect_refused(["--game", "lotto", "--check", lotto_line, "--draw", "1 2 3 4 5 6 + 7"], ".*draw.*")
        self.expect_refused(["--game", "lotto", "--check", scratch.file("plus", "1 2 3 4 5 6 7 + 8\n")],
                            ".*plus:1: .*")
        self.expect_refused(["--game", "lotto", "--system", "--check",
                             scratch.file("big", " ".join(map(str, range(1, 41))) + "\n")],
                            "a system of 18 643 560 lines: at most 1 000 000")


if __name__ == "__main__":
    COMMAND = sys.argv.pop(1)
    unittest.main()
