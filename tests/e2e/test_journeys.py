"""The real Parlox against the real substitute host, for what only a real start shows: that the
program wires its window to the host binding on the bus, the real waits and clock, the settings
file, the log folders, the window manager and the screen reader; and that it installs. What the
window itself does with each of these, and when EchoLink cannot be found, is proven with a fake
host by the widget tests (tests/gui), the real message box by the Windows tests (tests/windows);
the desktop files are validated by the data tests (tests/data).

Everything is looked at and acted on from outside the programs, as a person, a screen reader or
the host would: windows, menus and controls through the accessibility bus, keys through the X
server, and the lines the host was given, the log file and the settings file. The tests get a
desktop of their own: a virtual display of a fixed size and a private session bus, which starts the
accessibility bus when it is first asked for; each case gets a fresh HOME.
"""

import atexit
import contextlib
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

import pyatspi
from gi.repository import GLib

BUILD = os.environ["PARLOX_BUILD_DIR"]
CAPTION = "Parlox ~ N0CALL ~ v 1.0.0"
# Texts a careless window would mangle or choke on: a line break, 100,000 characters, markup.
TEXTS = ["XX1ABC>two lines\r\nin one text", "XX2DEF>" + "ABCDEFGHIJ" * 10_000, "<b>markup</b>"]
# The settings file, as it stands after the first day.
STORED = "[Settings]\nDoubleSpace=False\nLogFile=True\nReadAloud=False\nScrnLeft=4500\nScrnTop=3000\nSound=False\n"

TOP = tempfile.mkdtemp(prefix="parlox-e2e-")
# Installed program folders are made read-only; they are made writable again to go.
atexit.register(subprocess.run, ["sh", "-c", 'chmod -R u+w "$0" && rm -rf "$0"', TOP])
os.environ.update(XDG_RUNTIME_DIR=TOP, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
# The X server takes a free display number and says which, so that tests side by side never race for one.
_xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-dpi", "96", "-nolisten", "tcp"],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
os.environ["DISPLAY"] = ":" + _xvfb.stdout.readline().strip()
# What the bus starts later, the accessibility bus, shares them: tests side by side then never share its socket.
subprocess.run(["dbus-update-activation-environment", "DISPLAY", "XDG_RUNTIME_DIR"], check=True)
# Qt does not start the accessibility bus itself but joins it once it is up: it is up before Parlox starts.
pyatspi.Registry.getDesktop(0).childCount
atexit.register(_xvfb.terminate)


def wait_until(condition, what):
    deadline = time.monotonic() + 30
    while not (result := condition()):
        assert time.monotonic() < deadline, f"timed out after 30 s waiting for {what}"
        time.sleep(0.1)
    return result


def run(*command):
    """Runs an X tool; those that wait for a window (--sync) wait at most ten seconds."""
    return subprocess.run(command, check=True, capture_output=True, text=True, timeout=10).stdout


def records(*texts):
    """A pattern for the log records of these texts, in this order: "dd-MMM-yy hh:mm text" and CR LF."""
    return "".join(r"\d\d-[A-Z][a-z][a-z]-\d\d \d\d:\d\d " + re.escape(text) + "\r\n" for text in texts)


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

    def send(self, *commands):
        print(*commands, sep="\n", file=self.process.stdin, flush=True)

    def chat(self, *texts):
        """Raises each text as received chat, written as the host's commands want it."""
        self.send(*("chat " + t.translate(str.maketrans({"\\": "\\\\", "\r": "\\r", "\n": "\\n"})) for t in texts))


class Parlox:
    """One run of the real program, by default from a copy in a folder of its own, so that the
    log it keeps beside itself never lands in the build tree."""

    def __init__(self, test, executable=None, *wrapper):
        self.executable = executable or shutil.copy2(os.path.join(BUILD, "parlox"), tempfile.mkdtemp(dir=TOP))
        self.log_path = os.path.join(os.path.dirname(self.executable), "ParloxLog.txt")
        self.caption = CAPTION
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

    def press(self, window, name):
        """Does a menu item's action, as a click on it would."""
        find(window, "menu item", name).queryAction().doAction(0)

    def press_button(self, window, name):
        find(window, "push button", name).queryAction().doAction(0)

    def x_window(self):
        return run("xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(self.caption)}$").split()[0]

    def say(self, text):
        """Types a line into the entry box, where the focus is, and presses Enter."""
        run("xdotool", "windowfocus", "--sync", self.x_window())
        run("xdotool", "type", "--delay", "20", text + "\r")

    def transcript(self, main):
        return find(main, "text", "Chat transcript").queryText().getText(0, -1)

    def marked(self):
        """Whether the window manager shows the window as demanding attention."""
        return "_NET_WM_STATE_DEMANDS_ATTENTION" in run("xprop", "-id", self.x_window(), "_NET_WM_STATE")

    def log_text(self):
        """The log's text, empty while there is no log."""
        return Path(self.log_path).read_bytes().decode() if os.path.exists(self.log_path) else ""


class Journeys(unittest.TestCase):
    def setUp(self):
        home = tempfile.mkdtemp(dir=TOP)
        os.environ.update(HOME=home, XDG_CONFIG_HOME=home + "/.config", XDG_DATA_HOME=home + "/.local/share")

    def test_two_days(self):
        host = Host(self)
        started = time.monotonic()
        parlox = Parlox(self)
        splash = parlox.window("filler", "").queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.assertEqual((splash.x, splash.y), ((1024 - splash.width) // 2, (768 - splash.height) // 2))
        main = parlox.window("frame", CAPTION)
        self.assertIsNone(parlox.look("filler", ""), "the splash stays")
        self.assertGreaterEqual(time.monotonic() - started, 7, "start-up took less than its two waits")
        parlox.say("   hello there   ")
        wait_until(lambda: host.posted() == ["hello there"], "the trimmed line at the host")
        for item in ("On", "Single"):
            parlox.press(main, item)
        host.chat(*TEXTS)
        wait_until(lambda: re.fullmatch(records(*TEXTS), parlox.log_text()), "the texts logged in order")
        run("xdotool", "windowmove", "--sync", parlox.x_window(), "300", "200")
        parlox.press(main, "Exit")
        self.assertEqual(parlox.process.wait(10), 0)
        self.assertEqual(Path(os.environ["XDG_CONFIG_HOME"], "Parlox/Parlox.conf").read_text(), STORED)

        # The next day, installed, run by a user who cannot write to the program's folder (root can
        # write anywhere unless it gives that up): every choice back, the log in the user's data folder.
        prefix = tempfile.mkdtemp(dir=TOP)
        subprocess.run(["cmake", "--install", BUILD, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)
        keys = dict(re.findall(r"(\w+)=(.*)", Path(prefix, "share/applications/org.parlox.Parlox.desktop").read_text()))
        for path in ("metainfo/org.parlox.Parlox.metainfo.xml", f"icons/hicolor/scalable/apps/{keys['Icon']}.svg",
                     f"icons/hicolor/32x32/apps/{keys['Icon']}.png"):
            self.assertTrue(os.path.isfile(f"{prefix}/share/{path}"), path)
        os.chmod(prefix + "/bin", 0o555)
        parlox = Parlox(self, prefix + "/bin/" + keys["Exec"],
                        *(["setpriv", "--bounding-set=-dac_override"] if os.geteuid() == 0 else []))
        parlox.log_path = os.path.join(os.environ["XDG_DATA_HOME"], "Parlox", "ParloxLog.txt")
        main = parlox.window("frame", CAPTION)
        self.assertEqual(main.queryComponent().getPosition(pyatspi.DESKTOP_COORDS), (300, 200))
        self.assertTrue(find(main, "text", "Chat line to send") and find(main, "push button", "Send"))
        host.chat("XX3GHI>welcome <b>back</b>")
        wait_until(lambda: re.fullmatch(records("XX3GHI>welcome <b>back</b>"), parlox.log_text()), "the log")
        self.assertRegex(parlox.transcript(main), r"^\d\d:\d\d<XX3GHI>welcome <b>back</b>\n$")

        # Under a window manager, a text that comes while another program is active marks the window
        # as demanding attention until it is activated; back in it, Up and Enter send the last line again.
        self.addCleanup(subprocess.Popen(["openbox", "--sm-disable"], stderr=subprocess.DEVNULL).kill)
        wait_until(lambda: "window id #" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), "openbox")
        parlox.say("anyone on frequency?")
        wait_until(lambda: host.posted()[1:] == ["anyone on frequency?"], "the line at the host")
        self.addCleanup(subprocess.Popen(["xmessage", "-title", "elsewhere", "another program"]).kill)
        run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^elsewhere$", "windowactivate", "--sync")
        self.assertFalse(parlox.marked())
        # Qt hears of the switch a moment after the window manager has made it (its X11 plugin waits
        # 400 ms for focus to come back), and a text shown before then is seen in an active window:
        # texts keep coming until one is shown in the background.
        wait_until(lambda: host.chat("XX1ABC>you called?") or parlox.marked(), "the attention mark")
        run("xdotool", "windowactivate", "--sync", parlox.x_window())
        wait_until(lambda: not parlox.marked(), "the mark to clear")
        run("xdotool", "key", "Up", "Return")
        wait_until(lambda: host.posted()[1:] == ["anyone on frequency?"] * 2, "the line sent again")

        # The host is killed, once all it sent is shown: the transcript says so at once, and Send
        # refuses and keeps the line.
        host.chat("XX3GHI>73")
        wait_until(lambda: parlox.transcript(main).endswith("<XX3GHI>73\n"), "the last text before the end")
        gone = "*** EchoLink has gone away; chat has stopped until it comes back."
        host.process.kill()
        killed = time.monotonic()
        wait_until(lambda: re.search(r"\n\d\d:\d\d " + re.escape(gone) + "\n$", parlox.transcript(main)), "the notice")
        self.assertLess(time.monotonic() - killed, 1, "the host's going noticed late")
        parlox.say("still there?")
        box = parlox.window("alert", "Parlox")
        self.assertTrue(find(box, "label", "Your line was not sent.\r\nEchoLink has gone away."))
        parlox.press_button(box, "OK")
        wait_until(lambda: not parlox.look("alert", "Parlox"), "the box to go")
        self.assertEqual(find(main, "text", "Chat line to send").queryText().getText(0, -1), "still there?")

        # Another host takes the name, reporting another call sign: Parlox attaches to it, says so, and
        # chat goes both ways again.
        host = Host(self, "--call", "XX4NEW-R")
        parlox.caption = "Parlox ~ XX4NEW ~ v 1.0.0"
        main = parlox.window("frame", parlox.caption)
        back = "*** EchoLink is back; chat goes on."
        wait_until(lambda: re.search(r"\n\d\d:\d\d " + re.escape(back) + "\n$", parlox.transcript(main)), "the return")
        host.chat("XX2DEF>glad you are back")
        wait_until(lambda: parlox.transcript(main).endswith("<XX2DEF>glad you are back\n"), "the new host's text")
        parlox.say("")  # Enter sends the line kept in the box
        wait_until(lambda: host.posted() == ["still there?"], "the kept line at the new host")
        said = records("XX3GHI>73", gone, back, "XX2DEF>glad you are back", "XX4NEW>still there?")
        wait_until(lambda: re.search(said + "$", parlox.log_text()), "the log of it all")

        # The session ends, and Parlox is told to end as a desktop's logout or a plain kill tells it
        # (SIGTERM): it stores the day's choices and ends well.
        parlox.press(main, "Double")
        parlox.process.terminate()
        self.assertEqual(parlox.process.wait(10), 0)
        stored = dict(re.findall(r"(\w+)=(.*)", Path(os.environ["XDG_CONFIG_HOME"], "Parlox/Parlox.conf").read_text()))
        self.assertEqual((stored["DoubleSpace"], stored["ScrnTop"], stored["ScrnLeft"]), ("True", "3000", "4500"))
        self.assertEqual(sorted(os.listdir(os.path.dirname(parlox.executable))), ["parlox", "substitute-host"])
