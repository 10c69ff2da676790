"""The README's two pictures of the Windows program, under Wine: the splash and the main window
with some chat, taken by scripts/screenshots windows inside the Windows test session."""

import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "windows"))
from wine_rig import (MainWindow, Parlox, copy_program, forget_settings, register_standin,  # noqa: E402
                      viewable_windows, wait_until)

CHAT = ["XX1ABC>Good evening from the Dolomites, 73", "XX2DEF>Grüße aus Köln! Signal is 5 by 9 here",
        "XX1ABC>N0CALL, how is the weather over there?"]


def snap(window, path):
    subprocess.run(["import", "-window", window.id, path], check=True)


register_standin()
forget_settings()
folder = copy_program(os.path.join(tempfile.mkdtemp(prefix="shots-"), "Parlox"))
events = [f"{5000 + 700 * i} chat {text}" for i, text in enumerate(CHAT)]
parlox = Parlox(folder, events)
try:
    splash = wait_until(lambda: [w for w in viewable_windows("Parlox") if w.info()["width"] < 400], 20,
                        what="the splash")[0]
    wait_until(lambda: parlox.record(), 10, what="Parlox to attach")
    snap(splash, "docs/images/windows-splash.png")
    main = MainWindow(parlox)
    # Let the stations' lines arrive (the last one 6.4 s after Parlox attached).
    time.sleep(3)
    main.say("Evening all, N0CALL listening on Windows.")
    parlox.wait_for_record("posted: Evening all, N0CALL listening on Windows.")
    snap(main.window, "docs/images/windows-main-window.png")
    main.menu("File", "Exit")
    parlox.wait_for_exit()
finally:
    parlox.stop()
print("Saved docs/images/windows-splash.png and docs/images/windows-main-window.png")
