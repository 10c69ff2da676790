"""What the end-to-end tests share: a desktop of their own (a virtual display of a fixed size, and
the private session bus they run on), the substitute host, and the real Parlox, looked at and
acted on from outside as a person or a screen reader would: windows, menus and controls through
the accessibility bus, keys through the X server, and the lines the host was given."""

import atexit
import contextlib
import os
import re
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

import pyatspi
from gi.repository import GLib

BUILD = os.environ["PARLOX_BUILD_DIR"]
CAPTION = "Parlox ~ N0CALL ~ v 1.0.0"
TOP = tempfile.mkdtemp(prefix="parlox-e2e-")
# Installed program folders are made read-only; they are made writable again to go.
atexit.register(subprocess.run, ["sh", "-c", 'chmod -R u+w "$0" && rm -rf "$0"', TOP])


def use_home(home):
    os.environ.update(HOME=str(home), XDG_CONFIG_HOME=f"{home}/.config", XDG_DATA_HOME=f"{home}/.local/share")
    return Path(home)


def start_display(*shared):
    """Starts the X server, which takes a free display number and says which, so that tests side
    by side never race for one; it never resets, as it would when its last client leaves, and
    turn away the next one meanwhile. What the session bus starts later shares the display, the
    runtime folder (and so never another test's socket) and the variables named."""
    os.environ.update(XDG_RUNTIME_DIR=TOP, QT_QPA_PLATFORM="xcb")
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-dpi", "96", "-nolisten", "tcp", "-noreset"],
        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    atexit.register(xvfb.terminate)
    os.environ["DISPLAY"] = ":" + xvfb.stdout.readline().strip()
    subprocess.run(["dbus-update-activation-environment", "DISPLAY", "XDG_RUNTIME_DIR", *shared], check=True)


def start_window_manager():
    atexit.register(subprocess.Popen(["openbox", "--sm-disable"], stderr=subprocess.DEVNULL).terminate)
    wait_until(lambda: "window id #" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), "openbox")


def wait_until(condition, what, seconds=30):
    deadline = time.monotonic() + seconds
    while not (result := condition()):
        assert time.monotonic() < deadline, f"timed out after {seconds} s waiting for {what}"
        time.sleep(0.1)
    return result


def run(*command):
    """Runs an X tool; those that wait for a window (--sync) wait at most ten seconds."""
    return subprocess.run(command, check=True, capture_output=True, text=True, timeout=10).stdout


def find(below, role, name):
    return pyatspi.findDescendant(below, lambda node: node.getRoleName() == role and node.name == name)


class Host:
    """build/substitute-host, fed commands through a pipe; its output goes to a file, as it would
    block on a pipe that nobody reads."""

    def __init__(self, test, *arguments):
        self.out = tempfile.NamedTemporaryFile(dir=TOP)
        self.process = subprocess.Popen([BUILD + "/substitute-host", *arguments], stdin=subprocess.PIPE,
                                        stdout=self.out, text=True)
        test.addCleanup(self.process.kill)
        wait_until(lambda: "ready\n" in Path(self.out.name).read_text(), "the host to own its name")

    def posted(self):
        return re.findall("^posted: (.*)$", Path(self.out.name).read_text(), re.MULTILINE)

    def chat(self, *texts):
        """Raises each text as received chat, written as the host's commands want it."""
        escapes = str.maketrans({"\\": "\\\\", "\r": "\\r", "\n": "\\n", "\t": "\\t"})
        commands = ("chat " + text.translate(escapes) for text in texts)
        print(*commands, sep="\n", file=self.process.stdin, flush=True)


class Parlox:
    """One run of the real program, by default from a copy in a folder of its own, so that the
    log it keeps beside itself never lands in the build tree."""

    def __init__(self, test, executable=None, *wrapper):
        self.executable = executable or shutil.copy2(os.path.join(BUILD, "parlox"), tempfile.mkdtemp(dir=TOP))
        self.process = subprocess.Popen([*wrapper, self.executable])
        test.addCleanup(self.process.kill)

    def look(self, role, name):
        """The program's showing top-level window of this role and name, or None."""
        desktop = pyatspi.Registry.getDesktop(0)
        desktop.clearCache()  # else a program that came after the first look stays unseen
        with contextlib.suppress(GLib.GError):  # a window that went while it was looked at
            app = next((app for app in desktop if app and app.get_process_id() == self.process.pid), [])
            return next((w for w in app if w and w.getRoleName() == role and w.name == name
                         and w.getState().contains(pyatspi.STATE_SHOWING)), None)

    def window(self, role, name):
        return wait_until(lambda: self.look(role, name), f"the {role} {name!r}")

    def x_window(self):
        """The X window of the program's one showing window."""
        return run("xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid)).split()[0]

    def transcript(self, main):
        return find(main, "text", "Chat transcript").queryText().getText(0, -1)

    def marked(self):
        """Whether the window manager shows the window as demanding attention."""
        return "_NET_WM_STATE_DEMANDS_ATTENTION" in run("xprop", "-id", self.x_window(), "_NET_WM_STATE")
