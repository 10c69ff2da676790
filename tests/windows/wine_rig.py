"""What the Windows end-to-end tests drive: the real parlox.exe under Wine, the stand-in
EchoLink (a 32-bit local server, registered from a 32-bit process as EchoLink registers its
objects), and the X display that Wine's windows live on. Everything is looked at from outside:
the windows through the X server, the lines the stand-in was given (its record), the log file,
the registry (wine reg query) and the exit status.

wine-session runs each test with WINEPREFIX, DISPLAY and PARLOX_BUILD_DIR set.
"""

import os
import shutil
import subprocess
import tempfile
import time

BUILD_DIR = os.environ["PARLOX_BUILD_DIR"]
PREFIX = os.environ["WINEPREFIX"]
PROGRAM_FOLDER = os.path.join(BUILD_DIR, "windows", "Parlox")
STANDIN_SERVER = os.path.join(BUILD_DIR, "win32", "bin", "standin-server.exe")
START_UP_SECONDS = 7
CAPTION = "Parlox ~ N0CALL ~ v 1.0.0"
SETTINGS_KEY = r"HKCU\Software\VB and VBA Program Settings\Parlox\Settings"
EVENT_OBJECT_CLASS = "{D1FB3C9A-BB2D-446A-A74A-E771F134ED56}"
USER_FOLDER = os.path.join(PREFIX, "drive_c", "users", os.environ.get("USER", "root"))
LOCAL_APP_DATA = os.path.join(USER_FOLDER, "AppData", "Local")
# "dd-MMM-yy hh:mm " as Windows writes it in an English locale.
LOG_STAMP = rb"\d\d-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-\d\d \d\d:\d\d "
ANSI = "cp1252"


def wait_until(condition, timeout, interval=0.05, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def run(*command, check=True):
    return subprocess.run(command, check=check, capture_output=True, text=True,
                          stdin=subprocess.DEVNULL).stdout


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


# ---- The registry ---------------------------------------------------------------------------

def reg32(*arguments, check=True):
    """The 32-bit reg.exe, which sees the registry as EchoLink and Parlox do."""
    return run("wine", "C:\\windows\\syswow64\\reg.exe", *arguments, check=check)


def stored_settings():
    """The values under Parlox's settings key, as name -> text, or None when there is no key."""
    result = subprocess.run(["wine", "C:\\windows\\syswow64\\reg.exe", "query", SETTINGS_KEY],
                            capture_output=True, text=True, stdin=subprocess.DEVNULL)
    if result.returncode != 0:
        return None
    values = {}
    for line in result.stdout.splitlines():
        parts = line.split(None, 2)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            values[parts[0]] = parts[2] if len(parts) == 3 else ""
    return values


def forget_settings():
    reg32("delete", SETTINGS_KEY, "/f", check=False)


def store_settings(**values):
    for name, value in values.items():
        reg32("add", SETTINGS_KEY, "/v", name, "/d", value, "/f")


def register_standin():
    run("wine", STANDIN_SERVER, "/RegServer")


def end_standins():
    """Ends the stand-ins that runs of this prefix left behind: COM would hand the next run a
    running one, with the events and record of an earlier run."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
                if b"standin-server.exe" not in cmdline.read():
                    continue
            with open(f"/proc/{pid}/environ", "rb") as environ:
                if b"WINEPREFIX=" + PREFIX.encode() not in environ.read().split(b"\0"):
                    continue
            os.kill(int(pid), 9)
        except (FileNotFoundError, ProcessLookupError, PermissionError):
            pass


def unregister_standin():
    # Where a 32-bit registration lands on 64-bit Windows.
    run("wine", "reg", "delete", "HKLM\\Software\\Classes\\Wow6432Node\\CLSID\\" + EVENT_OBJECT_CLASS, "/f",
        check=False)


# ---- The programs ---------------------------------------------------------------------------

class Parlox:
    """One run of parlox.exe from a program folder, with the stand-in's events and record set
    in its environment (COM starts the stand-in from it, with its environment)."""

    def __init__(self, folder, events=(), call="N0CALL-L"):
        end_standins()
        self.folder = folder
        self.work = tempfile.mkdtemp(prefix="run-")
        self.record_path = os.path.join(self.work, "record")
        environment = dict(os.environ, STANDIN_CALL=call, STANDIN_EVENTS="\n".join(events),
                           STANDIN_RECORD=windows_path(self.record_path))
        self.started = time.monotonic()
        self.process = subprocess.Popen(["wine", os.path.join(folder, "parlox.exe")], env=environment,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)

    def record(self):
        try:
            with open(self.record_path, encoding="utf-8") as record:
                return record.read().splitlines()
        except FileNotFoundError:
            return []

    def wait_for_record(self, line, timeout=10):
        wait_until(lambda: line in self.record(), timeout,
                   what=f"the stand-in to record {line!r} (it has {self.record()})")
        return time.monotonic()

    def wait_for_exit(self, timeout=10):
        return self.process.wait(timeout)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        end_standins()
        shutil.rmtree(self.work, ignore_errors=True)


def copy_program(folder):
    shutil.copytree(PROGRAM_FOLDER, folder)
    return folder


def log_records(path):
    """The log's bytes, or None when there is no log."""
    try:
        with open(path, "rb") as log:
            return log.read()
    except FileNotFoundError:
        return None


# ---- The X display --------------------------------------------------------------------------

class Window:
    def __init__(self, window_id):
        self.id = window_id

    @property
    def name(self):
        return run("xdotool", "getwindowname", self.id, check=False).rstrip("\n")

    def info(self):
        """Viewable state and geometry, or None once the window is gone."""
        result = subprocess.run(["xwininfo", "-id", self.id], capture_output=True, text=True)
        if result.returncode != 0:
            return None
        text = result.stdout
        number = lambda label: int(text.split(label + ":")[1].split()[0])
        return {"viewable": "IsViewable" in text, "x": number("Absolute upper-left X"),
                "y": number("Absolute upper-left Y"), "width": number("Width"), "height": number("Height")}

    def viewable(self):
        info = self.info()
        return bool(info and info["viewable"])

    def focus(self):
        run("xdotool", "windowfocus", "--sync", self.id)


def viewable_windows(name):
    """Viewable windows whose name is exactly name."""
    ids = run("xdotool", "search", "--onlyvisible", "--name", "^" + name.replace(".", "\\.") + "$",
              check=False).split()
    return [window for window in map(Window, ids) if window.viewable() and window.name == name]


def wait_for_window(name, timeout=20):
    return wait_until(lambda: (viewable_windows(name) or [None])[0], timeout, interval=0.05,
                      what=f"a window {name!r}")


def type_text(text):
    run("xdotool", "type", "--delay", "30", text)


def press(*keys):
    for key in keys:
        run("xdotool", "key", key)


def clipboard():
    return run("xclip", "-o", "-selection", "clipboard", check=False)


class MainWindow:
    """The running main window, used from the keyboard as a person without a mouse would:
    Alt opens the menu bar, arrows choose, Enter picks."""

    MENUS = ["File", "Log To File", "View Log", "Clear Screen", "Spacing"]
    ITEMS = {"File": ["Exit"], "Log To File": ["On", "Off"], "Spacing": ["Single", "Double"]}

    def __init__(self, parlox, timeout=START_UP_SECONDS + 15):
        self.parlox = parlox
        self.window = wait_for_window(CAPTION, timeout)
        self.shown = time.monotonic()

    def menu(self, caption, item):
        self.window.focus()
        press("alt")
        press(*["Right"] * self.MENUS.index(caption))
        # Down opens the list with its first item chosen; the list is a window of its own.
        press("Down")
        popup = wait_for_window("Parlox", 5)
        press(*["Down"] * self.ITEMS[caption].index(item))
        press("Return")
        wait_until(lambda: not popup.viewable(), 5, what=f"the {caption} list to close")

    def say(self, text):
        self.window.focus()
        type_text(text)
        press("Return")
