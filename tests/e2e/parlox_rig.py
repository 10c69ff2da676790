"""What the end-to-end tests drive: the substitute host, the real Parlox, and the desktop they
share. Everything acts and looks from outside the programs, as a person (or the host) would:
windows, menus and controls through the accessibility bus, as a screen reader finds them; keys
through the X server; the lines the host was given, the log file and the settings file.

run-e2e starts each test inside its own session bus, accessibility bus and virtual display, with
HOME and the XDG folders in a fresh temporary folder and PARLOX_BUILD_DIR pointing at the build.
"""

import configparser
import contextlib
import os
import re
import shutil
import subprocess
import tempfile
import time

import pyatspi
from gi.repository import GLib

BUILD_DIR = os.environ["PARLOX_BUILD_DIR"]
CAPTION = "Parlox ~ N0CALL ~ v 1.0.0"
SETTINGS = os.path.join(os.environ["XDG_CONFIG_HOME"], "Parlox", "Parlox.conf")
# "dd-MMM-yy hh:mm " in the C locale.
LOG_STAMP = r"\d\d-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-\d\d \d\d:\d\d "


def wait_until(condition, what, timeout=10, interval=0.05):
    deadline = time.monotonic() + timeout
    while not (result := condition()):
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)
    return result


def run(*command):
    """Runs an X tool; those that wait for a window (--sync) wait at most ten seconds."""
    return subprocess.run(command, check=True, capture_output=True, text=True, timeout=10).stdout


def records(*texts):
    """A pattern for the log records of these texts, in this order."""
    return "".join(LOG_STAMP + re.escape(text) + "\r\n" for text in texts)


def stored_settings(**values):
    """With values, writes them as the [Settings] group; without, reads that group (None when
    there is no settings file)."""
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    if values:
        os.makedirs(os.path.dirname(SETTINGS), exist_ok=True)
        parser["Settings"] = values
        with open(SETTINGS, "w", encoding="utf-8") as file:
            parser.write(file)
    elif parser.read(SETTINGS, encoding="utf-8"):
        return dict(parser["Settings"])
    return None


class Host:
    """build/substitute-host, fed commands through a pipe, its output in a file (it would block
    on a pipe nobody reads)."""

    def __init__(self, test, *options):
        self.output = tempfile.NamedTemporaryFile()
        self.process = subprocess.Popen([os.path.join(BUILD_DIR, "substitute-host"), *options],
                                        stdin=subprocess.PIPE, stdout=self.output)
        test.addCleanup(self.stop)
        wait_until(lambda: "ready" in self.lines(), "the host to own its name")

    def lines(self):
        with open(self.output.name, encoding="utf-8", newline="\n") as output:
            return output.read().splitlines()

    def posted(self):
        return [line[len("posted: "):] for line in self.lines() if line.startswith("posted: ")]

    def send(self, *commands):
        self.process.stdin.write("".join(command + "\n" for command in commands).encode())
        self.process.stdin.flush()

    def chat(self, *texts):
        """Raises each text as received chat, escaped as the host's commands want it."""
        escape = {"\\": "\\\\", "\r": "\\r", "\n": "\\n"}
        self.send(*("chat " + "".join(escape.get(c, c) for c in text) for text in texts))

    def stop(self):
        if self.process.poll() is None:
            self.send("quit")
            self.process.wait(5)
        self.process.stdin.close()
        self.output.close()


def is_a(node, role, name):
    return node is not None and node.getRoleName() == role and node.name == name


def extents(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def text_of(node):
    return node.queryText().getText(0, -1)


class Parlox:
    """One run of the real program. Unless an installed executable is given, it runs from a copy
    in a fresh folder, so the log that lands beside it never touches the build tree."""

    def __init__(self, test, executable=None):
        if not executable:
            executable = os.path.join(tempfile.mkdtemp(prefix="parlox-"), "parlox")
            shutil.copy2(os.path.join(BUILD_DIR, "parlox"), executable)
        self.executable = executable
        self.log_path = os.path.join(os.path.dirname(executable), "ParloxLog.txt")
        self.process = subprocess.Popen([executable])
        test.addCleanup(self.process.kill)
        self.app = wait_until(self.find_app, "Parlox on the accessibility bus")

    def find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        # The list of programs is kept from the first look; a program that came later may be
        # missing from it until it is asked for again.
        desktop.clearCache()
        return next((app for app in desktop if app is not None and app.get_process_id() == self.process.pid), None)

    def window(self, role, name):
        """The program's showing top-level window of this role and name, or None."""
        try:
            return next((w for w in self.app if is_a(w, role, name) and w.getState().contains(pyatspi.STATE_SHOWING)),
                        None)
        except GLib.GError:  # a window that went while it was looked at
            return None

    def find(self, role, name, below=None):
        return pyatspi.findDescendant(below or self.app, lambda node: is_a(node, role, name))

    def press(self, name, role="menu item"):
        """Does a menu item's or a button's action, as a click on it would."""
        self.find(role, name).queryAction().doAction(0)

    def main_window(self):
        return wait_until(lambda: self.window("frame", CAPTION), "the main window", 20)

    def x_window(self):
        return run("xdotool", "search", "--onlyvisible", "--name", "^" + re.escape(CAPTION) + "$").split()[0]

    def say(self, text):
        """Types a line into the entry box, where the focus is, and presses Enter."""
        run("xdotool", "windowfocus", "--sync", self.x_window())
        run("xdotool", "type", "--delay", "20", text)
        run("xdotool", "key", "Return")

    def log_text(self):
        """The log's text, or None while there is no log."""
        with contextlib.suppress(FileNotFoundError), open(self.log_path, "rb") as log:
            return log.read().decode("utf-8")

    def exit_status(self):
        return self.process.wait(10)
