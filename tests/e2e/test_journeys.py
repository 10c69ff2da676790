"""Three starts of Parlox as an operator lives them, each building on the one before: with no
host; a first day of chat, logging, spacing and moving the window, left with Exit; and a second
day, against a host that refuses every line, with everything chosen back, read through a screen
reader and ended by the host closing."""

import re
import time
import unittest

from parlox_rig import CAPTION, Host, Parlox, extents, records, run, stored_settings, text_of, wait_until

MOVED_TO = (300, 200)
THREE_AT_ONCE = ["XX1ABC>first of three", "XX2DEF>second of three", "XX3GHI>third of three"]
# Texts a host might hand over that a careless window would mangle or choke on.
AWKWARD = ["XX1ABC>two lines\r\nin one text", "XX2DEF>" + "ABCDEFGHIJ" * 10_000, "<b>markup</b>"]
STORED = {"LogFile": "True", "ScrnTop": str(MOVED_TO[1] * 15), "ScrnLeft": str(MOVED_TO[0] * 15)}


class Journeys(unittest.TestCase):
    def test_no_host_then_two_days(self):
        self.no_host()
        self.second_day(*self.first_day())

    def no_host(self):
        parlox = Parlox(self)
        box = wait_until(lambda: parlox.window("alert", "Parlox"), "the failure box", 20)
        self.assertTrue(parlox.window("filler", ""), "the splash went before the box came")
        self.assertEqual([label.name for label in box if label.getRoleName() == "label"],
                         ["Can Not Find EchoLink.\r\nParlox will not work without EchoLink."])
        # A second box or the main window would keep the program from ending here.
        parlox.press("OK", "push button")
        self.assertEqual(parlox.exit_status(), 1)
        self.assertIsNone(stored_settings())
        self.assertIsNone(parlox.log_text())

    def first_day(self):
        host = Host(self)
        parlox = Parlox(self)
        splash = wait_until(lambda: parlox.window("filler", ""), "the splash")
        seen = time.monotonic()
        x, y, width, height = extents(splash)
        self.assertEqual((x, y), ((1024 - width) // 2, (768 - height) // 2))
        # The main window is looked for first: seen, and the splash still there after it, both showed at once.
        while True:
            main = parlox.window("frame", CAPTION)
            if not parlox.window("filler", ""):
                break
            self.assertIsNone(main, "the main window shows with the splash")
        # Seen up to one look late.
        self.assertGreaterEqual(time.monotonic() - seen, 6.9)
        # No window manager frames it: the laid-out client area, 466 x 345 at (169, 135), is the
        # window's left, width and bottom; the menu bar sits above it.
        x, y, width, height = extents(parlox.main_window())
        self.assertEqual((x, width, y + height), (169, 466, 135 + 345))

        parlox.say("   hello there   ")
        wait_until(lambda: host.posted() == ["hello there"], "the trimmed line at the host")
        self.assertIsNone(parlox.log_text(), "a log was written while logging was off")
        parlox.press("On")
        parlox.press("Single")
        host.chat(*THREE_AT_ONCE, *AWKWARD)
        wait_until(lambda: re.fullmatch(records(*THREE_AT_ONCE, *AWKWARD), parlox.log_text() or ""),
                   "the texts in the log, in order")
        parlox.say("still here")
        wait_until(lambda: parlox.log_text().endswith("N0CALL>still here\r\n"), "the sent line in the log")

        run("xdotool", "windowmove", "--sync", parlox.x_window(), *map(str, MOVED_TO))
        parlox.press("Exit")
        self.assertEqual(parlox.exit_status(), 0)
        self.assertEqual(stored_settings(), {**STORED, "DoubleSpace": "False"})
        host.stop()
        return parlox.executable, parlox.log_text()

    def second_day(self, executable, log):
        host = Host(self, "--fail-post")
        parlox = Parlox(self, executable)
        main = parlox.main_window()
        self.assertEqual(extents(main)[:2], MOVED_TO)
        transcript = parlox.find("text", "Chat transcript", main)
        entry = parlox.find("text", "Chat line to send", main)
        self.assertTrue(transcript and entry and parlox.find("push button", "Send", main))

        parlox.say("  please pass this on  ")
        box = wait_until(lambda: parlox.window("alert", "Parlox"), "the warning")
        self.assertIn("not sent", " ".join(label.name for label in box))
        parlox.press("OK", "push button")
        # Logging came back on: a text received now follows yesterday's records; the refused line does not.
        host.chat("XX2DEF>welcome <b>back</b>")
        wait_until(lambda: parlox.log_text() != log, "a new log record")
        self.assertRegex(parlox.log_text(), "^" + re.escape(log) + records("XX2DEF>welcome <b>back</b>") + "$")
        self.assertRegex(text_of(transcript), r"^\d\d:\d\d<XX2DEF>welcome <b>back</b>\s*$")
        self.assertEqual(text_of(entry), "  please pass this on  ")

        # Each click switches its pair: "Single" gives double spacing only after single came back.
        parlox.press("Single")
        host.send("closing")
        self.assertEqual(parlox.exit_status(), 0)
        self.assertEqual(stored_settings(), {**STORED, "DoubleSpace": "True"})


if __name__ == "__main__":
    unittest.main(verbosity=2)
