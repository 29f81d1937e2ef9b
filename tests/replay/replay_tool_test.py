#!/usr/bin/python3
"""torvane-replay as its users meet it: failures named, with file and line, leaving every file as it was;
Escape ending the run, long frames capped, non-finite state caught, a car file checked and driven, seeded runs
repeatable, scripted drives recorded and checked, screenshots written.

    replay_tool_test.py REPLAY
"""
import math
import os
import re
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import harness  # noqa: E402
from PIL import Image  # noqa: E402

SHIPPED_CAR = os.path.join(harness.SOURCE, "game", "cars", "car.toml")


class ReplayTool(harness.TestCase):
    def run_tool(self, *args, status=0, drawn=False):
        return self.ran([harness.ARGS.replay, *args], status, drawn, cwd=self.scratch)

    def rows(self, *args):
        """The data rows of a sound run's telemetry on stdout."""
        return harness.read_csv(self.run_tool(*args, "--csv", "-").stdout)[1]

    def test_failures_are_named_and_replace_no_file(self):
        files = {"bad.keys": "1 10 Up\n# fine\n3 4 Upp\n", "prev.csv": "previous work\n", "my.keys": "1 3 Up\n"}
        for name, text in files.items():
            self.write(name, text)
        cases = [(["--keys", "bad.keys"], 2, "bad.keys:3: unknown key 'Upp'"),
                 (["--keys", "missing.keys"], 2, "missing.keys: cannot be read"),
                 (["--frames", "3", "--turbo"], 2, "unknown option '--turbo'"),
                 (["--frames", "3", "--data", "no-such-folder"], 2, "no-such-folder: cannot enter the data folder"),
                 (["--keys", "my.keys", "--csv", "prev.csv", "--data", "/nonexistent"], 2, "/nonexistent"),
                 (["--keys", "my.keys", "--csv", "prev.csv", "--frames", "x"], 2, "--frames"),
                 (["--keys", "my.keys", "--csv", "my.keys"], 2, "my.keys: is an input of the run, not overwritten"),
                 (["--frames", "1", "--csv", "no-such-folder/run.csv"], 1, "no-such-folder/run.csv: cannot be written")]
        for args, status, message in cases:
            self.assertIn(message, self.run_tool("--no-render", *args, status=status).stderr)
        self.assertEqual({name: self.read(name) for name in os.listdir(self.scratch)}, files, "no temporary left")

    def test_a_data_folder_lacking_its_level_file_drives_without_the_city(self):
        for name, cause in (("missing", "fichier introuvable"), ("folder", "pas un fichier ordinaire")):
            data = self.path(name)
            os.makedirs(os.path.join(data, "cars"))
            shutil.copy(SHIPPED_CAR, os.path.join(data, "cars"))
            os.makedirs(os.path.join(data, "maps", "city.ldo") if name == "folder" else os.path.join(data, "maps"))
            drive = self.run_tool("--frames", "3", "--no-render", "--data", data)
            self.assertIn("maps/city.ldo : " + cause, drive.stderr)
        refused = self.run_tool("--frames", "3", "--no-render", "--data", ".", status=2)
        self.assertIn(": no maps/, objets/ or cars/ in it (--data)", refused.stderr)

    def test_escape_ends_the_run_after_its_frame(self):
        self.write("quit.keys", "1 10 Up\n4 4 Escape\n")
        rows = self.rows("--keys", "quit.keys", "--no-render")
        self.assertEqual([row[0] for row in rows], ["0", "1", "2", "3", "4"])
        self.assertEqual(rows[4][2], "1 200")

    def test_check_finite_stops_at_the_first_bad_frame(self):
        self.write("up.keys", "1 20 Up\n")
        args = ["--keys", "up.keys", "--no-render", "--dt", "1e6", "--no-dt-cap", "--csv", "-"]
        self.assertIn(",nan,", self.run_tool(*args).stdout)
        checked = self.run_tool(*args, "--check-finite", status=3)
        header, rows = harness.read_csv(checked.stdout)
        named = re.search(r"frame %s: ([a-zA-Z.0-9]+) is (-?inf|-?nan)$" % rows[-1][0], checked.stderr, re.M)
        finite = [[math.isfinite(float(value)) for value in row[3:]] for row in rows[-2:]]  # the state after keys
        self.assertTrue(named and all(finite[0]) and finite[1].index(False) == header.index(named.group(1)) - 3,
                        checked.stderr)

    def test_long_frames_are_simulated_as_a_fortieth_of_a_second(self):
        # Into the north wall and held there, steering: at half a second a frame,
        # uncapped, the car passes through the wall and never comes back.
        self.write("walls.keys", "1 1200 Up\n400 700 Right\n")
        run = self.run_tool("--keys", "walls.keys", "--no-render", "--dt", "0.5", "--check-finite", "--csv", "-")
        header, rows = harness.read_csv(run.stdout)
        self.assertEqual(len(rows), 1201)
        self.assertEqual({row[1] for row in rows[1:]}, {"0.0250000004"})
        x, z = header.index("position.x"), header.index("position.z")
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
        drive = ["--keys", "up.keys", "--no-render", "--car"]
        bad = self.run_tool(*drive, "bad.toml", status=2)
        self.assertIn("bad.toml:%d: tyres.grip_factor: 0 is outside (0, 100]" % line, bad.stderr)
        self.assertNotEqual(self.rows(*drive, "slippery.toml")[-1], self.rows(*drive, SHIPPED_CAR)[-1])
        self.assertIn("# car: slippery.toml fnv1a64:", self.run_tool(*drive, "slippery.toml", "--csv", "-").stdout)

    def test_seeded_random_drives_repeat_with_frame_times_across_their_range(self):
        args = ["--random-keys", "--frames", "300", "--dt-range", "1/240", "1/20", "--no-dt-cap", "--no-render"]
        first = self.rows(*args, "--seed", "5")
        self.assertEqual(first, self.rows(*args, "--seed", "5"))
        self.assertNotEqual(first, self.rows(*args, "--seed", "6"))
        self.assertEqual(len(first), 301)
        times = sorted(float(row[1]) for row in first[1:])
        self.assertTrue(1 / 240 <= times[0] < 0.0045 and 0.049 < times[-1] <= 0.0500000008, (times[0], times[-1]))

    def test_a_recorded_scripted_drive_replays_identically(self):
        self.write("turn.keys", "1 400 Up\n100 300 Right\n250 260 F3\n")
        for args in (["--keys", "turn.keys"], ["--random-keys", "--frames", "500", "--dt-range", "1/240", "1/20"]):
            driven = self.rows(*args, "--no-render", "--record", "drive.tvr")
            checked = self.run_tool("--replay", "drive.tvr", "--no-render")
            self.assertEqual(checked.stderr, "")
            self.assertRegex(checked.stdout, r"^(400|500) frames, identical\n$")
            self.assertEqual(self.rows("--replay", "drive.tvr", "--no-render"), driven, args)
        refused = [(["--replay", "drive.tvr", "--record", "again.tvr"], "--replay and --record exclude each other"),
                   (["--keys", "turn.keys", "--record", "turn.keys"], "turn.keys: is an input of the run"),
                   (["--random-keys", "--frames", "4194305", "--record", "long.tvr"], "at most 4194304 frames")]
        for args, message in refused:
            self.assertIn(message, self.run_tool("--no-render", *args, status=2).stderr)

    def test_screenshots_show_the_scene_and_never_replace_an_input(self):
        self.write("up.keys", "1 4 Up\n")
        self.run_tool("--keys", "up.keys", "--png", "shot%03d.png", "--png-every", "2", drawn=True)
        self.assertEqual(sorted(os.listdir(self.scratch)), ["shot002.png", "shot004.png", "up.keys"])
        with Image.open(self.path("shot004.png")) as image:
            self.assertEqual(image.size, (800, 600))
            self.assertGreater(len(image.getcolors(800 * 600)), 100)
        # A series whose fourth frame would be the key script keeps its second as it was.
        self.write("shot002.png", "old")
        self.write("shot004.png", "1 4 Up\n")
        self.run_tool("--keys", "shot004.png", "--png", "shot%03d.png", "--png-every", "2", status=2)
        self.assertEqual([self.read("shot002.png"), self.read("shot004.png")], ["old", "1 4 Up\n"])
        self.assertEqual(sorted(os.listdir(self.scratch)), ["shot002.png", "shot004.png", "up.keys"], "a temporary left")


if __name__ == "__main__":
    harness.main("replay")
