"""The real Parlox ended from outside, as a session ending, kill or Ctrl+C in a terminal end a
program on Linux: SIGTERM, SIGHUP, SIGINT. Each runs the unload step, once, and Parlox ends with
status 0. Here without a host, where it costs least: Parlox never gets past its start-up, so its
unload step stores nothing and the user's stored choices stay as they were. (A signal in the
running window, which stores them, ends the journey of test_journeys.py.)

Looked at from outside: the windows through the X server, the settings file and the exit status.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

BUILD = os.environ["PARLOX_BUILD_DIR"]
STORED = "[Settings]\nDoubleSpace=False\nLogFile=True\nScrnLeft=4500\nScrnTop=3000\n"


def wait_until(condition, what, seconds=30):
    deadline = time.monotonic() + seconds
    while not (result := condition()):
        assert time.monotonic() < deadline, f"timed out after {seconds} s waiting for {what}"
        time.sleep(0.1)
    return result


class Signals(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.top = tempfile.mkdtemp(prefix="parlox-signals-")
        # The X server takes a free display number and says which.
        cls.xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        cls.display = ":" + cls.xvfb.stdout.readline().strip()

    @classmethod
    def tearDownClass(cls):
        cls.xvfb.terminate()
        cls.xvfb.wait()
        shutil.rmtree(cls.top)

    def setUp(self):
        home = tempfile.mkdtemp(dir=self.top)
        self.settings = Path(home, ".config", "Parlox", "Parlox.conf")
        self.settings.parent.mkdir(parents=True)
        self.settings.write_text(STORED)
        # No session bus, and none started for Parlox either: the host cannot be found.
        environment = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/.config",
                           XDG_DATA_HOME=home + "/.local/share", DISPLAY=self.display, QT_QPA_PLATFORM="xcb",
                           DBUS_SESSION_BUS_ADDRESS="unix:path=" + home + "/no-bus")
        folder = tempfile.mkdtemp(dir=self.top)
        self.parlox = subprocess.Popen([shutil.copy2(Path(BUILD, "parlox"), folder)], env=environment)
        self.addCleanup(self.parlox.kill)

    def windows(self):
        """Parlox's showing windows: the splash, and the failure box in front of it."""
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.parlox.pid)],
                               capture_output=True, text=True, env=dict(os.environ, DISPLAY=self.display))
        return found.stdout.split()

    def assertEndedWithNothingStored(self):
        self.assertEqual(self.parlox.wait(15), 0)
        self.assertEqual(self.settings.read_text(), STORED)

    def test_twice_during_the_splash(self):
        wait_until(lambda: len(self.windows()) == 1, "the splash")
        self.parlox.send_signal(signal.SIGTERM)
        self.parlox.send_signal(signal.SIGINT)
        self.assertEndedWithNothingStored()

    def test_during_the_failure_box(self):
        wait_until(lambda: len(self.windows()) == 2, "the box in front of the splash")
        self.parlox.send_signal(signal.SIGHUP)
        self.assertEndedWithNothingStored()


if __name__ == "__main__":
    unittest.main(verbosity=2)
