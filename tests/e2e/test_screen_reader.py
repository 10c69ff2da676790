"""The real Parlox read aloud by the real screen reader: Debian's Orca, on a desktop of the test's
own (a virtual display, openbox, a private session bus, the accessibility bus started as a desktop
starts it when the user has turned the screen reader on). Orca speaks through the real
speech-dispatcher, which plays into the null audio driver, so no sound card is needed; the sound
for new chat plays into a file through the ALSA configuration of the test's HOME.

What is heard is read where each program records it: Orca's debug file holds every text it sends
to speech ("SPEECH OUTPUT: '...'") and to braille ("BRAILLE LINE: '...'"), and speech-dispatcher's
log every text a client hands it. The window is driven as its user would, with keys alone.
"""

import atexit
import contextlib
import os
import re
import subprocess
import unittest
from pathlib import Path

from desktop import CAPTION, TOP, Host, Parlox, find, run, start_display, start_window_manager, use_home, wait_until

SOUND = Path(TOP, "sound.raw")
SPEECHD_LOG = Path(TOP, "speechd")
ORCA_DEBUG = Path(TOP, "orca.out")


def start(*command, **options):
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **options)
    # Terminated, not killed: the bus launcher then ends the bus it started.
    atexit.register(process.terminate)
    return process


# The desktop's settings: speech into the null audio driver, speech-dispatcher's log with every
# text, sound into a file, and Orca's debug file written line by line (Orca leaves it buffered, so
# that a test would see it only after Orca has quit).
HOME = use_home(Path(TOP, "home"))
os.environ.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
(HOME / ".config/speech-dispatcher").mkdir(parents=True)
(HOME / ".libao").write_text("default_driver=null\n")
(HOME / ".asoundrc").write_text(f'pcm.!default {{ type file slave.pcm "null" file "|cat >> {SOUND}" format "raw" }}\n')
(HOME / ".config/speech-dispatcher/speechd.conf").write_text(
    Path("/etc/speech-dispatcher/speechd.conf").read_text()
    + f'\nAudioOutputMethod "libao"\nLogLevel 5\nLogDir "{SPEECHD_LOG}"\n')
SPEECHD_LOG.mkdir()
Path(TOP, "orca-site").mkdir()
Path(TOP, "orca-site/sitecustomize.py").write_text(
    "import builtins, functools\nbuiltins.open = functools.partial(builtins.open, buffering=1)\n")
# What the session bus starts later (the registry, speech-dispatcher) shares the test's desktop.
start_display("HOME", "XDG_CONFIG_HOME")
# As a desktop starts it once the user has turned the screen reader on; the desktop's settings
# store, which says so elsewhere, is not here.
start("/usr/libexec/at-spi-bus-launcher", "--launch-immediately", "--screen-reader=1")
run("gdbus", "wait", "--session", "--timeout", "10", "org.a11y.Bus")
start_window_manager()

import pyatspi  # noqa: E402  (only once the accessibility bus is the screen reader's)

# Orca, for the whole module; the test ends it.
ORCA = start("orca", "--replace", "--debug-file", ORCA_DEBUG, "-u", Path(TOP, "orca-prefs"),
             env=dict(os.environ, PYTHONPATH=str(Path(TOP, "orca-site"))))


def orca_output(pattern):
    """What Orca sent to speech or braille, each text as it was sent, its lines as they were (the
    debug file indents all lines but the first)."""
    found = re.findall(pattern, ORCA_DEBUG.read_text(errors="replace"), re.MULTILINE | re.DOTALL)
    return [re.sub(r"\n\s+", "\n", text) for text in found]


def spoken():
    return orca_output(r"SPEECH OUTPUT: '(.*?)' ?(?:\{[^}\n]*\})?$")


def brailled():
    return orca_output(r"BRAILLE LINE:\s+'(.*?)'$")


def voiced():
    """The texts that clients handed to speech-dispatcher, as it reads them."""
    log = (SPEECHD_LOG / "speech-dispatcher.log").read_text()
    return re.findall(r"MSG after index marking: \|(.*?)\|$", log, re.MULTILINE | re.DOTALL)


wait_until(lambda: ORCA_DEBUG.exists() and "Screen reader on." in spoken(), "Orca to start")


class ScreenReader(unittest.TestCase):
    def speaks(self, text, what):
        """Waits until Orca has spoken the text (ending it with a full stop where it has none) and put
        it on braille."""
        wait_until(lambda: {text, text + "."} & set(spoken()) and text in brailled(), what)

    def test_read_aloud(self):
        host, parlox = Host(self), Parlox(self)
        main = parlox.window("frame", CAPTION)

        # Nothing stored yet, and a screen reader runs: Read Aloud is on. Markup is read as the
        # characters it is.
        host.chat("XX1ABC>hello <b>there</b>")
        self.speaks("XX1ABC: hello <b>there</b>", "the line read in front")

        # Sound on by keys alone: F10 opens the first menu, and the arrows go on, past View Log, to
        # Announce, whose first item it is. Then, with Parlox minimised, a tick of two texts plays the
        # sound and is read as one.
        sound = find(main, "menu item", "Sound")
        run("xdotool", "windowactivate", "--sync", parlox.x_window())
        run("xdotool", "key", "--delay", "200", "F10", *["Right"] * 5, "Return")
        wait_until(lambda: sound.getState().contains(pyatspi.STATE_CHECKED), "Sound on by F10 and the arrows", 10)
        run("xdotool", "windowminimize", "--sync", parlox.x_window())
        host.chat("XX7STU>one", "XX8VWX>two")
        self.speaks("XX7STU: one\nXX8VWX: two", "the tick's two texts read together while minimised")
        wait_until(lambda: SOUND.exists() and SOUND.stat().st_size > 0, "the sound to be played")

        # The screen reader quits (here it crashes): the next texts go to speech-dispatcher, and
        # only those.
        ORCA.kill()
        ORCA.wait()
        host.chat("XX9YZA>for the <b>system</b> voice")
        wait_until(lambda: "<speak>XX9YZA: for the &lt;b&gt;system&lt;/b&gt; voice</speak>" in voiced(),
                   "the line handed to the system voice, its markup as text")
        self.assertNotIn("<speak>XX1ABC: hello &lt;b&gt;there&lt;/b&gt;</speak>", voiced(),
                         "what the screen reader read, spoken by the system voice too")


def tearDownModule():
    # speech-dispatcher was started for the test's session and outlives Orca and Parlox.
    pid_file = Path(TOP, "speech-dispatcher/pid/speech-dispatcher.pid")
    with contextlib.suppress(FileNotFoundError, ProcessLookupError, ValueError):
        os.kill(int(pid_file.read_text()), 15)
