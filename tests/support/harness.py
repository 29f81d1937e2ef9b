"""What the script tests share: their arguments, a scratch folder per case, programs run to their end or
started beside the test, CSV telemetry, and a private Xvfb server. A test file, run by /usr/bin/python3:

    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
    import harness
    class Sweep(harness.TestCase):
        def test_x(self):
            result = harness.run([harness.ARGS.replay, "--frames", "3", "--csv", "-"], cwd=self.scratch)
            header, rows = harness.read_csv(result.stdout)
    harness.main("replay")   # ARGS.replay: the first argument, made absolute

Its exit status is 0 passed, 1 failed, 77 (CTest's SKIP_RETURN_CODE) when every case skipped.
TORVANE_KEEP_SCRATCH=1 keeps the scratch folders (pictures, programs' output) and names them.
game_window.py plays the game in its window on top of this. Short of: Xvfb only, no Wayland.
"""
import csv
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import types
import unittest

ARGS = types.SimpleNamespace()
SKIPPED = 77
NO_DEVICE = 4  # torvane-replay's status when no OpenGL device comes up
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def main(*names):
    if len(sys.argv) <= len(names):
        sys.exit("usage: %s %s" % (sys.argv[0], " ".join(name.upper() for name in names)))
    for name in names:
        setattr(ARGS, name, os.path.abspath(sys.argv.pop(1)))
    result = unittest.main(exit=False).result
    if not result.wasSuccessful():
        sys.exit(1)
    sys.exit(SKIPPED if result.skipped and len(result.skipped) >= result.testsRun else 0)  # a class's skip runs none


class TestCase(unittest.TestCase):
    """A case with a scratch folder of its own, self.scratch, removed after it."""

    def setUp(self):
        self.scratch = tempfile.mkdtemp(prefix="torvane-%s-" % self._testMethodName)
        if os.environ.get("TORVANE_KEEP_SCRATCH"):
            print("scratch:", self.scratch, file=sys.stderr)
        else:
            self.addCleanup(shutil.rmtree, self.scratch, True)

    def path(self, *parts):
        return os.path.join(self.scratch, *parts)

    def write(self, name, text):
        with open(self.path(name), "w") as f:
            f.write(text)

    def read(self, name):
        with open(self.path(name)) as f:
            return f.read()

    def ran(self, command, status=0, drawn=False, **options):
        """command run to its end by run(), checked to end with status; with drawn, skipped without OpenGL."""
        result = run(command, **options)
        if drawn and result.returncode == NO_DEVICE:
            self.skipTest("no OpenGL device")
        self.assertEqual(result.returncode, status, (command[1:], result.stdout, result.stderr))
        return result


def user_env(home, display=None, **extra):
    """The environment without the caller's display or data folder; HOME and the XDG folders under home."""
    env = {k: v for k, v in os.environ.items() if k not in ("TORVANE_DATA", "DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
    env.update({"XDG_%s_HOME" % kind.upper(): os.path.join(home, kind) for kind in ("config", "data", "cache")},
               HOME=home, **extra)
    if display:
        env.update(DISPLAY=display, SDL_VIDEODRIVER="x11")
    return env


def run(command, timeout=120, **options):
    """Runs command to its end: a CompletedProcess with returncode, stdout and stderr as text."""
    return subprocess.run(command, capture_output=True, text=True, timeout=timeout, **options)


def read_csv(text):
    """The header row and the data rows of telemetry, its comment lines left out."""
    rows = list(csv.reader(line for line in text.splitlines() if not line.startswith("#")))
    return rows[0], rows[1:]


def wait_until(condition, seconds, step=0.05):
    """Polls condition until it gives a true value, which it returns; the last false one when the time runs out."""
    deadline = time.monotonic() + seconds
    while not (value := condition()) and time.monotonic() < deadline:
        time.sleep(step)
    return value


class Program:
    """A program started beside the test, in a session of its own (with what it forks); its output in files."""

    def __init__(self, command, log_stem, **options):
        self.logs = log_stem + ".stdout", log_stem + ".stderr"
        with open(self.logs[0], "w") as out, open(self.logs[1], "w") as err:
            self.process = subprocess.Popen(command, stdout=out, stderr=err, start_new_session=True, **options)

    def running(self):
        return self.process.poll() is None

    def output(self):
        """What it wrote on stdout and on stderr."""
        return tuple(pathlib.Path(path).read_text() for path in self.logs)

    def wait(self, seconds):
        """The exit status; None (and the program stopped) when it still runs after seconds."""
        try:
            return self.process.wait(seconds)
        except subprocess.TimeoutExpired:
            self.stop()

    def stop(self, sig=signal.SIGTERM):
        """Ends the program and whatever it started: sig, then KILL for what is left after two seconds."""
        for each in (sig, signal.SIGKILL):
            try:
                os.killpg(self.process.pid, each)
                self.process.wait(2)
                return
            except ProcessLookupError:
                return
            except subprocess.TimeoutExpired:
                pass


def start_xvfb(test_class, width=1280, height=720):
    """A private X server for every case of test_class, its display as test_class.display, stopped after the
    last; raises SkipTest where Xvfb is missing or cannot start."""
    if shutil.which("Xvfb") is None:
        raise unittest.SkipTest("Xvfb is not installed")
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "%dx%dx24" % (width, height),
                               "-nolisten", "tcp", "-noreset"], pass_fds=[write], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, start_new_session=True)
    os.close(write)
    with os.fdopen(read) as pipe:  # Xvfb writes its display number once it accepts clients
        number = pipe.readline().strip()
    unittest.addModuleCleanup(lambda: (server.terminate(), server.wait()))
    if not number.isdigit():
        raise unittest.SkipTest("Xvfb could not start")
    test_class.display = ":" + number
    return test_class.display
