#!/usr/bin/python3
"""torvane-replay as its users meet it: bad input named with file and line,
Escape ending the run, long frames capped, non-finite state caught, seeded runs repeatable,
scripted drives recorded and checked, screenshots written. Usage: replay_tool_test.py REPLAY"""
import os
import subprocess
import sys
import tempfile
import unittest

from PIL import Image

TOOL = None
SHIPPED_CAR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "game", "cars", "car.toml")
NO_DEVICE = 4


class ReplayTool(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def write(self, name, text):
        with open(os.path.join(self.folder.name, name), "w") as f:
            f.write(text)

    def run_tool(self, *args):
        return subprocess.run([TOOL, *args], cwd=self.folder.name, capture_output=True, text=True)

    def rows(self, text):
        return [line.split(",") for line in text.splitlines() if not line.startswith("#")][1:]

    def test_bad_input_names_file_and_line_with_status_2(self):
        self.write("bad.keys", "1 10 Up\n# fine\n3 4 Upp\n")
        cases = [
            (["--keys", "bad.keys"], "bad.keys:3: unknown key 'Upp'"),
            (["--keys", "missing.keys"], "missing.keys: cannot be read"),
            (["--frames", "3", "--turbo"], "unknown option '--turbo'"),
            (["--frames", "3", "--data", "no-such-folder"], "no-such-folder: cannot enter the data folder"),
        ]
        for args, message in cases:
            result = self.run_tool(*args)
            self.assertEqual(result.returncode, 2, args)
            self.assertIn(message, result.stderr)
        result = self.run_tool("--frames", "1", "--no-render", "--csv", "no-such-folder/run.csv")
        self.assertEqual(result.returncode, 1)
        self.assertIn("no-such-folder/run.csv: cannot be written", result.stderr)

    def test_outputs_replace_their_files_only_when_the_run_ends_well(self):
        self.write("prev.csv", "previous work\n")
        self.write("my.keys", "1 3 Up\n")
        for args in (["--keys", "my.keys", "--csv", "prev.csv", "--data", "/nonexistent"],
                     ["--keys", "my.keys", "--csv", "my.keys"],
                     ["--keys", "my.keys", "--csv", "prev.csv", "--frames", "x"]):
            result = self.run_tool("--no-render", *args)
            self.assertEqual(result.returncode, 2, args)
        self.assertIn("my.keys: is an input of the run, not overwritten",
                      self.run_tool("--no-render", "--keys", "my.keys", "--csv", "my.keys").stderr)
        with open(os.path.join(self.folder.name, "prev.csv")) as f:
            self.assertEqual(f.read(), "previous work\n")
        with open(os.path.join(self.folder.name, "my.keys")) as f:
            self.assertEqual(f.read(), "1 3 Up\n")
        self.assertEqual(sorted(os.listdir(self.folder.name)), ["my.keys", "prev.csv"], "no temporary left")

        # A series of screenshots stopped by its fourth frame naming the key script keeps the old second.
        self.write("shot002.png", "old")
        self.write("shot004.png", "1 4 Up\n")
        result = self.run_tool("--keys", "shot004.png", "--png", "shot%03d.png", "--png-every", "2")
        if result.returncode == NO_DEVICE:
            self.skipTest("no OpenGL on SDL's offscreen driver")
        self.assertEqual(result.returncode, 2, result.stderr)
        with open(os.path.join(self.folder.name, "shot002.png")) as f:
            self.assertEqual(f.read(), "old")
        self.assertEqual(sorted(os.listdir(self.folder.name)), ["my.keys", "prev.csv", "shot002.png", "shot004.png"])

    def test_escape_ends_the_run_after_its_frame(self):
        self.write("quit.keys", "1 10 Up\n4 4 Escape\n")
        result = self.run_tool("--keys", "quit.keys", "--no-render", "--csv", "run.csv")
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(os.path.join(self.folder.name, "run.csv")) as f:
            rows = self.rows(f.read())
        self.assertEqual([row[0] for row in rows], ["0", "1", "2", "3", "4"])
        self.assertEqual(rows[4][2], '"1 200"')

    def test_check_finite_stops_at_the_first_bad_frame(self):
        self.write("up.keys", "1 20 Up\n")
        args = ["--keys", "up.keys", "--no-render", "--dt", "1e30", "--no-dt-cap", "--csv", "-"]
        unchecked = self.run_tool(*args)
        self.assertEqual(unchecked.returncode, 0)
        self.assertIn(",nan,", unchecked.stdout)
        checked = self.run_tool(*args, "--check-finite")
        self.assertEqual(checked.returncode, 3)
        self.assertRegex(checked.stderr, r"frame \d+: [a-zA-Z.0-9]+ is (-?inf|-?nan)")
        last_frame = self.rows(checked.stdout)[-1][0]
        self.assertIn(f"frame {last_frame}:", checked.stderr)

    def test_long_frames_are_simulated_as_a_fortieth_of_a_second(self):
        # Into the north wall and held there, steering: at half a second a frame,
        # uncapped, the car passes through the wall and never comes back.
        self.write("walls.keys", "1 1200 Up\n400 700 Right\n")
        result = self.run_tool("--keys", "walls.keys", "--no-render", "--dt", "0.5", "--check-finite", "--csv", "-")
        self.assertEqual(result.returncode, 0, result.stderr)
        header = [line for line in result.stdout.splitlines() if not line.startswith("#")][0].split(",")
        x, z = header.index("position.x"), header.index("position.z")
        rows = self.rows(result.stdout)
        self.assertEqual(len(rows), 1201)
        self.assertEqual({row[1] for row in rows[1:]}, {"0.0250000004"})
        # The arena's walls stand at x = +-181 and z = +-181.
        self.assertTrue(all(abs(float(row[x])) < 181 and abs(float(row[z])) < 181 for row in rows))
        self.assertLess(min(float(row[z]) for row in rows), -170)

    def test_car_file_is_checked_named_in_the_header_and_drives(self):
        with open(SHIPPED_CAR) as f:
            shipped = f.read()
        line = shipped[:shipped.index("\ngrip_factor")].count("\n") + 2
        self.write("bad.toml", shipped.replace("grip_factor = 1.688", "grip_factor = 0"))
        self.write("slippery.toml", shipped.replace("grip_factor = 1.688", "grip_factor = 0.8"))
        self.write("up.keys", "1 60 Up\n")
        bad = self.run_tool("--keys", "up.keys", "--no-render", "--car", "bad.toml")
        self.assertEqual(bad.returncode, 2)
        self.assertIn(f"bad.toml:{line}: tyres.grip_factor: 0 is outside (0, 100]", bad.stderr)
        runs = {}
        for car in ("slippery.toml", SHIPPED_CAR):
            result = self.run_tool("--keys", "up.keys", "--no-render", "--car", car, "--csv", "-")
            self.assertEqual(result.returncode, 0, result.stderr)
            runs[car] = result.stdout
        self.assertIn("# car: slippery.toml fnv1a64:", runs["slippery.toml"])
        self.assertNotEqual(self.rows(runs["slippery.toml"])[-1], self.rows(runs[SHIPPED_CAR])[-1])

    def test_seeded_random_drives_repeat(self):
        args = ["--random-keys", "--frames", "300", "--dt-range", "1/240", "1/20", "--no-render", "--csv", "-"]
        first = self.run_tool(*args, "--seed", "5")
        self.assertEqual(first.returncode, 0, first.stderr)
        self.assertEqual(first.stdout, self.run_tool(*args, "--seed", "5").stdout)
        self.assertNotEqual(first.stdout, self.run_tool(*args, "--seed", "6").stdout)
        frame_times = [float(row[1]) for row in self.rows(first.stdout)[1:]]
        self.assertEqual(len(frame_times), 300)
        self.assertTrue(all(1 / 240 - 1e-9 <= dt <= 1 / 20 + 1e-9 for dt in frame_times))

    def test_a_recorded_scripted_drive_replays_identically(self):
        self.write("turn.keys", "1 400 Up\n100 300 Right\n250 260 F3\n")
        for args in (["--keys", "turn.keys"], ["--random-keys", "--frames", "500", "--dt-range", "1/240", "1/20"]):
            driven = self.run_tool(*args, "--no-render", "--record", "drive.tvr", "--csv", "-")
            self.assertEqual(driven.returncode, 0, driven.stderr)
            checked = self.run_tool("--replay", "drive.tvr", "--no-render")
            self.assertEqual((checked.returncode, checked.stderr), (0, ""))
            self.assertRegex(checked.stdout, r"^(400|500) frames, identical\n$")
            replayed = self.run_tool("--replay", "drive.tvr", "--no-render", "--csv", "-")
            self.assertEqual(self.rows(replayed.stdout), self.rows(driven.stdout), args)
        refused = [(["--replay", "drive.tvr", "--record", "again.tvr"], "--replay and --record exclude each other"),
                   (["--keys", "turn.keys", "--record", "turn.keys"], "turn.keys: is an input of the run"),
                   (["--random-keys", "--frames", "4194305", "--record", "long.tvr"], "at most 4194304 frames")]
        for args, message in refused:
            result = self.run_tool("--no-render", *args)
            self.assertEqual(result.returncode, 2, args)
            self.assertIn(message, result.stderr)

    def test_screenshots_show_the_scene(self):
        self.write("up.keys", "1 4 Up\n")
        result = self.run_tool("--keys", "up.keys", "--png", "shot%03d.png", "--png-every", "2")
        if result.returncode == NO_DEVICE:
            self.skipTest("no OpenGL on SDL's offscreen driver")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(sorted(f for f in os.listdir(self.folder.name) if f.endswith(".png")),
                         ["shot002.png", "shot004.png"])
        image = Image.open(os.path.join(self.folder.name, "shot004.png"))
        self.assertEqual(image.size, (800, 600))
        self.assertGreater(len(image.getcolors(800 * 600)), 100)


if __name__ == "__main__":
    TOOL = os.path.abspath(sys.argv.pop(1))
    unittest.main()
