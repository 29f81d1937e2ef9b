"""The game in its real window on the harness's private X server, for the tests that play it: started from
the data folder with its user folders in the case's scratch folder, looked at through screenshots, given or
denied the keyboard focus, and checked to end cleanly. Subclass GameWindow; harness.main("game", "data").

Short of: one window called Torvane at a time; a message box fails the case, it is never dismissed.
"""
import time

import harness
import xclient
from xclient import changed

WIDTH, HEIGHT = 800, 600
SCREEN = (1280, 720)
CLEAR = (200, 200, 200)
START, EXIT, WAIT = 20, 5, 10  # seconds: a window and its first frame; the end once asked; a key's effect
STILL = WIDTH * HEIGHT // 100  # pixels a picture standing still may change (the clock, the readouts)


def scene_problem(picture):
    """What keeps picture from being the scene (the wrong size, a blank window, the clear colour), or None."""
    if picture.size != (WIDTH, HEIGHT):
        return "a %dx%d picture" % picture.size
    colours = picture.getcolors(WIDTH * HEIGHT)
    if len(colours) < 64:
        return "only %d colours" % len(colours)
    if sum(n for n, colour in colours if colour == CLEAR) >= WIDTH * HEIGHT // 2:
        return "mostly the clear colour"
    return None



class GameWindow(harness.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = xclient.Desktop(harness.start_xvfb(cls, *SCREEN).display)

    def setUp(self):
        super().setUp()
        self.game = None
        self.addCleanup(lambda: self.game and self.game.stop())

    def start(self, name, *options):
        """The game from the data folder, its user folders in the scratch folder, once it shows the scene."""
        self.name = name
        self.game = harness.Program([harness.ARGS.game, *options], self.path(name), cwd=harness.ARGS.data,
                                    env=harness.user_env(self.scratch, self.xvfb.display))
        self.window = harness.wait_until(lambda: self.desktop.find("Torvane") or not self.game.running(), START)
        self.assertTrue(self.game.running() and self.window, "%s: no window within %ds" % (name, START))
        return self.wait_for(lambda picture: scene_problem(picture) is None, "the scene", START)

    def shot(self):
        picture = self.desktop.picture(self.window)
        self.assertIsNotNone(picture, "%s: the window could not be read" % self.name)
        return picture

    def assertNoMessageBox(self):
        self.assertEqual(self.desktop.others(self.window), [], "%s: a message box appeared" % self.name)

    def wait_for(self, condition, what, seconds=WAIT):
        """The first picture meeting condition; fails when the game ends, shows a box, or the time runs out."""
        def attempt():
            self.assertTrue(self.game.running(), "%s: the game ended before %s" % (self.name, what))
            self.assertNoMessageBox()
            picture = self.desktop.picture(self.window)
            return picture if picture and condition(picture) else None
        picture = harness.wait_until(attempt, seconds, 0.1)
        self.assertIsNotNone(picture, "%s: no %s within %ds" % (self.name, what, seconds))
        return picture

    def assertCleanExit(self, stdout=""):
        status = self.game.wait(EXIT + 1)
        self.assertEqual((status, *self.game.output()), (0, stdout, ""), "%s: status, stdout, stderr" % self.name)

    def focus_elsewhere(self):
        self.desktop.pointer(SCREEN[0] - 10, SCREEN[1] - 10)
        self.assertTrue(self.desktop.focus(None), "could not take the focus away")

    def focus_game(self):
        self.desktop.pointer(WIDTH // 2, HEIGHT // 2, self.window)
        self.assertTrue(self.desktop.focus(self.window), "could not give the game the focus")
        time.sleep(0.2)  # the game sees its focus at its next frame

    def still(self, seconds, most=STILL):
        """Two pictures seconds apart, checked to differ in at most most pixels; the second."""
        first = self.shot()
        time.sleep(seconds)
        second = self.shot()
        self.assertLessEqual(changed(first, second), most, "%s: the picture moved" % self.name)
        return second
