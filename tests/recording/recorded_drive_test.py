#!/usr/bin/python3
"""A drive played in the real game (its window on a private Xvfb server, keys typed as a player's) is recorded
and replayed by torvane-replay --replay with every state hash identical; a game killed while driving leaves a
.part in the recordings folder that replays up to its last flush, and that the next start renames into place; the
drive's sound renders to the same samples twice, and a game without an audio device runs silent and says so once.

    recorded_drive_test.py TORVANE TORVANE_REPLAY DATA_FOLDER
"""
import glob
import os
import pathlib
import re
import signal
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import harness  # noqa: E402
from game_window import GameWindow  # noqa: E402


class RecordedDrive(GameWindow):
    def drive(self):
        """Accelerate, steer, brake, pause and go on, reset, drive again."""
        desk = self.desktop
        self.focus_game()
        desk.hold("Up", 1.0)
        with desk.holding("Up"):
            desk.hold("Left", 0.5)
            desk.hold("Control_R", 0.2)
        desk.press("p")
        time.sleep(0.3)
        desk.press("p", "BackSpace")
        desk.hold("Up", 0.5)

    def replay(self, path, status, *outputs):
        """Replays path with outputs, checked to end with status; the frames it says were identical."""
        result = self.ran([harness.ARGS.replay, "--replay", path, "--no-render", *outputs], status)
        frames = re.search(r"^(\d+) frames, identical$", result.stdout, re.M)
        self.assertTrue(frames, result.stdout)
        return int(frames.group(1))

    def test_recorded_drive_replays_identically(self):
        recording = self.path("drive.tvr")
        self.start("record", "--record", recording)
        self.drive()
        self.assertCleanExit(quit_key="Escape")
        self.assertFalse(os.path.exists(recording + ".part"))
        renders = []
        for take in (1, 2):
            wav = self.path("sound%d.wav" % take)
            self.assertGreater(self.replay(recording, 0, "--wav", wav), 0)
            renders.append(pathlib.Path(wav).read_bytes())
        self.assertGreater(len(renders[0]), 44100, "the drive's WAV is too short")
        self.assertEqual(renders[0], renders[1], "two renders of the drive's sound differ")

    def test_killed_game_leaves_a_recording_the_next_start_recovers(self):
        self.start("killed")
        self.drive()
        time.sleep(1.2)  # past the writer's flush
        self.game.stop(signal.SIGKILL)
        parts = glob.glob(self.path("data", "torvane", "recordings", "*.tvr.part"))
        self.assertEqual(len(parts), 1)
        self.replay(parts[0], 7)
        after = self.ran([harness.ARGS.game, "--frames", "30"], cwd=harness.ARGS.data, env=self.env())
        self.assertEqual((os.path.exists(parts[0][:-5]), os.path.exists(parts[0])), (True, False))
        self.assertIn("recovered", after.stderr)
        self.assertEqual(after.stderr.count("sans son"), 1, "no audio device (ALSOFT_DRIVERS=null) said once")


if __name__ == "__main__":
    harness.main("game", "replay", "data")
