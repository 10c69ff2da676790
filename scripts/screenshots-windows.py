"""The README's two pictures of the Windows program, under Wine: the splash and the main window
with some chat, taken by scripts/screenshots windows inside the Windows test session. Parlox runs
from a copy of the program folder against the 32-bit stand-in EchoLink, which plays the stations'
lines."""

import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

BUILD = Path(os.environ["PARLOX_BUILD_DIR"])
SETTINGS = r"HKCU\Software\VB and VBA Program Settings\Parlox\Settings"
CHAT = ["XX1ABC>Good evening from the Dolomites, 73", "XX2DEF>Grüße aus Köln! Signal is 5 by 9 here",
        "XX1ABC>N0CALL, how is the weather over there?"]
MINE = "Evening all, N0CALL listening on Windows."
QUIET = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, stdin=subprocess.DEVNULL, timeout=60).stdout


def until(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while not (result := condition()):
        if time.monotonic() > deadline:
            raise SystemExit(f"waited {seconds} s in vain for {what}")
        time.sleep(0.1)
    return result


def windows(name):
    return run("xdotool", "search", "--onlyvisible", "--name", name).split()


def width(window):
    return int(run("xdotool", "getwindowgeometry", "--shell", window).split("WIDTH=")[1].split()[0])


def lines(path):
    return path.read_bytes().count(b"\n") if path.exists() else 0


def snap(window, path):
    """Saves the window once it has stopped changing: two looks a moment apart give the same pixels."""
    look = lambda: subprocess.run(["import", "-window", window, "ppm:-"], capture_output=True, check=True).stdout
    before = look()
    for _ in range(50):
        time.sleep(0.2)
        if (after := look()) == before:
            subprocess.run(["convert", "ppm:-", path], input=after, check=True)
            return
        before = after
    raise SystemExit("the window did not settle for its picture")


run("wine", BUILD / "win32" / "bin" / "standin-server.exe", "/RegServer")
# Wine has no Verdana, the controls' face, nor Tahoma, the menus' face, and Qt then takes a serif
# face no Windows user sees: DejaVu Sans (fonts-dejavu-core), of Verdana's build, wide and open,
# stands in for both under their names, so that programs find them as they do on Windows.
for face in ("Verdana", "Tahoma"):
    run("wine64", "reg", "add", r"HKCU\Software\Wine\Fonts\Replacements", "/v", face, "/d", "DejaVu Sans", "/f")
# Logging on, so that the script can tell when the chat has arrived; the pictures do not show it.
run("wine", r"C:\windows\syswow64\reg.exe", "delete", SETTINGS, "/f")
run("wine", r"C:\windows\syswow64\reg.exe", "add", SETTINGS, "/v", "LogFile", "/d", "True", "/f")
work = Path(tempfile.mkdtemp(prefix="shots-"))
folder = Path(shutil.copytree(BUILD / "windows" / "Parlox", work / "Parlox"))
log = folder / "ParloxLog.txt"
events = [f"{5000 + 700 * i} chat {text}" for i, text in enumerate(CHAT)]
environment = dict(os.environ, STANDIN_CALL="N0CALL-L", STANDIN_EVENTS="\n".join(events))
parlox = subprocess.Popen(["wine", folder / "parlox.exe"], env=environment, **QUIET)
try:
    splash = until(lambda: [w for w in windows("^Parlox$") if width(w) < 400], 20, "the splash")[0]
    snap(splash, "docs/images/windows-splash.png")
    main = until(lambda: windows(r"^Parlox ~ N0CALL ~ v 1\.0\.0$"), 25, "the main window")[0]
    until(lambda: lines(log) == len(CHAT), 15, "the stations' lines")
    # Wine gives the keyboard to the window it makes active.
    run("xdotool", "type", "--delay", "30", MINE)
    run("xdotool", "key", "Return")
    until(lambda: lines(log) == len(CHAT) + 1, 10, "the line sent")
    snap(main, "docs/images/windows-main-window.png")
    run("xdotool", "key", "alt+F4")
    parlox.wait(10)
finally:
    parlox.kill()
    shutil.rmtree(work, ignore_errors=True)
print("Saved docs/images/windows-splash.png and docs/images/windows-main-window.png")
