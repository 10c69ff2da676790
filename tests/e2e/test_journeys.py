"""The real Parlox against the real substitute host, for what only a real start shows: that the
program wires its window to the host binding on the bus, the real waits and clock, the settings
file, the log folders, the window manager, the signals that end it and the screen reader; and that
it installs. What the window itself does with each of these is proven with a fake host by the
widget tests (tests/gui), the real message box by the Windows tests (tests/windows); the desktop
files are validated by the data tests (tests/data). Each case gets a fresh HOME.
"""

import os
import re
import signal
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

import pyatspi

from desktop import BUILD, CAPTION, TOP, Host, Parlox, find, run, start_display, start_window_manager, use_home, wait_until

# Texts a careless window would mangle or choke on: a line break, 100,000 characters, markup.
TEXTS = ["XX1ABC>two lines\r\nin one text", "XX2DEF>" + "ABCDEFGHIJ" * 10_000, "<b>markup</b>"]
# The settings file, as it stands after the first day.
STORED = "[Settings]\nDoubleSpace=False\nLogFile=True\nReadAloud=False\nScrnLeft=4500\nScrnTop=3000\nSound=False\n"

os.environ["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
start_display()
# Qt does not start the accessibility bus itself but joins it once it is up: it is up before Parlox starts.
pyatspi.Registry.getDesktop(0).childCount


def records(*texts):
    """A pattern for the log records of these texts, in this order: "dd-MMM-yy hh:mm text" and CR LF."""
    return "".join(r"\d\d-[A-Z][a-z][a-z]-\d\d \d\d:\d\d " + re.escape(text) + "\r\n" for text in texts)


class Journeys(unittest.TestCase):
    def setUp(self):
        self.settings = use_home(tempfile.mkdtemp(dir=TOP)) / ".config/Parlox/Parlox.conf"

    def test_ended_during_start_up(self):
        # Ended as a session's end, kill or Ctrl+C end a program (SIGTERM, SIGHUP, SIGINT) before its
        # window opens, here without a host, Parlox ends well and stores nothing.
        at_splash, at_box = Parlox(self), Parlox(self)
        at_splash.window("filler", "")
        at_splash.process.send_signal(signal.SIGTERM)
        at_splash.process.send_signal(signal.SIGINT)
        at_box.window("alert", "Parlox")  # Can Not Find EchoLink.
        at_box.process.send_signal(signal.SIGHUP)
        self.assertEqual((at_splash.process.wait(15), at_box.process.wait(15)), (0, 0))
        self.assertFalse(self.settings.exists())

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
        self.assertEqual(self.settings.read_text(), STORED)

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
        host.chat("XX3GHI>welcome <b>back</b>")
        wait_until(lambda: re.fullmatch(records("XX3GHI>welcome <b>back</b>"), parlox.log_text()), "the log")
        self.assertRegex(parlox.transcript(main), r"^\d\d:\d\d<XX3GHI>welcome <b>back</b>\n$")

        # Under a window manager, a text that comes while another program is active marks the window
        # as demanding attention until it is activated.
        start_window_manager()
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

        # The host is killed, once all it sent is shown: the transcript says so at once.
        host.chat("XX3GHI>73")
        wait_until(lambda: parlox.transcript(main).endswith("<XX3GHI>73\n"), "the last text before the end")
        gone = "*** EchoLink has gone away; chat has stopped until it comes back."
        host.process.kill()
        killed = time.monotonic()
        wait_until(lambda: re.search(r"\n\d\d:\d\d " + re.escape(gone) + "\n$", parlox.transcript(main)), "the notice")
        self.assertLess(time.monotonic() - killed, 1, "the host's going noticed late")
        # A line sent now is refused at once, and stays in the box for the host to come.
        parlox.say("still there?")
        box = parlox.window("alert", "Parlox")
        self.assertTrue(find(box, "label", "Your line was not sent.\r\nEchoLink has gone away."))
        find(box, "push button", "OK").queryAction().doAction(0)

        # Another host takes the name, reporting another call sign: Parlox attaches to it, says so, and
        # chat goes both ways again.
        host = Host(self, "--call", "XX4NEW-R")
        main = parlox.window("frame", "Parlox ~ XX4NEW ~ v 1.0.0")
        host.chat("XX2DEF>glad you are back")
        wait_until(lambda: parlox.transcript(main).endswith("<XX2DEF>glad you are back\n"), "the new host's text")
        parlox.say("")  # Enter sends the line kept in the box
        wait_until(lambda: host.posted() == ["still there?"], "the kept line at the new host")
        back = "*** EchoLink is back; chat goes on."
        said = records("XX3GHI>73", gone, back, "XX2DEF>glad you are back", "XX4NEW>still there?")
        wait_until(lambda: re.search(said + "$", parlox.log_text()), "the log of it all")

        # The session ends, and Parlox is told to end as a desktop's logout or a plain kill tells it
        # (SIGTERM): it stores the day's choices and ends well.
        parlox.press(main, "Double")
        parlox.process.terminate()
        self.assertEqual(parlox.process.wait(10), 0)
        stored = dict(re.findall(r"(\w+)=(.*)", self.settings.read_text()))
        self.assertEqual((stored["DoubleSpace"], stored["ScrnTop"], stored["ScrnLeft"]), ("True", "3000", "4500"))
