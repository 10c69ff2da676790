"""Parlox for Windows as an operator lives it, under Wine against the stand-in EchoLink: without
EchoLink; a first run (splash, caption, a line sent, logging, spacing, the window moved, Exit);
the next run, where everything chosen is back and EchoLink's closing ends it; and EchoLink
closing while Parlox still waits to attach.

The runs build on each other; the tests are named so that they run in that order.
"""

import os
import re
import tempfile
import unittest

from wine_rig import (ANSI, CAPTION, LOCAL_APP_DATA, LOG_STAMP, START_UP_SECONDS, MainWindow, Parlox,
                      clipboard, copy_program, forget_settings, log_records, press, register_standin, run,
                      stored_settings, unregister_standin, viewable_windows, wait_until)

FOLDER = copy_program(os.path.join(tempfile.mkdtemp(prefix="journeys-"), "Parlox"))
LOG = os.path.join(FOLDER, "ParloxLog.txt")
DATA_LOG = os.path.join(LOCAL_APP_DATA, "Parlox", "ParloxLog.txt")
SENT = "Grüße aus Köln, 73 €"
RECEIVED = "XX1ABC>Schöne Grüße € 日本"
FAILURE_TEXT = "Can Not Find EchoLink.\r\nParlox will not work without EchoLink."


def record_pattern(*texts):
    return b"".join(LOG_STAMP + re.escape(text.encode(ANSI, "replace")) + b"\r\n" for text in texts)


class Journeys(unittest.TestCase):
    state = {}

    def start(self, *events):
        parlox = Parlox(FOLDER, events)
        self.addCleanup(parlox.stop)
        return parlox

    def test_0_without_echolink(self):
        unregister_standin()
        forget_settings()
        if os.path.exists(DATA_LOG):
            os.remove(DATA_LOG)
        parlox = self.start()
        box = wait_until(lambda: [w for w in viewable_windows("Parlox") if w.info()["width"] < 400
                                  and w.info()["height"] < 160], 20, what="the failure box")
        self.assertEqual(len(box), 1)
        box[0].focus()
        # A Windows message box copies its title, text and buttons with Ctrl+C.
        press("ctrl+c")
        copied = wait_until(lambda: "OK" in clipboard() and clipboard(), 5, what="the box's text")
        self.assertIn("\nParlox\n", copied.replace("\r\n", "\n"))
        self.assertIn(FAILURE_TEXT.replace("\r\n", "\n"), copied.replace("\r\n", "\n"))
        press("Return")
        self.assertEqual(parlox.wait_for_exit(), 1)
        self.assertIsNone(stored_settings())
        self.assertIsNone(log_records(LOG))
        self.assertIsNone(log_records(DATA_LOG))

    def test_1_first_run(self):
        register_standin()
        forget_settings()
        parlox = self.start()
        main = MainWindow(parlox)
        with self.subTest("the splash, then the caption"):
            self.assertGreaterEqual(main.shown - parlox.started, START_UP_SECONDS)
            self.assertEqual(main.window.name, CAPTION)
            print(f"main window {main.shown - parlox.started - START_UP_SECONDS:.1f} s after the fixed 7 s")

        main.say("  " + SENT + "  ")
        parlox.wait_for_record("posted: " + SENT)
        self.assertIsNone(log_records(LOG), "a log was written while logging was off")

        main.menu("Log To File", "On")
        main.menu("Spacing", "Single")
        main.say(SENT)
        wait_until(lambda: log_records(LOG), 5, what="the log")
        self.assertRegex(log_records(LOG), b"^" + record_pattern("N0CALL>" + SENT) + b"$")

        run("xdotool", "windowmove", "--sync", main.window.id, "300", "200")
        wait_until(lambda: main.window.info()["x"] == 300, 5, what="the window to move")
        self.state["place"] = main.window.info()
        main.menu("File", "Exit")
        self.assertEqual(parlox.wait_for_exit(), 0)
        stored = stored_settings()
        self.assertEqual(sorted(stored), ["DoubleSpace", "LogFile", "ScrnLeft", "ScrnTop"])
        self.assertEqual((stored["LogFile"], stored["DoubleSpace"]), ("True", "False"))
        self.state["stored"] = stored

    def test_2_next_run_applies_the_choices_and_ends_with_echolink(self):
        self.assertIn("stored", self.state, "the first run did not finish")
        parlox = self.start("6000 chat " + RECEIVED, "7500 closing")
        main = MainWindow(parlox)
        place = main.window.info()
        self.assertEqual((place["x"], place["y"]), (self.state["place"]["x"], self.state["place"]["y"]))
        self.assertEqual(parlox.wait_for_exit(15), 0)
        self.assertRegex(log_records(LOG), b"^" + record_pattern("N0CALL>" + SENT, RECEIVED) + b"$")
        self.assertEqual(stored_settings(), self.state["stored"])

    def test_3_echolink_closing_during_the_wait(self):
        forget_settings()
        if os.path.exists(LOG):
            os.remove(LOG)
        parlox = self.start("1000 closing")
        subscribed = parlox.wait_for_record("subscribed", 15)
        # The closing comes one second into the four-second wait. Parlox lets go of EchoLink at
        # once (the poll sees both ends late by at most one interval); the process itself then
        # takes Wine about two seconds to end, after every exit alike.
        released = parlox.wait_for_record("released EventObject", 5)
        self.assertLess(released - subscribed, 1.0 + 0.5 + 0.1, "Parlox did not end at once")
        self.assertEqual(parlox.wait_for_exit(5), 0)
        self.assertIsNone(stored_settings())
        self.assertIsNone(log_records(LOG))


if __name__ == "__main__":
    unittest.main(verbosity=2)
