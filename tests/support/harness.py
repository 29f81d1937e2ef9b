"""What the script tests share: their command line, scratch folders, programs run or started, CSV telemetry,
and a private X server with a client that types, focuses and takes screenshots as a player's desktop would.

A test file puts this folder on its path, writes unittest cases and ends with harness.main:

    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
    import harness
    class Sweep(harness.TestCase):
        def test_x(self):
            result = harness.run([harness.ARGS.replay, "--frames", "3", "--csv", "-"], cwd=self.scratch)
            self.assertEqual(result.returncode, 0, result.stderr)
            header, rows = harness.read_csv(result.stdout)
    harness.main("replay")      # ARGS.replay is the first argument, an absolute path

Exit status 0 passed, 1 failed, 77 (CTest's SKIP_RETURN_CODE) when every case skipped. TORVANE_KEEP_SCRATCH=1
keeps the scratch folders (screenshots, programs' output) and names them. Short of: Xvfb only, no Wayland;
timings are wall-clock, so a loaded machine gets the deadlines below, never shorter ones.
"""
import csv
import os
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
USER_VARIABLES = ("TORVANE_DATA", "DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")


def main(*names):
    """Takes the positional arguments as ARGS.<name> (absolute paths), runs the file's cases, exits."""
    if len(sys.argv) < len(names) + 1:
        sys.exit("usage: %s %s" % (sys.argv[0], " ".join(name.upper() for name in names)))
    for name in names:
        setattr(ARGS, name, os.path.abspath(sys.argv.pop(1)))
    result = unittest.main(exit=False).result
    if not result.wasSuccessful():
        sys.exit(1)
    sys.exit(SKIPPED if result.skipped and len(result.skipped) >= result.testsRun else 0)  # a class's skip runs none


class TestCase(unittest.TestCase):
    """A case with its own scratch folder, self.scratch, removed after it."""

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
        return self.path(name)

    def read(self, name):
        with open(self.path(name)) as f:
            return f.read()


def user_env(home, display=None, **extra):
    """The environment without the caller's display or data folder, HOME and the XDG folders under home."""
    env = {k: v for k, v in os.environ.items() if k not in USER_VARIABLES}
    env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_DATA_HOME=os.path.join(home, "data"),
               XDG_CACHE_HOME=os.path.join(home, "cache"))
    if display:
        env.update(DISPLAY=display, SDL_VIDEODRIVER="x11")
    env.update(extra)
    return env


def run(command, timeout=120, **options):
    """Runs command to its end: a CompletedProcess with returncode, stdout and stderr as text."""
    return subprocess.run(command, capture_output=True, text=True, timeout=timeout, **options)


def read_csv(text):
    """The header row and the data rows of telemetry text, its comment lines left out."""
    rows = list(csv.reader(line for line in text.splitlines() if not line.startswith("#")))
    return rows[0], rows[1:]


def wait_until(condition, seconds, step=0.05):
    """Polls condition until it gives a true value, which it returns; None when the time runs out."""
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(step)


class Program:
    """A program started in the background in a session of its own (with what it forks), its output in files."""

    def __init__(self, command, log_stem, **options):
        self.stdout_path, self.stderr_path = log_stem + ".stdout", log_stem + ".stderr"
        with open(self.stdout_path, "w") as out, open(self.stderr_path, "w") as err:
            self.process = subprocess.Popen(command, stdout=out, stderr=err, start_new_session=True, **options)

    def running(self):
        return self.process.poll() is None

    def output(self):
        with open(self.stdout_path) as out, open(self.stderr_path) as err:
            return out.read(), err.read()

    def wait(self, seconds):
        """The exit status, or None (and the program stopped) when it still runs after seconds."""
        try:
            return self.process.wait(seconds)
        except subprocess.TimeoutExpired:
            self.stop()
            return None

    def stop(self, sig=signal.SIGTERM):
        """Ends the program and whatever it started: sig, then KILL after two seconds."""
        for s in (sig, signal.SIGKILL):
            try:
                os.killpg(self.process.pid, s)
            except ProcessLookupError:
                break
            try:
                self.process.wait(2)
                break
            except subprocess.TimeoutExpired:
                pass


class Xvfb:
    """A private X server of the given screen size; raises SkipTest where it cannot start."""

    def __init__(self, width=1280, height=720):
        if shutil.which("Xvfb") is None:
            raise unittest.SkipTest("Xvfb is not installed")
        read, write = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "%dx%dx24" % (width, height),
                                        "-nolisten", "tcp", "-noreset"], pass_fds=[write], stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(write)
        with os.fdopen(read) as pipe:  # Xvfb writes its display number once it accepts clients
            number = pipe.readline().strip()
        if not number.isdigit():
            self.stop()
            raise unittest.SkipTest("Xvfb could not start")
        self.display = ":" + number

    def stop(self):
        self.server.terminate()
        self.server.wait()


def start_xvfb(test_class, *size):
    """A server for every case of test_class (as test_class.xvfb), stopped after the last."""
    test_class.xvfb = Xvfb(*size)
    unittest.addModuleCleanup(test_class.xvfb.stop)
    return test_class.xvfb
