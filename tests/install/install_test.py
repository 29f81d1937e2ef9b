#!/usr/bin/python3
"""The installed game as a user meets it: `cmake --install` into a scratch prefix, then the installed programs
run from an unrelated folder (telemetry and a screenshot from torvane-replay, a plot from torvane-plot, a sweep
from torvane-sweep, the game under Xvfb), again after the whole install folder moved; and the start-up failures,
each named. Package: the Debian package as a distribution checks it, and a configure without the test libraries.

    install_test.py BUILD_DIR SOURCE_DIR [InstalledGame | Package]
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import harness  # noqa: E402
from PIL import Image  # noqa: E402


class InstalledGame(harness.TestCase):
    @classmethod
    def setUpClass(cls):
        try:
            harness.start_xvfb(cls, 1024, 768)
        except unittest.SkipTest:
            cls.display = None

    def setUp(self):
        super().setUp()
        self.prefix = self.path("prefix")
        subprocess.run(["cmake", "--install", harness.ARGS.build, "--prefix", self.prefix], check=True,
                       stdout=subprocess.DEVNULL)
        self.enter("cwd")

    def enter(self, folder):
        """A fresh working folder holding only a key script."""
        self.cwd = self.path(folder)
        os.mkdir(self.cwd)
        self.write(os.path.join(folder, "drive.keys"), "1 30 Up\n10 30 Right\n")

    def installed(self, program, *args, prefix=None, display=None, status=None, **env):
        """program of the install run in self.cwd as a user runs it; checked to end with status when given."""
        command = [os.path.join(prefix or self.prefix, "bin", program), *args]
        options = dict(cwd=self.cwd, env=harness.user_env(self.path("home"), display, **env))
        return harness.run(command, **options) if status is None else self.ran(command, status, **options)

    def check_programs(self, prefix):
        """A drive replayed (and drawn, where OpenGL starts) and plotted, and the game in its window."""
        drive = ["--keys", "drive.keys", "--csv", "drive.csv"]
        result = self.installed("torvane-replay", *drive, "--png", "shot-%d.png", "--png-every", "30", prefix=prefix)
        if result.returncode == harness.NO_DEVICE:
            result = self.installed("torvane-replay", *drive, "--no-render", prefix=prefix)
        self.assertEqual(result.returncode, 0, result.stderr)
        header, rows = harness.read_csv(self.read(os.path.join(self.cwd, "drive.csv")))
        z = header.index("position.z")
        self.assertEqual(rows[-1][0], "30")
        self.assertLess(float(rows[-1][z]), float(rows[0][z]) - 0.1, "the car drove forwards, towards -z")
        if os.path.exists(os.path.join(self.cwd, "shot-30.png")):
            with Image.open(os.path.join(self.cwd, "shot-30.png")) as image:
                self.assertEqual(image.size, (800, 600))
                self.assertGreater(len(image.getcolors(800 * 600)), 100, "the scene, not the clear colour")
        self.installed("torvane-plot", "drive.csv", "--out", "plots", prefix=prefix, status=0)
        self.assertTrue(os.path.isfile(os.path.join(self.cwd, "plots", "trajectory.png")))
        car = os.path.join(prefix, "share", "torvane", "cars", "car.toml")
        self.installed("torvane-sweep", car, "tyres.grip_factor=1.6:2:2", "--out", "sweep", prefix=prefix, status=0)
        self.assertEqual(len(self.read(os.path.join(self.cwd, "sweep", "sweep.csv")).splitlines()), 3,
                         "a header and two variants")
        if self.display:  # on stderr only, once, that OpenAL's null output leaves the game without sound
            game = self.installed("torvane", "--frames", "20", prefix=prefix, display=self.display, status=0,
                                  ALSOFT_DRIVERS="null")
            self.assertEqual(game.stderr, "torvane: le jeu tourne sans son : OpenAL n'offre que sa sortie nulle\n")

    def test_installed_programs_run_from_anywhere_and_after_a_move(self):
        source_data = os.path.join(os.path.realpath(harness.ARGS.source), "game").encode()
        for program in ("torvane", "torvane-replay"):
            with open(os.path.join(self.prefix, "bin", program), "rb") as f:
                self.assertNotIn(source_data, f.read(), "%s names the source tree's data folder" % program)
        if shutil.which("appstreamcli"):
            metainfo = os.path.join(self.prefix, "share/metainfo/org.torvane.Torvane.metainfo.xml")
            self.ran(["appstreamcli", "validate", "--no-net", metainfo])
        self.check_programs(self.prefix)
        shutil.move(self.prefix, self.path("elsewhere"))
        self.enter("moved")
        self.check_programs(self.path("elsewhere"))

    def test_start_up_failures_are_named(self):
        cases = [(["torvane", "--turbo"], {}, 2, "unknown option '--turbo'"),
                 (["torvane"], {"TORVANE_DATA": self.cwd}, 2, self.cwd + " (variable TORVANE_DATA) : ni maps/, ni objets/, ni cars/"),
                 (["torvane"], {}, 2, "Aucun écran")]
        if self.display:  # the game would show it in a box; the replay tool meets the same start-up, on stderr
            cases.append((["torvane-replay", "--window", "--frames", "1"],
                          {"display": self.display, "MESA_GL_VERSION_OVERRIDE": "3.0"}, harness.NO_DEVICE,
                          "no OpenGL 3.3 device on SDL's default driver (offered: 3.0"))
        for command, env, status, message in cases:
            self.assertIn(message, self.installed(*command, status=status, **env).stderr)
        self.assertEqual(self.installed("torvane", "--version").stdout.split()[0], "torvane")


class Package(harness.TestCase):
    FILES = {"/usr/bin/" + name for name in ("torvane", "torvane-replay", "torvane-plot", "torvane-sweep")} | {
        "/usr/share/" + name for name in (
            "torvane/maps/city.ldo", "torvane/maps/city.map", "torvane/objets/cars/mycar.x", "doc/torvane/copyright",
            "doc/torvane/changelog.gz", "applications/org.torvane.Torvane.desktop", "man/man6/torvane.6.gz",
            "metainfo/org.torvane.Torvane.metainfo.xml", "man/man1/torvane-replay.1.gz", "man/man1/torvane-plot.1.gz",
            "man/man1/torvane-sweep.1.gz", "torvane/tools/sweep_table.py", "torvane/tools/manoeuvres/skidpad.keys",
            *("icons/hicolor/%dx%d/apps/org.torvane.Torvane.png" % (n, n) for n in (32, 64, 128, 256)))} | {
        "/usr/lib/torvane/" + name for name in ("libtorvane-xmesh.so", "libtorvane-video.so")}
    DEPENDS = {"libc6", "libstdc++6", "libsdl2-2.0-0", "libassimp5", "libpng16-16", "libjpeg62-turbo", "libfreetype6",
               "libfontconfig1", "libtomlplusplus3", "libavcodec59", "libavformat59", "libswscale6",
               "libopenal1", "libsndfile1", "libseccomp2", "fonts-dejavu-core", "python3-matplotlib"}

    def test_package_holds_the_game_and_depends_on_runtime_libraries_only(self):
        for tool in ("cpack", "dpkg-deb", "dpkg-shlibdeps", "file"):
            if shutil.which(tool) is None:
                self.skipTest(tool + " is not installed (scripts/setup test installs it)")
        self.ran(["cpack", "-G", "DEB", "--config", os.path.join(harness.ARGS.build, "CPackConfig.cmake"),
                  "-B", self.path("out")], cwd=self.scratch, timeout=280)
        deb = glob.glob(self.path("out", "*.deb"))[0]
        files = {line.split()[5].lstrip(".") for line in harness.run(["dpkg-deb", "-c", deb]).stdout.splitlines()}
        self.assertEqual(self.FILES - files, set(), "missing from the package")
        built = re.compile(r"torvane-source-data|^/usr/local|^/usr/include|\.a$|/test_|bench")
        self.assertEqual([path for path in files if built.search(path)], [], "files of the build")
        depends = harness.run(["dpkg-deb", "-f", deb, "Depends"]).stdout
        self.assertEqual(self.DEPENDS - {name.split()[0] for name in re.split("[,|]", depends)}, set(), depends)
        self.assertNotRegex(depends, r"-dev\b|gtest|gmock|benchmark")
        if shutil.which("lintian"):
            self.ran(["lintian", "--fail-on", "error", deb], timeout=280)

    def test_configures_without_the_test_libraries(self):
        self.ran(["cmake", "-S", harness.ARGS.source, "-B", self.scratch, "-DBUILD_TESTING=OFF",
                  "-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON", "-DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON"])


if __name__ == "__main__":
    harness.main("build", "source")
