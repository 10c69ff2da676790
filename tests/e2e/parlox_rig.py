"""What the end-to-end tests drive: the substitute host, the real Parlox, and the X display
they share. Everything here acts and looks from outside the programs, as a person (or the host)
would: typing and clicking through the X server, reading window titles and places, the lines
the host was given, the log file and the settings file.

run-e2e starts each test inside its own session bus and virtual display, with HOME and the XDG
folders in a fresh temporary folder and PARLOX_BUILD_DIR pointing at the build tree.
"""

import configparser
import os
import re
import shutil
import subprocess
import tempfile
import time

BUILD_DIR = os.environ["PARLOX_BUILD_DIR"]
SCREEN_WIDTH, SCREEN_HEIGHT = 1024, 768
START_UP_SECONDS = 7
CAPTION = "Parlox ~ N0CALL ~ v 1.0.0"
# The main window's client area is laid out at (169, 135) and is 466 x 345 pixels at 96 dpi.
CLIENT_LEFT, CLIENT_TOP, CLIENT_WIDTH, CLIENT_HEIGHT = 169, 135, 466, 345
# "dd-MMM-yy hh:mm " in the C locale.
LOG_STAMP = r"\d\d-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-\d\d \d\d:\d\d "


def wait_until(condition, timeout, interval=0.05, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def escape_line(text):
    """The substitute host's escaping of CR, LF, tab and backslash in a command's text."""
    return (text.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n")
            .replace("\t", "\\t"))


class Host:
    """build/substitute-host, fed commands through a pipe kept open, its output in a file
    (it writes line by line and would block if nobody read a pipe)."""

    def __init__(self, *options):
        self.folder = tempfile.mkdtemp(prefix="host-")
        self.output_path = os.path.join(self.folder, "stdout")
        with open(self.output_path, "wb") as output:
            self.process = subprocess.Popen([os.path.join(BUILD_DIR, "substitute-host"), *options],
                                            stdin=subprocess.PIPE, stdout=output)
        wait_until(lambda: "ready" in self.output_lines(), 10, what="the host to own its name")

    def output_lines(self):
        with open(self.output_path, encoding="utf-8", newline="\n") as output:
            return output.read().splitlines()

    def posted(self):
        return [line[len("posted: "):] for line in self.output_lines() if line.startswith("posted: ")]

    def wait_for_posted(self, escaped_line, timeout=5):
        wait_until(lambda: escaped_line in self.posted(), timeout, what=f"the host to get {escaped_line!r}")

    def send(self, *commands):
        self.process.stdin.write("".join(command + "\n" for command in commands).encode("utf-8"))
        self.process.stdin.flush()

    def chat(self, *texts):
        self.send(*("chat " + escape_line(text) for text in texts))

    def stop(self):
        if self.process.poll() is None:
            self.send("quit")
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process.stdin.close()
        shutil.rmtree(self.folder, ignore_errors=True)


class Parlox:
    """One run of the real program. Unless an installed executable is given, each run's
    executable is a copy in a folder of its own, so the log that lands beside it never touches
    the build tree."""

    def __init__(self, program_folder, installed=None):
        self.folder = program_folder
        self.executable = installed or os.path.join(self.folder, "parlox")
        if not installed:
            os.makedirs(self.folder, exist_ok=True)
            shutil.copy2(os.path.join(BUILD_DIR, "parlox"), self.executable)
        self.started = time.monotonic()
        self.process = subprocess.Popen([self.executable], stderr=subprocess.DEVNULL)

    @property
    def log_path(self):
        return os.path.join(self.folder, "ParloxLog.txt")

    def log_text(self):
        if not os.path.exists(self.log_path):
            return None
        with open(self.log_path, "rb") as log:
            return log.read().decode("utf-8")

    def wait_for_exit(self, timeout=10):
        return self.process.wait(timeout)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def settings_path():
    return os.path.join(os.environ["XDG_CONFIG_HOME"], "Parlox", "Parlox.conf")


def stored_settings():
    """The [Settings] group of the settings file, or None when there is no file."""
    if not os.path.exists(settings_path()):
        return None
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read(settings_path(), encoding="utf-8")
    return dict(parser["Settings"]) if parser.has_section("Settings") else {}


# ---- The X display ------------------------------------------------------------------------

def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


class Window:
    def __init__(self, window_id):
        self.id = window_id

    def properties(self):
        try:
            return run("xprop", "-id", self.id, "_NET_WM_NAME", "_NET_WM_WINDOW_TYPE")
        except subprocess.CalledProcessError:
            return ""

    @property
    def name(self):
        match = re.search(r'_NET_WM_NAME\(UTF8_STRING\) = "(.*)"', self.properties())
        return match.group(1) if match else None

    @property
    def types(self):
        match = re.search(r"_NET_WM_WINDOW_TYPE\(ATOM\) = (.*)", self.properties())
        return match.group(1).split(", ") if match else []

    def info(self):
        """Viewable state and outer geometry, or None once the window is gone."""
        try:
            text = run("xwininfo", "-id", self.id)
        except subprocess.CalledProcessError:
            return None
        number = lambda label: int(re.search(label + r":\s+(-?\d+)", text).group(1))
        return {"viewable": "IsViewable" in text,
                "x": number("Absolute upper-left X"), "y": number("Absolute upper-left Y"),
                "width": number("Width"), "height": number("Height")}

    def viewable(self):
        info = self.info()
        return bool(info and info["viewable"])

    def focus(self):
        # No window manager runs, so the window takes the keyboard focus as a manager would give it.
        run("xdotool", "windowfocus", "--sync", self.id)

    def activate(self):
        """Asks the window manager to make this the active window, as a click on it would."""
        run("xdotool", "windowactivate", "--sync", self.id)

    def states(self):
        """The window's _NET_WM_STATE atoms, which the window manager keeps."""
        try:
            text = run("xprop", "-id", self.id, "_NET_WM_STATE")
        except subprocess.CalledProcessError:
            return []
        match = re.search(r"_NET_WM_STATE\(ATOM\) = (.*)", text)
        return match.group(1).split(", ") if match else []

    def move(self, x, y):
        run("xdotool", "windowmove", "--sync", self.id, str(x), str(y))

    def outer_corner(self):
        """Where the window manager's frame around the window begins, once it has framed it."""
        extents = lambda: re.search(r"_NET_FRAME_EXTENTS\(CARDINAL\) = (\d+), \d+, (\d+), \d+",
                                    run("xprop", "-id", self.id, "_NET_FRAME_EXTENTS"))
        left, top = map(int, wait_until(extents, 5, what="the window's frame").groups())
        info = self.info()
        return info["x"] - left, info["y"] - top

    def pixels(self):
        """The window's picture as rows of (r, g, b) tuples."""
        data = subprocess.run(["import", "-window", self.id, "-depth", "8", "ppm:-"], check=True,
                              capture_output=True).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
        width, height = int(header.group(1)), int(header.group(2))
        body = data[header.end():]
        return [[tuple(body[(row * width + column) * 3:(row * width + column) * 3 + 3])
                 for column in range(width)] for row in range(height)]


class WindowManager:
    """openbox on the test's display, for tests that need what only a window manager does
    (activation between programs, marking a window as demanding attention). The other tests run
    without one."""

    def __init__(self):
        self.process = subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        wait_until(self.running, 10, interval=0.1, what="openbox to manage the display")

    @staticmethod
    def running():
        return "window id #" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK")

    def stop(self):
        self.process.terminate()
        self.process.wait(5)


def program_windows(pid):
    try:
        ids = run("xdotool", "search", "--pid", str(pid)).split()
    except subprocess.CalledProcessError:
        return []
    return [Window(window_id) for window_id in ids]


def viewable_window(pid, kind, name=None):
    """The program's viewable window of the given type (SPLASH, NORMAL, DIALOG, ...), if any."""
    for window in program_windows(pid):
        if ("_NET_WM_WINDOW_TYPE_" + kind) in window.types[:1] and window.viewable():
            if name is None or window.name == name:
                return window
    return None


def wait_for_window(pid, kind, name=None, timeout=15):
    return wait_until(lambda: viewable_window(pid, kind, name), timeout, interval=0.1,
                      what=f"a {kind} window {name or ''}")


def dark_runs(values, min_gap):
    """Start and end of each run of True in values, runs closer than min_gap joined."""
    runs = []
    for index, dark in enumerate(values):
        if not dark:
            continue
        if runs and index - runs[-1][1] <= min_gap:
            runs[-1][1] = index
        else:
            runs.append([index, index])
    return runs


def is_ink(pixel):
    return sum(pixel) < 250


def menu_bar_entries(window):
    """Screen centres of the menu bar's entries, left to right, found by where their captions
    are drawn: the bar is the strip above the fixed client area."""
    info = window.info()
    bar_height = info["height"] - CLIENT_HEIGHT
    rows = window.pixels()[:bar_height]
    columns = [any(is_ink(row[column]) for row in rows) for column in range(info["width"])]
    # Words inside one caption ("Log To File") are a few pixels apart; entries much further.
    return [(info["x"] + (start + end) // 2, info["y"] + bar_height // 2)
            for start, end in dark_runs(columns, 8)]


def popup_items(popup):
    """Screen centres of the items of an open drop-down list, top to bottom."""
    info = popup.info()
    pixels = popup.pixels()
    # The check marks' column is left out: only the captions tell the rows apart.
    rows = [any(is_ink(pixel) for pixel in row[24:-4]) for row in pixels[2:-2]]
    return [(info["x"] + 30, info["y"] + 2 + (start + end) // 2) for start, end in dark_runs(rows, 3)]


def click(x, y):
    run("xdotool", "mousemove", "--sync", str(x), str(y), "click", "1")


def type_text(text):
    run("xdotool", "type", "--delay", "20", text)


def press(key):
    run("xdotool", "key", key)


class MainWindow:
    """The running main window of one Parlox, used through its menus and its entry line."""

    MENUS = ["File", "Log To File", "View Log", "Clear Screen", "Spacing"]

    def __init__(self, parlox, timeout=START_UP_SECONDS + 8):
        self.parlox = parlox
        self.window = wait_for_window(parlox.process.pid, "NORMAL", timeout=timeout)
        wait_until(lambda: self.window.name == CAPTION, 5, what="the caption")
        self.window.focus()

    def menu(self, caption, item=None):
        """Clicks a menu-bar entry, then, for a list, the item of that caption."""
        entries = menu_bar_entries(self.window)
        assert len(entries) == len(self.MENUS), f"menu bar entries found: {entries}"
        click(*entries[self.MENUS.index(caption)])
        if item is None:
            return
        items = {"File": ["Exit"], "Log To File": ["On", "Off"], "Spacing": ["Single", "Double"]}[caption]
        popup = wait_for_window(self.parlox.process.pid, "DROPDOWN_MENU", timeout=5)
        places = wait_until(lambda: len(popup_items(popup)) == len(items) and popup_items(popup), 3,
                            what=f"the items of {caption}")
        click(*places[items.index(item)])
        wait_until(lambda: not popup.viewable(), 3, what=f"the {caption} list to close")

    def say(self, text):
        """Types a line into the entry box and presses Enter."""
        self.window.focus()
        type_text(text)
        press("Return")
