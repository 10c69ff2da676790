"""Parlox for Windows as an operator lives it: the real 32-bit parlox.exe under Wine, installed by
its installer, unpacked from its zip or copied from the program folder, against the stand-in
EchoLink of tests/host/com (a 32-bit local server that COM starts with Parlox's environment, so
the events it plays and the record it keeps are those of the run). Everything is looked at from
outside: the windows through the X server, the stand-in's record, the log, the registry (through
the 32-bit reg.exe, which sees it as Parlox does) and the exit status. What Parlox does inside
its window is proved by its widget tests, which also run under Wine.

The test runs in a mount namespace of its own (unshare, see CMakeLists.txt), where a read-only
bind mount stands for a program folder a user cannot write. Wine's server opens the files for
its programs, so each case starts a wineserver of its own in there, which also ends whatever an
earlier case left running.
"""


import os, re, shutil, subprocess, tempfile, time, unittest
from xml.etree import ElementTree
from pathlib import Path

BUILD = Path(os.environ["PARLOX_BUILD_DIR"])
OUT = BUILD / "windows"
PROGRAM = OUT / "Parlox"
LOCAL = Path(os.environ["WINEPREFIX"], "drive_c", "users", os.environ.get("USER", "root"), "AppData", "Local")
INSTALLED = LOCAL / "Programs" / "Parlox"
LINK = LOCAL.parent / "Roaming" / "Microsoft" / "Windows" / "Start Menu" / "Programs" / "Parlox.lnk"
UNINSTALL = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Parlox"
SETTINGS = r"HKCU\Software\VB and VBA Program Settings\Parlox\Settings"
KEYS = ["DoubleSpace", "LogFile", "ReadAloud", "ScrnLeft", "ScrnTop", "Sound"]
CAPTION = r"^Parlox ~ N0CALL ~ v 1\.0\.0$"
SENT, RECEIVED = "Grüße aus Köln, 73 €", "XX1ABC>Schöne Grüße € 日本"
GONE = "*** EchoLink has gone away; chat has stopped. Start EchoLink, then Parlox again."
RELEASED = ["unsubscribed", "released EventObject", "released SetupConfig", "released SysopConfig"]
QUIET = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def logged(path, *texts):
    """Whether the log holds just these records: "dd-MMM-yy hh:mm " and the text, in the ANSI code
    page (1252 here, with "?" for what it lacks)."""
    stamp = rb"\d\d-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-\d\d \d\d:\d\d "
    records = (stamp + re.escape(text.encode("cp1252", "replace")) + b"\r\n" for text in texts)
    return re.fullmatch(b"".join(records), read(path))


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, stdin=subprocess.DEVNULL, timeout=60)


def registry(*arguments):
    return run("wine", r"C:\windows\syswow64\reg.exe", *arguments)


def stored():
    return dict(re.findall(r"^ +(\w+) +REG_SZ +(.*)$", registry("query", SETTINGS).stdout, re.M))


def read(path):
    return path.read_bytes() if path.exists() else b""


def files(folder):
    return sorted(str(path.relative_to(folder)) for path in folder.rglob("*") if path.is_file())


def windows(name):
    """The viewable windows of that name (a regular expression), the one in front last."""
    return run("xdotool", "search", "--onlyvisible", "--name", name).stdout.split()


def send(line):
    """Types the line into the window that has the keyboard, and Enter."""
    run("xdotool", "type", "--delay", "30", line)
    run("xdotool", "key", "Return")


class Windows(unittest.TestCase):
    def setUp(self):
        for command in (["wineserver", "-k"], ["wineserver", "-p"], ["wine64", "cmd", "/c", "exit"]):
            subprocess.run(command, timeout=120, **QUIET)
        self.addCleanup(subprocess.run, ["wineserver", "-k"], timeout=60)
        run("wine", BUILD / "win32" / "bin" / "standin-server.exe", "/RegServer")
        registry("delete", SETTINGS, "/f")
        registry("add", SETTINGS, "/v", "LogFile", "/d", "True", "/f")
        self.log = PROGRAM / "ParloxLog.txt"
        self.log.unlink(missing_ok=True)
        self.addCleanup(self.log.unlink, missing_ok=True)

    def until(self, condition, seconds, what):
        deadline = time.monotonic() + seconds
        while not (result := condition()) and time.monotonic() < deadline:
            time.sleep(0.1)
        return result or self.fail(f"waited {seconds} s in vain for {what}; EchoLink's record: {self.recorded()}")

    def start(self, folder, *events):
        """Parlox from that folder, finding only the DLLs in it (not those of the session's WINEPATH),
        against a stand-in EchoLink that plays these events."""
        self.record = Path(tempfile.mkdtemp(), "record")
        environment = dict(os.environ, STANDIN_EVENTS="\n".join(events), WINEPATH="", QT_PLUGIN_PATH="",
                           STANDIN_RECORD="Z:" + str(self.record).replace("/", "\\"))
        self.parlox = subprocess.Popen(["wine", folder / "parlox.exe"], env=environment, **QUIET)
        self.addCleanup(self.parlox.kill)

    def recorded(self):
        return read(self.record).decode().splitlines() if hasattr(self, "record") else []

    def main_window(self):
        return self.until(lambda: windows(CAPTION), 25, "the main window")[0]

    def test_installed_then_portable_then_uninstalled(self):
        shutil.rmtree(INSTALLED, ignore_errors=True)
        self.assertEqual(run("wine", OUT / "Parlox-1.0.0-setup.exe", "/S").returncode, 0)
        self.assertEqual(files(INSTALLED), sorted(files(PROGRAM) + ["Uninstall.exe"]))
        self.assertTrue(LINK.exists())
        self.assertIn("Parlox", registry("query", UNINSTALL, "/v", "DisplayName").stdout)

        # A text that comes during the start-up wait waits for the window; it and a typed line are
        # logged beside the program. Wine gives the keyboard to the window it makes active.
        self.start(INSTALLED, "1000 chat " + RECEIVED)
        main = self.main_window()
        self.until(lambda: read(INSTALLED / "ParloxLog.txt"), 5, "the received text in the log")
        send(SENT)
        self.until(lambda: logged(INSTALLED / "ParloxLog.txt", RECEIVED, "N0CALL>" + SENT), 15, "both records")

        # The uninstaller leaves a running Parlox alone.
        in_place = f"_?=Z:{INSTALLED}".replace("/", "\\")
        self.assertEqual(run("wine", INSTALLED / "Uninstall.exe", "/S", in_place).returncode, 2)
        run("xdotool", "windowmove", "--sync", main, "300", "200")
        run("xdotool", "key", "alt+F4")
        self.assertEqual(self.parlox.wait(10), 0)
        choices = stored()
        self.assertEqual(sorted(choices), KEYS)

        # The zip in a folder the user cannot write, at the stored place: the log goes to the
        # user's data folder, and nothing is written beside the program.
        folder = OUT.parent / "wine" / "Prögramme mit Lücken" / "Parlox"
        shutil.rmtree(folder.parent, ignore_errors=True)
        run("unzip", "-q", OUT / "Parlox-1.0.0-portable.zip", "-d", folder.parent)
        run("mount", "--bind", folder, folder)
        self.assertEqual(run("mount", "-o", "remount,bind,ro", folder).returncode, 0)
        shutil.rmtree(LOCAL / "Parlox", ignore_errors=True)
        self.start(folder, "5000 chat " + RECEIVED, "8000 closing")
        self.assertIn("\nX=300\nY=200\n", run("xdotool", "getwindowgeometry", "--shell", self.main_window()).stdout)
        self.assertEqual(self.parlox.wait(15), 0)
        self.assertTrue(logged(LOCAL / "Parlox" / "ParloxLog.txt", RECEIVED))
        self.assertEqual((files(folder), stored()), (files(PROGRAM), choices))

        # The uninstaller runs on from a copy of itself, and leaves the log and the choices.
        self.assertEqual(run("wine", INSTALLED / "Uninstall.exe", "/S").returncode, 0)
        self.until(lambda: files(INSTALLED) == ["ParloxLog.txt"], 20, "the uninstall")
        self.assertFalse(LINK.exists())
        self.assertNotEqual(registry("query", UNINSTALL).returncode, 0)
        self.assertEqual(stored(), choices)

    def test_busy_stuck_then_killed(self):
        """One start takes EchoLink busy, then stuck, then killed, as each start costs seconds."""
        self.start(PROGRAM)
        main = self.main_window()

        # EchoLink shows a dialog for two seconds and turns calls away meanwhile: the line typed
        # then reaches it once, when the dialog is gone, and no box comes up.
        send("busy 2000")
        self.until(lambda: "posted: busy 2000" in self.recorded(), 15, "the order to be busy")
        send(SENT)
        self.until(lambda: logged(self.log, "N0CALL>busy 2000", "N0CALL>" + SENT), 10, "the line sent")
        self.assertEqual(self.recorded()[-3:], ["posted: busy 2000", "turned away", "posted: " + SENT])
        time.sleep(1)
        self.assertEqual(windows("^Parlox$"), [])

        # EchoLink takes a line and does not answer: Parlox says the line may not have been sent and
        # keeps it, not logged. Meanwhile its window paints: covered and uncovered, it looks as before.
        # On Windows the box comes at the answer limit (3 s); Wine waits for the answer (6 s), though
        # Parlox asks it to give up.
        send("hang 6000")
        self.until(lambda: "posted: hang 6000" in self.recorded(), 10, "the line that is not answered")
        sent = time.monotonic()
        pictures = Path(tempfile.mkdtemp())
        run("import", "-window", main, pictures / "before.png")
        cover = subprocess.Popen(["xmessage", "-geometry", "1024x768+0+0", "cover"], **QUIET)
        self.addCleanup(cover.kill)
        self.until(lambda: windows("^xmessage$"), 5, "the cover")
        cover.kill()
        self.until(lambda: not windows("^xmessage$"), 5, "the cover gone")
        time.sleep(0.5)
        run("import", "-window", main, pictures / "after.png")
        self.assertEqual((windows("^Parlox$"), time.monotonic() - sent < 5.5), ([], True), "Parlox no longer waits")
        compared = run("compare", "-metric", "AE", pictures / "before.png", pictures / "after.png", "null:")
        self.assertEqual(compared.returncode, 0, "the window was not repainted")
        self.until(lambda: windows("^Parlox$"), sent + 6 + 1.5 - time.monotonic(), "the box")
        run("xdotool", "key", "Return")
        self.until(lambda: not windows("^Parlox$"), 5, "the box to go")

        # EchoLink is killed: within five seconds, without anything sent, the log says so. Exit
        # then ends as soon as any exit does under Wine (about two seconds).
        run("wine", "taskkill", "/f", "/im", "standin-server.exe")
        self.until(lambda: logged(self.log, "N0CALL>busy 2000", "N0CALL>" + SENT, GONE), 5, "the notice")
        run("xdotool", "key", "alt+F4")
        self.assertEqual(self.parlox.wait(5), 0)

    def test_session_ended(self):
        """Windows may end a program as soon as it has answered WM_ENDSESSION, and so does Wine's
        wineboot: by then EchoLink is let go, and once start-up is done, the choices are stored."""
        self.start(PROGRAM)
        self.main_window()
        self.end_session()
        self.assertEqual(sorted(stored()), KEYS)
        self.assertEqual(self.recorded()[-4:], RELEASED)

        # During the start-up wait for EchoLink, with only the splash to see: nothing is stored yet.
        registry("delete", SETTINGS, "/f")
        self.start(PROGRAM)
        self.until(lambda: "subscribed" in self.recorded(), 20, "the subscription")
        self.end_session()
        self.assertEqual(stored(), {})
        self.assertEqual(self.recorded()[-2:], RELEASED[:2])

    def end_session(self):
        """As the user signs out: each window is asked, then told, and the program ended."""
        self.assertEqual(run("wine", "wineboot", "--end-session").returncode, 0)
        self.parlox.wait(10)

    def test_without_echolink(self):
        registry("delete", r"HKLM\Software\Classes\CLSID\{D1FB3C9A-BB2D-446A-A74A-E771F134ED56}", "/f")
        self.start(PROGRAM)
        # The box comes in front of the splash, and Wine gives it the keyboard.
        self.until(lambda: windows("^Parlox$")[1:], 20, "the box in front of the splash")
        run("xdotool", "key", "Return")
        self.assertEqual(self.parlox.wait(10), 1)
        self.assertEqual((read(self.log), stored()), (b"", {"LogFile": "True"}))


class Manifest(unittest.TestCase):
    def test_read_back_from_the_program(self):
        """What Windows reads before parlox.exe starts: an ordinary program with the user's own
        rights (without that, Windows takes the 32-bit program for a legacy one and redirects its
        writes under Program Files to the VirtualStore), aware of each screen's DPI as Qt 6.4 makes
        it (per monitor, version 2; Qt takes any awareness that a manifest has set for that one)."""
        found = run("wrestool", "--extract", "--raw", "--type=24", "--name=1", PROGRAM / "parlox.exe")
        manifest = ElementTree.fromstring(found.stdout)
        names = {"v3": "urn:schemas-microsoft-com:asm.v3",
                 "dpi": "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}
        level = manifest.find("v3:trustInfo/v3:security/v3:requestedPrivileges/v3:requestedExecutionLevel", names)
        self.assertEqual(level.attrib, {"level": "asInvoker", "uiAccess": "false"})
        awareness = manifest.find("v3:application/v3:windowsSettings/dpi:dpiAwareness", names)
        self.assertEqual(awareness.text, "PerMonitorV2")


if __name__ == "__main__":
    unittest.main(verbosity=2)
