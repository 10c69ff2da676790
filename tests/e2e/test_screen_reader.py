"""Parlox through a screen reader, against a host that refuses every line: the controls are
found by their accessible names, the newest transcript entry can be read, and a refused line
stays in the entry box, unlogged, after a warning."""

import tempfile
import unittest

from parlox_rig import LOG_STAMP, Host, MainWindow, Parlox, press, wait_for_window, wait_until
import screen_reader

TYPED = "  please pass this on  "


class ScreenReader(unittest.TestCase):
    def test_reading_the_window_and_a_refused_line(self):
        host = Host("--fail-post")
        self.addCleanup(host.stop)
        parlox = Parlox(tempfile.mkdtemp(prefix="parlox-"))
        self.addCleanup(parlox.stop)
        main = MainWindow(parlox)

        app = screen_reader.application()
        transcript = screen_reader.find(app, "text", "Chat transcript")
        entry = screen_reader.find(app, "text", "Chat line to send")
        send = screen_reader.find(app, "push button", "Send")
        self.assertTrue(transcript and entry and send, "a control has no accessible name")

        host.chat("XX1ABC>first", "XX3GHI>newest <b>words</b>")
        newest = wait_until(lambda: screen_reader.entries(screen_reader.text_of(transcript))[-1:], 5,
                            what="entries in the transcript")[0]
        self.assertRegex(newest, r"^\d\d:\d\d<XX3GHI>newest <b>words</b>$")

        main.menu("Log To File", "On")
        main.say(TYPED)
        box = wait_for_window(parlox.process.pid, "DIALOG", "Parlox", timeout=5)
        alert = screen_reader.find(app, "alert", "Parlox")
        self.assertIn("not sent", " ".join(screen_reader.labels_of(alert)))
        box.focus()
        press("Return")
        wait_until(lambda: not box.viewable(), 5, what="the warning to close")

        self.assertEqual(screen_reader.text_of(entry), TYPED)
        # A text received now is logged, so logging is on, and the refused line is not.
        host.chat("XX2DEF>after the refusal")
        wait_until(parlox.log_text, 5, what="the log")
        self.assertRegex(parlox.log_text(), "^" + LOG_STAMP + "XX2DEF>after the refusal\r\n$")

        main.menu("File", "Exit")
        self.assertEqual(parlox.wait_for_exit(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
