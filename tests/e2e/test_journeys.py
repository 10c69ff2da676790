"""A first and a second run of Parlox against the substitute host, as an operator would live
them: the splash, the window, chat both ways, logging, spacing and moving the window, then
leaving with Exit; the next day everything chosen is back, and the host closing ends the run.

The second run builds on the first; the tests are named so that they run in that order.
"""

import re
import tempfile
import time
import unittest

from parlox_rig import (CAPTION, CLIENT_HEIGHT, CLIENT_LEFT, CLIENT_TOP, CLIENT_WIDTH, LOG_STAMP,
                        SCREEN_HEIGHT, SCREEN_WIDTH, START_UP_SECONDS, Host, MainWindow, Parlox,
                        stored_settings, viewable_window, wait_for_window, wait_until)

PROGRAM_FOLDER = tempfile.mkdtemp(prefix="parlox-")
MOVED_TO = (300, 200)

THREE_AT_ONCE = ["XX1ABC>first of three", "XX2DEF>second of three", "XX3GHI>third of three"]
# Texts a host might hand over that a careless window would mangle or choke on.
AWKWARD = ["XX1ABC>two lines\r\nin one text",
           "XX2DEF>" + "".join(chr(0x41 + i % 26) for i in range(100_000 - 7)),
           "<b>markup</b>"]


def records(*texts):
    return "".join(LOG_STAMP + re.escape(text) + "\r\n" for text in texts)


class Journeys(unittest.TestCase):
    state = {}

    def setUp(self):
        self.host = Host()
        self.addCleanup(self.host.stop)

    def start(self):
        parlox = Parlox(PROGRAM_FOLDER)
        self.addCleanup(parlox.stop)
        return parlox

    def watch_splash(self, parlox):
        """Follows the splash from its first sight until it goes; returns its geometry and the
        seconds it was on screen."""
        splash = wait_for_window(parlox.process.pid, "SPLASH", timeout=5)
        seen = time.monotonic()
        geometry = splash.info()
        while splash.viewable():
            self.assertIsNone(viewable_window(parlox.process.pid, "NORMAL"),
                              "the main window shows while the splash is up")
            time.sleep(0.05)
        return geometry, time.monotonic() - seen

    def test_1_first_run(self):
        parlox = self.start()

        splash, seconds = self.watch_splash(parlox)
        with self.subTest("splash"):
            self.assertEqual((splash["x"], splash["y"]),
                             ((SCREEN_WIDTH - splash["width"]) // 2, (SCREEN_HEIGHT - splash["height"]) // 2))
            # Measured from its first sight, which the polling may see up to one poll late.
            self.assertGreaterEqual(seconds, START_UP_SECONDS - 0.1)

        main = MainWindow(parlox)
        with self.subTest("caption and laid-out place"):
            self.assertEqual(main.window.name, CAPTION)
            place = main.window.info()
            # No window manager draws a frame, so the client area's edges are the window's left,
            # right and bottom; the menu bar sits above it.
            self.assertEqual((place["x"], place["width"]), (CLIENT_LEFT, CLIENT_WIDTH))
            self.assertEqual(place["y"] + place["height"], CLIENT_TOP + CLIENT_HEIGHT)

        main.say("   hello there   ")
        self.host.wait_for_posted("hello there")
        self.assertIsNone(parlox.log_text(), "a log was written while logging was off")

        main.menu("Log To File", "On")
        main.menu("Spacing", "Single")

        self.host.chat(*THREE_AT_ONCE)
        wait_until(lambda: (parlox.log_text() or "").count("\r\n") == 3, 5, what="three log records")
        self.assertRegex(parlox.log_text(), "^" + records(*THREE_AT_ONCE) + "$")

        self.host.chat(*AWKWARD)
        expected = records(*THREE_AT_ONCE, *AWKWARD)
        wait_until(lambda: re.fullmatch(expected, parlox.log_text()), 5, what="the awkward texts in the log")
        # The window is still alive and answers the next line.
        main.say("still here")
        self.host.wait_for_posted("still here")
        expected += records("N0CALL>still here")
        wait_until(lambda: re.fullmatch(expected, parlox.log_text()), 5, what="the sent line in the log")

        main.window.move(*MOVED_TO)
        main.menu("File", "Exit")
        self.assertEqual(parlox.wait_for_exit(), 0)
        self.assertEqual(stored_settings(), {"LogFile": "True", "DoubleSpace": "False",
                                             "ScrnTop": str(MOVED_TO[1] * 15),
                                             "ScrnLeft": str(MOVED_TO[0] * 15)})
        self.state["log"] = parlox.log_text()

    def test_2_second_run_ended_by_the_host(self):
        if "log" not in self.state:
            self.skipTest("the first run did not finish")
        parlox = self.start()
        main = MainWindow(parlox)
        place = main.window.info()
        self.assertEqual((place["x"], place["y"]), MOVED_TO)

        # Logging is on without touching the menu: the text lands below the first run's records.
        self.host.chat("XX2DEF>welcome back")
        wait_until(lambda: parlox.log_text() != self.state["log"], 5, what="a new log record")
        self.assertRegex(parlox.log_text(), "^" + re.escape(self.state["log"]) + records("XX2DEF>welcome back") + "$")

        # Each click switches its pair, so "Single" turns double spacing on only if single
        # spacing came back from the first run.
        main.menu("Spacing", "Single")
        self.host.send("closing")
        self.assertEqual(parlox.wait_for_exit(), 0)
        self.assertEqual(stored_settings(), {"LogFile": "True", "DoubleSpace": "True",
                                             "ScrnTop": str(MOVED_TO[1] * 15),
                                             "ScrnLeft": str(MOVED_TO[0] * 15)})


if __name__ == "__main__":
    unittest.main(verbosity=2)
