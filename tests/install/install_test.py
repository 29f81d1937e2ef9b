#!/usr/bin/python3
"""The installed game as a user meets it: `cmake --install` into a temporary
prefix, then the installed programs run from an unrelated working directory
(a screenshot and a telemetry row from torvane-replay, a plot from
torvane-plot, the game itself under Xvfb), and again after the whole install
folder was moved. Also the start-up failures: a bad option, no data folder, no
display, each with its message and exit status 2, and no OpenGL 3.3 named
with the version found.

Usage: install_test.py BUILD_DIR SOURCE_DIR
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

from PIL import Image

BUILD = SOURCE = None
NO_DEVICE = 4
KEYS = "1 30 Up\n10 30 Right\n"


class Xvfb:
    """A private X server, or None where Xvfb is missing or cannot start."""

    @staticmethod
    def start():
        if shutil.which("Xvfb") is None:
            return None
        read, write = os.pipe()
        server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                  pass_fds=[write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number.isdigit():
            server.kill()
            server.wait()
            return None
        return server, ":" + number


class InstalledGame(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.mkdtemp(prefix="torvane-install-")
        cls.prefix = os.path.join(cls.scratch, "prefix")
        subprocess.run(["cmake", "--install", BUILD, "--prefix", cls.prefix], check=True, stdout=subprocess.DEVNULL)
        cls.xvfb = Xvfb.start()

    @classmethod
    def tearDownClass(cls):
        if cls.xvfb:
            cls.xvfb[0].terminate()
            cls.xvfb[0].wait()
        shutil.rmtree(cls.scratch)

    def setUp(self):
        self.cwd = tempfile.mkdtemp(dir=self.scratch)
        with open(os.path.join(self.cwd, "drive.keys"), "w") as f:
            f.write(KEYS)

    def environment(self, display=None, **extra):
        env = {k: v for k, v in os.environ.items()
               if k not in ("TORVANE_DATA", "DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
        env["XDG_CONFIG_HOME"] = os.path.join(self.scratch, "config")
        env["XDG_DATA_HOME"] = os.path.join(self.scratch, "data")  # the game records every drive there
        if display:
            env.update(DISPLAY=display, SDL_VIDEODRIVER="x11")
        env.update(extra)
        return env

    def run_installed(self, prefix, program, *args, display=None, **extra):
        return subprocess.run([os.path.join(prefix, "bin", program), *args], cwd=self.cwd, capture_output=True,
                              text=True, env=self.environment(display, **extra), timeout=120)

    def check_drive(self, prefix):
        """A replayed drive from the installed tool: telemetry row and a screenshot of the scene."""
        result = self.run_installed(prefix, "torvane-replay", "--keys", "drive.keys", "--csv", "drive.csv",
                                    "--png", "shots-%d.png", "--png-every", "30")
        if result.returncode == NO_DEVICE:
            result = self.run_installed(prefix, "torvane-replay", "--keys", "drive.keys", "--csv", "drive.csv",
                                        "--no-render")
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(os.path.join(self.cwd, "drive.csv")) as f:
            rows = [line.split(",") for line in f if not line.startswith("#")]
        header, start, last = rows[0], rows[1], rows[-1]
        self.assertEqual(last[0], "30")
        z = header.index("position.z")
        self.assertLess(float(last[z]), float(start[z]) - 0.1, "the car drove forwards, towards -z")
        shot = os.path.join(self.cwd, "shots-30.png")
        if os.path.exists(shot):
            image = Image.open(shot)
            self.assertEqual(image.size, (800, 600))
            self.assertGreater(len(image.getcolors(800 * 600)), 100, "the scene, not the clear colour")

    def check_game(self, prefix):
        """The installed game in a window under Xvfb for 20 frames, with status 0 and on stderr only, once,
        that OpenAL's null output leaves it without sound."""
        if not self.xvfb:
            return
        result = self.run_installed(prefix, "torvane", "--frames", "20", display=self.xvfb[1], ALSOFT_DRIVERS="null")
        self.assertEqual((result.returncode, result.stderr),
                         (0, "torvane: le jeu tourne sans son : OpenAL n'offre que sa sortie nulle\n"))

    def test_installed_programs_run_from_anywhere_and_after_a_move(self):
        expected = ["bin/torvane", "bin/torvane-replay", "bin/torvane-plot", "bin/torvane-sweep",
                    "share/torvane/maps/city.ldo", "share/man/man1/torvane-sweep.1.gz",
                    "share/applications/org.torvane.Torvane.desktop",
                    "share/metainfo/org.torvane.Torvane.metainfo.xml",
                    "share/icons/hicolor/32x32/apps/org.torvane.Torvane.png",
                    "share/icons/hicolor/256x256/apps/org.torvane.Torvane.png",
                    "share/man/man6/torvane.6.gz", "share/man/man1/torvane-replay.1.gz"]
        for path in expected:
            self.assertTrue(os.path.isfile(os.path.join(self.prefix, path)), path)
        source_data = os.path.join(os.path.realpath(SOURCE), "game").encode()
        for program in ("torvane", "torvane-replay"):
            with open(os.path.join(self.prefix, "bin", program), "rb") as f:
                self.assertFalse(source_data in f.read(), f"{program} names the source tree's data folder")
        if shutil.which("appstreamcli"):
            metainfo = os.path.join(self.prefix, "share/metainfo/org.torvane.Torvane.metainfo.xml")
            check = subprocess.run(["appstreamcli", "validate", "--no-net", metainfo], capture_output=True, text=True)
            self.assertEqual(check.returncode, 0, check.stdout)

        self.check_drive(self.prefix)
        plot = subprocess.run([os.path.join(self.prefix, "bin", "torvane-plot"), "drive.csv", "--out", "plots"],
                              cwd=self.cwd, capture_output=True, text=True, env=self.environment())
        self.assertEqual(plot.returncode, 0, plot.stderr)
        self.assertTrue(os.path.isfile(os.path.join(self.cwd, "plots", "trajectory.png")))
        car = os.path.join(self.prefix, "share", "torvane", "cars", "car.toml")
        sweep = self.run_installed(self.prefix, "torvane-sweep", car, "tyres.grip_factor=1.6:2:2", "--out", "sweep")
        self.assertEqual(sweep.returncode, 0, sweep.stderr)
        with open(os.path.join(self.cwd, "sweep", "sweep.csv")) as f:
            self.assertEqual(len(f.read().splitlines()), 3, "a header and two variants")
        self.check_game(self.prefix)

        moved = os.path.join(self.scratch, "elsewhere", "torvane")
        os.makedirs(os.path.dirname(moved))
        shutil.move(self.prefix, moved)
        try:
            self.setUp()
            self.check_drive(moved)
            self.check_game(moved)
        finally:
            shutil.move(moved, self.prefix)

    def test_start_up_failures_are_named_with_status_2(self):
        bad_option = self.run_installed(self.prefix, "torvane", "--turbo")
        self.assertEqual(bad_option.returncode, 2)
        self.assertIn("unknown option '--turbo'", bad_option.stderr)
        self.assertEqual(self.run_installed(self.prefix, "torvane", "--version").stdout.split()[0], "torvane")

        no_data = self.run_installed(self.prefix, "torvane", TORVANE_DATA=self.cwd)
        self.assertEqual(no_data.returncode, 2)
        self.assertIn(self.cwd + " (variable TORVANE_DATA) : pas de maps/city.ldo", no_data.stderr)

        no_display = self.run_installed(self.prefix, "torvane")
        self.assertEqual(no_display.returncode, 2)
        self.assertIn("Aucun écran", no_display.stderr)

        # The game would show this one in a box that waits for a click: the
        # replay tool, which writes its boxes on stderr, meets the same start-up.
        if self.xvfb:
            old_gl = self.run_installed(self.prefix, "torvane-replay", "--window", "--frames", "1",
                                        display=self.xvfb[1], MESA_GL_VERSION_OVERRIDE="3.0")
            self.assertEqual(old_gl.returncode, NO_DEVICE)
            self.assertIn("no OpenGL 3.3 device on SDL's default driver (offered: 3.0", old_gl.stderr)


if __name__ == "__main__":
    BUILD, SOURCE = sys.argv.pop(1), sys.argv.pop(1)
    unittest.main()
