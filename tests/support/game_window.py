"""The game in its real window on the harness's X server, for the tests that play it (subclass GameWindow,
harness.main("game", "data")): started from the data folder with its user folders in the case's scratch
folder, looked at through its window's pictures, given or denied the focus, checked to end cleanly.

Short of: one window called Torvane at a time; a message box fails the case and is never dismissed.
"""
import time

import harness
import xclient
from xclient import changed

WIDTH, HEIGHT = 800, 600
SCREEN = (1280, 720)
START, EXIT, WAIT = 20, 5, 10  # seconds: a window and its first frame; the end once asked; a key's effect
STILL = WIDTH * HEIGHT // 100  # pixels a picture standing still may change (the clock, the readouts)
# All the game says on stderr when it runs cleanly: OpenAL's null output gives every machine the same sound, none.
SILENT = "torvane: le jeu tourne sans son : OpenAL n'offre que sa sortie nulle\n"


def scene_problem(picture):
    """What keeps picture from being the scene (the wrong size, a blank window, the clear colour), or None."""
    colours = picture.getcolors(picture.width * picture.height)
    if picture.size != (WIDTH, HEIGHT) or len(colours) < 64:
        return "a %dx%d picture of %d colours" % (*picture.size, len(colours))
    if sum(n for n, colour in colours if colour == (200, 200, 200)) >= WIDTH * HEIGHT // 2:
        return "mostly the clear colour"
    return None


class GameWindow(harness.TestCase):
    maxDiff = None  # a failed exit shows the whole of what the game wrote

    @classmethod
    def setUpClass(cls):
        cls.desktop = xclient.Desktop(harness.start_xvfb(cls, *SCREEN))

    def setUp(self):
        super().setUp()
        self.game = None
        self.addCleanup(lambda: self.game and self.game.stop())

    def env(self):
        return harness.user_env(self.scratch, self.display, ALSOFT_DRIVERS="null")

    def start(self, name, *options):
        """The game, once its window shows the scene: that first picture."""
        self.name = name
        self.game = harness.Program([harness.ARGS.game, *options], self.path(name), cwd=harness.ARGS.data,
                                    env=self.env())
        self.window = harness.wait_until(lambda: self.desktop.find("Torvane") or not self.game.running(), START)
        self.assertTrue(self.game.running() and self.window, "%s: no window within %ds" % (name, START))
        return self.wait_for(lambda picture: scene_problem(picture) is None, "scene", START)

    def shot(self):
        picture = self.desktop.picture(self.window)
        self.assertIsNotNone(picture, "%s: the window could not be read" % self.name)
        return picture

    def assertNoMessageBox(self):
        self.assertEqual(self.desktop.others(self.window), [], "%s: a message box appeared" % self.name)

    def wait_for(self, condition, what, seconds=WAIT):
        """The first picture meeting condition; fails when the game ends, shows a box, or the time runs out."""
        def attempt():
            self.assertTrue(self.game.running(), "%s: the game ended before its %s" % (self.name, what))
            self.assertNoMessageBox()
            picture = self.desktop.picture(self.window)
            return picture if picture and condition(picture) else None
        picture = harness.wait_until(attempt, seconds, 0.1)
        self.assertTrue(picture, "%s: no %s within %ds" % (self.name, what, seconds))
        return picture

    def assertCleanExit(self, stdout="", quit_key=None):
        """Checks the game ends (on quit_key pressed, if given, once no message box shows) with status 0, stdout
        as given, on stderr only that it runs silent."""
        if quit_key:
            self.assertNoMessageBox()
            self.desktop.press(quit_key)
        status = self.game.wait(EXIT + 1)
        self.assertEqual((status, *self.game.output()), (0, stdout, SILENT), "%s: status, stdout, stderr" % self.name)

    def focus_elsewhere(self):
        self.desktop.pointer(SCREEN[0] - 10, SCREEN[1] - 10)
        self.assertTrue(self.desktop.focus(), "could not take the focus away")

    def focus_game(self):
        self.desktop.pointer(WIDTH // 2, HEIGHT // 2, self.window)
        self.assertTrue(self.desktop.focus(self.window), "could not give the game the focus")
        time.sleep(0.2)  # the game sees its focus at its next frame

    def standing(self, seconds):
        """Whether two pictures seconds apart are the same."""
        first = self.shot()
        time.sleep(seconds)
        return changed(first, self.shot()) == 0

    def still(self, seconds, most=STILL):
        """Two pictures seconds apart, checked to differ in at most most pixels; the second."""
        first = self.shot()
        time.sleep(seconds)
        second = self.shot()
        self.assertLessEqual(changed(first, second), most, "%s: the picture moved" % self.name)
        return second
