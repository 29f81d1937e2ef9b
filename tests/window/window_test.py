#!/usr/bin/python3
"""The game in its real window on a private Xvfb server, played as a player would: keys typed into another
window are ignored (unless --background-keys), each key does its work, losing the focus pauses when the settings
ask it, the close button ends the game, a recorded drive is watched and taken over, and F11 / Alt+Enter switch
fullscreen under a window manager. In every case the game shows no message box, writes nothing else and ends
with status 0.

    window_test.py TORVANE_BINARY DATA_FOLDER
"""
import glob
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import harness  # noqa: E402
from PIL import Image  # noqa: E402
from game_window import HEIGHT, SCREEN, START, STILL, WAIT, WIDTH, GameWindow, scene_problem  # noqa: E402
from xclient import changed  # noqa: E402

MOVED = WIDTH * HEIGHT // 10  # pixels a picture changes beyond while the car drives
TEXT = 40  # pixels changed beyond which a line of text (PAUSE, the readout) is shown
BLACK = (0, 0, 0)


def between_bars(picture):
    """The 4:3 picture fills the 16:9 screen between black bars of 160 pixels."""
    return (picture.size == SCREEN and picture.getpixel((40, 360)) == BLACK == picture.getpixel((1240, 360))
            and picture.getpixel((640, 200)) != BLACK)


class Window(GameWindow):
    def test_keys(self):
        desk = self.desktop
        parked = self.start("keys")
        still = self.still(0.3)
        self.focus_elsewhere()
        desk.hold("Up", 1)
        desk.press("Escape")
        time.sleep(0.3)
        self.assertLessEqual(changed(still, self.shot()), STILL, "Up typed into another window moved the car")
        self.assertTrue(self.game.running(), "Escape typed into another window ended the game")

        self.focus_game()
        with desk.holding("Up"):
            driven = self.wait_for(lambda picture: changed(still, picture) > MOVED, "drive while Up is held")
        self.assertIsNone(scene_problem(driven))
        desk.press("BackSpace")
        self.wait_for(lambda picture: changed(parked, picture) <= STILL, "car back at its start after Backspace")
        desk.press("p")
        with desk.holding("Up"):
            paused = self.wait_for(lambda picture: changed(parked, picture) > TEXT, "PAUSE shown")
            self.assertLessEqual(changed(parked, paused), STILL, "paused: more changed than the PAUSE text")
            paused = self.still(0.5)
            desk.press("Pause")
            self.wait_for(lambda picture: changed(paused, picture) > MOVED, "drive again after Pause")
        desk.press("BackSpace", "F10")
        self.wait_for(lambda picture: TEXT < changed(parked, picture) <= STILL, "readout alone after F10")

        desk.press("F12")
        shots = harness.wait_until(lambda: glob.glob(self.path("Pictures", "torvane-*-frame*.png")), WAIT)
        self.assertTrue(shots, "F12 wrote no screenshot into the pictures folder")
        with Image.open(shots[0]) as picture:
            self.assertIsNone(scene_problem(picture.convert("RGB")), "the screenshot")
        self.assertCleanExit(shots[0] + "\n", "Escape")

    def test_background_keys(self):
        parked = self.start("background", "--background-keys")
        self.focus_elsewhere()
        with self.desktop.holding("Up"):
            self.wait_for(lambda picture: changed(parked, picture) > MOVED, "drive from keys typed elsewhere")
        with self.desktop.holding("Escape"):  # read once a frame: down until the game ends
            self.assertCleanExit()

    def test_focus_loss_pauses_when_set(self):
        os.makedirs(self.path("config", "torvane"))
        self.write("config/torvane/settings.toml", "[window]\npause_on_focus_loss = true\n")
        self.start("focus_pause")
        self.focus_game()
        self.desktop.hold("Up", 1)
        self.focus_elsewhere()
        time.sleep(0.3)
        self.still(0.5)
        self.focus_game()
        self.assertCleanExit(quit_key="Escape")

    def test_close_button(self):
        self.start("close")
        self.assertTrue(self.desktop.close(self.window), "the window does not take WM_DELETE_WINDOW")
        self.assertCleanExit()

    def test_recorded_drive_watched_stepped_paused_and_taken_over(self):
        desk = self.desktop
        self.start("drive")
        self.focus_game()
        desk.hold("Up", 3)  # long enough to be still playing when paused below
        self.assertCleanExit(quit_key="Escape")
        recorded = glob.glob(self.path("data", "torvane", "recordings", "*.tvr"))
        self.assertEqual(len(recorded), 1, "the drive was not recorded")

        self.start("watch", "--replay", recorded[0])
        self.focus_game()
        desk.press("End")  # the drive starts at rest: its last frames move
        self.assertTrue(harness.wait_until(lambda: self.standing(0.4), WAIT), "not paused at the end after End")
        at_end = self.shot()
        desk.press("Left")
        self.wait_for(lambda picture: changed(at_end, picture) > 0, "step back after Left at the end")
        desk.press("Home", "space")
        playing = self.shot()
        self.wait_for(lambda picture: changed(playing, picture) > 0, "picture moving while the drive plays")
        desk.press("space")
        self.assertTrue(harness.wait_until(lambda: self.standing(0.4), WAIT), "the drive did not pause after Space")
        self.assertGreater(changed(at_end, self.shot()), STILL, "the drive played on to its end: Space did not pause")
        desk.press("t")
        self.assertCleanExit(quit_key="Escape")
        self.assertGreater(len(glob.glob(self.path("data", "torvane", "recordings", "*.tvr"))), 1,
                           "the drive taken over was not recorded")

    def test_fullscreen_switch_under_a_window_manager(self):
        manager = harness.Program(["openbox", "--sm-disable"], self.path("openbox"), env=self.env())
        self.addCleanup(manager.stop)
        self.assertTrue(harness.wait_until(self.desktop.window_manager_running, START), "openbox did not start")
        self.start("fullscreen")
        self.focus_game()
        self.desktop.press("F11")
        self.wait_for(between_bars, "screen filled between black bars after F11")
        self.focus_game()
        self.desktop.press("Alt_L+Return")
        self.assertTrue(harness.wait_until(lambda: self.desktop.size(self.window) != SCREEN, WAIT),
                        "Alt+Enter did not leave fullscreen")
        self.focus_game()
        self.assertCleanExit(quit_key="Escape")


if __name__ == "__main__":
    harness.main("game", "data")
