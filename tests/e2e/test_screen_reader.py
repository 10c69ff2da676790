"""The real Parlox read aloud by the real screen reader: Debian's Orca, on a desktop of the test's
own (a virtual display, openbox, a private session bus, the accessibility bus started as a desktop
starts it when the user has turned the screen reader on). Orca speaks through the real
speech-dispatcher, which plays into the null audio driver, so no sound card is needed; the sound
for new chat plays into a file through the ALSA configuration of the test's HOME.

What is heard is read where each program records it: Orca's debug file holds every text it sends
to speech ("SPEECH OUTPUT: '...'") and to braille ("BRAILLE LINE: '...'"), and speech-dispatcher's
log every text a client hands it. The window is driven as its user would: the menus through the
accessibility bus, or with keys alone.
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

BUILD = os.environ["PARLOX_BUILD_DIR"]
CAPTION = "Parlox ~ N0CALL ~ v 1.0.0"
# As the substitute host's command line takes them: a tab written as \\t.
AWKWARD = ["XX1ABC>" + "ABCDEFGHIJ" * 100_000, "<<b>></b>", "XX2DEF>bell\x07\\ttab", "XX3GHI>\u05e9\u05dc\u05d5\u05dd",
           "XX4JKL>\U0001F4FB\U0001F44B"]
TOP = tempfile.mkdtemp(prefix="parlox-reader-")
atexit.register(subprocess.run, ["rm", "-rf", TOP])
HOME = Path(TOP, "home")
SOUND = Path(TOP, "sound.raw")
SPEECHD_LOG = Path(TOP, "speechd")
ORCA_DEBUG = Path(TOP, "orca.out")


def desktop():
    """The desktop's settings: speech into the null audio driver, speech-dispatcher's log with
    every text, sound into a file, and Orca's debug file written line by line (Orca leaves it
    buffered, so that a test would see it only after Orca has quit)."""
    HOME.mkdir()
    (HOME / ".libao").write_text("default_driver=null\n")
    (HOME / ".asoundrc").write_text(f'pcm.!default {{ type file slave.pcm "null" file "|cat >> {SOUND}" format "raw" }}\n')
    speechd = HOME / ".config/speech-dispatcher"
    speechd.mkdir(parents=True)
    (speechd / "speechd.conf").write_text(Path("/etc/speech-dispatcher/speechd.conf").read_text()
                                          + f'\nAudioOutputMethod "libao"\nLogLevel 5\nLogDir "{SPEECHD_LOG}"\n')
    SPEECHD_LOG.mkdir()
    site = Path(TOP, "orca-site")
    site.mkdir()
    (site / "sitecustomize.py").write_text(
        "import builtins, os\n"
        "_open = builtins.open\n"
        "def open(file, mode='r', buffering=-1, *rest, **named):\n"
        "    if file == os.environ.get('ORCA_DEBUG_FILE'):\n"
        "        buffering = 1\n"
        "    return _open(file, mode, buffering, *rest, **named)\n"
        "builtins.open = open\n")
    os.environ.update(HOME=str(HOME), XDG_CONFIG_HOME=str(HOME / ".config"),
                      XDG_DATA_HOME=str(HOME / ".local/share"), XDG_RUNTIME_DIR=TOP, QT_QPA_PLATFORM="xcb")
    os.environ.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)


def start(*command, **options):
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **options)
    # Terminated, not killed: the bus launcher then ends the bus it started.
    atexit.register(process.terminate)
    return process


def wait_until(condition, what, seconds=30):
    deadline = time.monotonic() + seconds
    while not (result := condition()):
        assert time.monotonic() < deadline, f"timed out after {seconds} s waiting for {what}"
        time.sleep(0.1)
    return result


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True, timeout=10).stdout


def owned(name):
    return subprocess.run(["gdbus", "call", "--session", "--dest", "org.freedesktop.DBus", "--object-path", "/",
                           "--method", "org.freedesktop.DBus.NameHasOwner", name],
                          capture_output=True, text=True).stdout.strip() == "(true,)"


desktop()
_xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-dpi", "96", "-nolisten", "tcp"],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
atexit.register(_xvfb.terminate)
os.environ["DISPLAY"] = ":" + _xvfb.stdout.readline().strip()
# What the session bus starts later (the registry, speech-dispatcher) shares the test's desktop.
subprocess.run(["dbus-update-activation-environment", "DISPLAY", "XDG_RUNTIME_DIR", "HOME", "XDG_CONFIG_HOME"],
               check=True)
# As a desktop starts it once the user has turned the screen reader on; the desktop's settings
# store, which says so elsewhere, is not here.
start("/usr/libexec/at-spi-bus-launcher", "--launch-immediately", "--screen-reader=1")
wait_until(lambda: owned("org.a11y.Bus"), "the accessibility bus")
start("openbox", "--sm-disable")
wait_until(lambda: "window id #" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), "openbox")

import pyatspi  # noqa: E402  (only once the accessibility bus is the screen reader's)

# Orca, for the whole module: the case that reads aloud ends it.
os.environ["ORCA_DEBUG_FILE"] = str(ORCA_DEBUG)
ORCA = start("orca", "--replace", "--debug-file", ORCA_DEBUG, "-u", Path(TOP, "orca-prefs"),
             env=dict(os.environ, PYTHONPATH=str(Path(TOP, "orca-site"))))


def spoken():
    """What Orca said, each text as it was said, its lines as they were (the debug file indents
    all lines but the first)."""
    return [re.sub(r"\n\s+", "\n", said) for said in re.findall(r"SPEECH OUTPUT: '(.*?)' ?(?:\{[^}\n]*\})?$", ORCA_DEBUG.read_text(errors="replace"),
                      re.MULTILINE | re.DOTALL)]


def brailled():
    return [re.sub(r"\n\s+", "\n", line) for line in
            re.findall(r"BRAILLE LINE:\s+'(.*?)'$", ORCA_DEBUG.read_text(errors="replace"), re.MULTILINE | re.DOTALL)]


def heard(text, said):
    """Whether the text was said; Orca ends a sentence with a full stop where it has none."""
    return text in said or text + "." in said


def voiced():
    """The texts that clients handed to speech-dispatcher, as it reads them."""
    logs = SPEECHD_LOG.glob("speech-dispatcher.log")
    return [said for log in logs
            for said in re.findall(r"MSG after index marking: \|(.*?)\|$", log.read_text(), re.MULTILINE | re.DOTALL)]


def setUpModule():
    wait_until(lambda: ORCA_DEBUG.exists() and "Screen reader on." in spoken(), "Orca to start")


def find(below, role, name):
    return pyatspi.findDescendant(below, lambda node: node.getRoleName() == role and node.name == name)


class Host:
    """build/substitute-host, fed commands through a pipe."""

    def __init__(self, test):
        self.out = tempfile.NamedTemporaryFile(dir=TOP)
        self.process = subprocess.Popen(BUILD + "/substitute-host", stdin=subprocess.PIPE, stdout=self.out, text=True)
        test.addCleanup(self.out.close)
        test.addCleanup(self.process.kill)
        wait_until(lambda: "ready\n" in Path(self.out.name).read_text(), "the host to own its name")

    def posted(self):
        return re.findall("^posted: (.*)$", Path(self.out.name).read_text(), re.MULTILINE)

    def send(self, *commands):
        print(*commands, sep="\n", file=self.process.stdin, flush=True)

    def chat(self, *texts):
        self.send(*("chat " + text for text in texts))


class ScreenReader(unittest.TestCase):
    def setUp(self):
        # Each case starts as a first run: the choices another case stored are gone.
        shutil.rmtree(HOME / ".config/Parlox", ignore_errors=True)

    def speaks(self, text, what):
        """Waits until Orca has spoken the text and put it on braille."""
        try:
            wait_until(lambda: heard(text, spoken()) and text in brailled(), what)
        except AssertionError as failure:
            raise AssertionError(f"{failure}; last spoken {spoken()[-8:]}, brailled {brailled()[-4:]}") from None

    def sound_played(self):
        """How much sound has been played, once it has stopped for a second; each play goes on
        the end of the file, so that plays at the same time add up too."""
        sizes = [-1] * 10

        def stopped():
            sizes.append(SOUND.stat().st_size if SOUND.exists() else 0)
            return sizes[-1] == sizes[-11] > 0

        wait_until(stopped, "the sound to be played")
        return sizes[-1]

    def checked(self, item):
        return item.getState().contains(pyatspi.STATE_CHECKED)

    def start(self):
        """Starts the host and Parlox; the main window once it shows, and its X window."""
        self.host = Host(self)
        self.parlox = subprocess.Popen([BUILD + "/parlox"], cwd=TOP)
        self.addCleanup(self.parlox.kill)
        desktop = pyatspi.Registry.getDesktop(0)

        def window():
            desktop.clearCache()
            with contextlib.suppress(StopIteration):
                app = next(app for app in desktop if app and app.get_process_id() == self.parlox.pid)
                return next((w for w in app if w.name == CAPTION and w.getState().contains(pyatspi.STATE_SHOWING)),
                            None)

        main = wait_until(window, "the main window")
        entry = find(main, "text", "Chat line to send")
        wait_until(lambda: entry.getState().contains(pyatspi.STATE_FOCUSED), "the entry line to have the focus")
        return main, run("xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(CAPTION)}$").split()[0]

    def close(self):
        self.host.send("closing")
        self.assertEqual(self.parlox.wait(10), 0)

    def test_read_aloud(self):
        main, x_window = self.start()
        host = self.host
        read_aloud, sound = (find(main, "menu item", name) for name in ("Read Aloud", "Sound"))
        # Nothing stored yet, and a screen reader runs: Read Aloud is on.
        self.assertTrue(self.checked(read_aloud))
        self.assertFalse(self.checked(sound))

        # The entry line has the focus; markup is read as the characters it is.
        host.chat("XX1ABC>hello <b>there</b>")
        self.speaks("XX1ABC: hello <b>there</b>", "the line read in front")

        # The user's own line was echoed key by key as it was typed, and is not read again.
        run("xdotool", "type", "--delay", "20", "my own line\r")
        wait_until(lambda: host.posted() == ["my own line"], "the user's line at the host")
        host.chat("XX2DEF>after your line")
        self.speaks("XX2DEF: after your line", "the line after the user's own")
        self.assertEqual([said for said in spoken() if "my own line" in said], [])

        # Another window in front, then Parlox minimised.
        self.addCleanup(subprocess.Popen(["xmessage", "-title", "elsewhere", "another program"]).kill)
        run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^elsewhere$", "windowactivate", "--sync")
        host.chat("XX3GHI>from behind")
        self.speaks("XX3GHI: from behind", "the line read from behind")
        run("xdotool", "windowminimize", "--sync", x_window)
        host.chat("XX4JKL>while minimised")
        self.speaks("XX4JKL: while minimised", "the line read while minimised")

        # Read Aloud off: nothing is read; the line read once it is on again shows that the
        # one before would have been read by then.
        read_aloud.queryAction().doAction(0)
        wait_until(lambda: not self.checked(read_aloud), "Read Aloud off")
        host.chat("XX5MNO>not for the ear")
        transcript = find(main, "text", "Chat transcript").queryText()
        wait_until(lambda: "not for the ear" in transcript.getText(0, -1), "the line shown")
        read_aloud.queryAction().doAction(0)
        wait_until(lambda: self.checked(read_aloud), "Read Aloud on")
        host.chat("XX6PQR>heard again")
        self.speaks("XX6PQR: heard again", "the line read once Read Aloud is on again")
        self.assertEqual([said for said in spoken() if "not for the ear" in said], [])

        # With Sound on, a tick of two texts plays the sound once and reads both together.
        sound.queryAction().doAction(0)
        wait_until(lambda: self.checked(sound), "Sound on")
        self.assertFalse(SOUND.exists())
        host.chat("XX7STU>one", "XX8VWX>two")
        self.speaks("XX7STU: one\nXX8VWX: two", "the tick's two texts read together")
        played = self.sound_played()

        # Texts a careless route would choke on, in one tick: a megabyte, only markup, control
        # characters, right-to-left text and emoji. The first three are read, cut where long.
        host.chat(*AWKWARD)
        self.assertEqual(self.sound_played(), 2 * played, "not one sound for each of two ticks")
        self.speaks("XX1ABC: " + "ABCDEFGHIJ" * 29 + "AB, and more\n<<b>></b>\nXX2DEF: bell tab\n"
                    "and 2 more lines", "the awkward texts read")

        # The screen reader quits (here it crashes): the next texts go to speech-dispatcher.
        ORCA.kill()
        ORCA.wait()
        host.chat("XX9YZA>for the <b>system</b> voice")
        wait_until(lambda: "<speak>XX9YZA: for the &lt;b&gt;system&lt;/b&gt; voice</speak>" in voiced(),
                   "the line handed to the system voice, its markup as text")
        host.chat(*AWKWARD)
        wait_until(lambda: any(said.endswith("and 2 more lines</speak>") for said in voiced()),
                   "the awkward texts handed to the system voice")
        self.assertNotIn("<speak>XX1ABC: hello &lt;b&gt;there&lt;/b&gt;</speak>", voiced(),
                         "what the screen reader read, spoken by the system voice too")
        self.close()

    def test_menu_by_keys(self):
        main, _ = self.start()
        read_aloud, sound = (find(main, "menu item", name) for name in ("Read Aloud", "Sound"))
        reading = self.checked(read_aloud)
        # Alt, right to Announce, down into it and to its second item.
        run("xdotool", "key", "--delay", "200", "alt", *["Right"] * 5, "Down", "Down", "Return")
        wait_until(lambda: self.checked(read_aloud) != reading, "Read Aloud switched by Alt and the arrows", 10)
        # F10 opens the first menu; right to Announce, whose first item is Sound.
        run("xdotool", "key", "--delay", "200", "F10", *["Right"] * 5, "Return")
        wait_until(lambda: self.checked(sound), "Sound on by F10 and the arrows", 10)
        self.close()


def tearDownModule():
    # speech-dispatcher was started for the test's session and outlives Orca and Parlox.
    pid_file = Path(TOP, "speech-dispatcher/pid/speech-dispatcher.pid")
    with contextlib.suppress(FileNotFoundError, ProcessLookupError, ValueError):
        os.kill(int(pid_file.read_text()), 15)
