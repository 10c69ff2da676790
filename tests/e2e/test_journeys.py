"""The real Parlox, installed, against the real substitute host, for what only a real start shows:
that the program wires its window to the host binding on the bus, the settings file, the log
folder, the window manager and the signal that ends it. What the window itself does with each of
these is proven with a fake host by the widget tests (tests/gui), the real message box by the
Windows tests (tests/windows); the desktop files are validated by the data tests (tests/data).
"""

import os
import re
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

import pyatspi

from desktop import BUILD, CAPTION, TOP, Host, Parlox, find, run, start_display, start_window_manager, use_home, wait_until

# Texts a careless window would mangle or choke on: a line break, 100,000 characters, markup.
TEXTS = ["XX1ABC>two lines\r\nin one text", "XX2DEF>" + "ABCDEFGHIJ" * 10_000, "<b>markup</b>"]

os.environ["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
start_display()
# Qt does not start the accessibility bus itself but joins it once it is up: it is up before Parlox starts.
pyatspi.Registry.getDesktop(0).childCount


class Journeys(unittest.TestCase):
    def test_a_day(self):
        # Installed, and run by a user who cannot write to the program's folder (root can write
        # anywhere unless it gives that up), with the choices of a day before.
        settings = use_home(tempfile.mkdtemp(dir=TOP)) / ".config/Parlox/Parlox.conf"
        settings.parent.mkdir(parents=True)
        settings.write_text("[Settings]\nDoubleSpace=False\nLogFile=True\nScrnLeft=4500\nScrnTop=3000\n")
        prefix = tempfile.mkdtemp(dir=TOP)
        subprocess.run(["cmake", "--install", BUILD, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)
        keys = dict(re.findall(r"(\w+)=(.*)", Path(prefix, "share/applications/org.parlox.Parlox.desktop").read_text()))
        os.chmod(prefix + "/bin", 0o555)
        host = Host(self)
        parlox = Parlox(self, prefix + "/bin/" + keys["Exec"],
                        *(["setpriv", "--bounding-set=-dac_override"] if os.geteuid() == 0 else []))
        main = parlox.window("frame", CAPTION)
        self.assertIsNone(parlox.look("filler", ""), "the splash stays")
        self.assertEqual(main.queryComponent().getPosition(pyatspi.DESKTOP_COORDS), (300, 200))
        # Each text logged as it came, "dd-MMM-yy hh:mm text" and CR LF, in the user's data folder.
        host.chat(*TEXTS)
        log = Path(os.environ["XDG_DATA_HOME"], "Parlox", "ParloxLog.txt")
        records = "".join(r"\d\d-[A-Z][a-z][a-z]-\d\d \d\d:\d\d " + re.escape(text) + "\r\n" for text in TEXTS)
        wait_until(lambda: log.exists() and re.fullmatch(records, log.read_bytes().decode()), "the texts logged")

        # Under a window manager, a text that comes while another program is active marks the window
        # as demanding attention until it is activated. The texts before came to a window never active.
        start_window_manager()
        run("xdotool", "windowactivate", "--sync", parlox.x_window())
        self.addCleanup(subprocess.Popen(["xmessage", "-title", "elsewhere", "another program"]).kill)
        run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^elsewhere$", "windowactivate", "--sync")
        # Qt hears of the switch a moment after the window manager has made it (its X11 plugin waits
        # 400 ms for focus to come back), and a text shown before then is seen in an active window:
        # texts keep coming until one is shown in the background.
        wait_until(lambda: host.chat("XX1ABC>you called?") or parlox.marked(), "the attention mark")
        run("xdotool", "windowactivate", "--sync", parlox.x_window())
        wait_until(lambda: not parlox.marked(), "the mark to clear")

        # The host is killed: the transcript says so at once.
        host.process.kill()
        killed = time.monotonic()
        gone = "*** EchoLink has gone away; chat has stopped until it comes back."
        wait_until(lambda: parlox.transcript(main).endswith(gone + "\n"), "the notice")
        self.assertLess(time.monotonic() - killed, 1, "the host's going noticed late")

        # Another host takes the name, reporting another call sign: Parlox attaches to it, says so, and
        # a line goes to it.
        host = Host(self, "--call", "XX4NEW-R")
        main = parlox.window("frame", "Parlox ~ XX4NEW ~ v 1.0.0")
        run("xdotool", "type", "--delay", "20", "still there?\r")  # the entry box has the focus
        wait_until(lambda: host.posted() == ["still there?"], "the line at the new host")

        # The session ends, and Parlox is told to end as a desktop's logout or a plain kill tells it
        # (SIGTERM): it stores the day's choices and ends well.
        find(main, "menu item", "Double").queryAction().doAction(0)
        parlox.process.terminate()
        self.assertEqual(parlox.process.wait(10), 0)
        stored = dict(re.findall(r"(\w+)=(.*)", settings.read_text()))
        self.assertEqual((stored["DoubleSpace"], stored["ScrnTop"], stored["ScrnLeft"]), ("True", "3000", "4500"))
