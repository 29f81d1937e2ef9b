#!/usr/bin/python3
"""torvane-sweep as its users meet it: a grip sweep whose skidpad figure rises
with grip, the same table from one process, two, or the printed commands run
one by one, a refused variant kept as a row with its reason, and bad ranges
refused before anything runs. Usage: sweep_test.py REPLAY"""
import csv
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import harness  # noqa: E402

SWEEP = os.path.join(harness.SOURCE, "tools", "sweep.py")
CAR = os.path.join(harness.SOURCE, "game", "cars", "car.toml")


class Sweep(harness.TestCase):
    def sweep(self, name, *args, status=0):
        out = self.path(name)
        return self.ran([SWEEP, "--replay", harness.ARGS.replay, "--out", out, *args], status), out

    def table(self, out):
        return self.read(os.path.join(out, "sweep.csv"))

    def test_grip_sweep_the_same_from_one_process_two_and_the_printed_commands(self):
        ranges = (CAR, "tyres.grip_factor=1.2:2.4:3")
        tables = []
        for jobs in ("1", "2"):
            result, out = self.sweep(f"j{jobs}", *ranges, "-j", jobs)
            tables.append(self.table(out))
            self.assertTrue(os.path.getsize(os.path.join(out, "skidpad-lateral.png")) > 0)
        result, out = self.sweep("printed", *ranges, "--print-commands")
        commands = result.stdout.splitlines()
        self.assertEqual(len(commands), 3)
        for command in commands:
            subprocess.run(command, shell=True, check=True)
        self.ran([SWEEP, "--table", out])
        tables.append(self.table(out))
        self.assertEqual(tables[0], tables[1])
        self.assertEqual(tables[0], tables[2])
        rows = list(csv.DictReader(tables[0].splitlines()))
        self.assertEqual([row["tyres.grip_factor"] for row in rows], ["1.2", "1.8", "2.4"])
        lateral = [float(row["skidpad.lateral"]) for row in rows]
        self.assertTrue(lateral[0] < lateral[1] < lateral[2], lateral)
        self.assertEqual({row["raison"] for row in rows}, {""})

    def test_refused_variant_is_a_row_with_its_reason(self):
        result, out = self.sweep("refused", CAR, "tyres.grip_factor=-1:1.6:2", "body.mass=1000:1000:1")
        refused, kept = csv.DictReader(self.table(out).splitlines())
        self.assertEqual((refused["tyres.grip_factor"], refused["skidpad.lateral"]), ("-1", ""))
        self.assertIn("refusé : car.toml:48: tyres.grip_factor", refused["raison"])
        self.assertGreater(float(kept["skidpad.lateral"]), 100.0)
        self.assertEqual(kept["raison"], "")
        self.assertTrue(os.path.getsize(os.path.join(out, "step_steer-overshoot.png")) > 0)

    def test_bad_ranges_and_keys_are_refused_before_any_run(self):
        cases = [("tyres.grip_factor=1:2", "attendu TABLE.CLÉ=DÉBUT:FIN:NOMBRE"),
                 ("tyres.grip_factor=1:x:3", "DÉBUT et FIN sont des nombres"),
                 ("tyres.grip_factor=1:2:0", "NOMBRE de 1 à 1000"),
                 ("tyres.grip_factor=nan:2:3", "DÉBUT et FIN finis"),
                 ("tyres.grips=1:2:3", "pas de nombre tyres.grips"),
                 ("start=1:2:3", "attendu TABLE.CLÉ")]
        for text, message in cases:
            result, out = self.sweep("bad", CAR, text, status=2)
            self.assertIn(message, result.stderr, text)
            self.assertFalse(os.path.exists(out), text)
        os.makedirs(out)
        self.write(os.path.join(out, "sweep.json"),
                   '{"replay": "r", "data": null, "parameters": ["a.b"], "runs": [], "variants": [[1, 2]]}')
        self.assertIn("plan de balayage endommagé", self.ran([SWEEP, "--table", out], 2).stderr)


if __name__ == "__main__":
    harness.main("replay")
