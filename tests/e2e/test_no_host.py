"""Parlox started with no host on the bus: one message box says so, and after OK the program
ends with status 1 without ever showing its window or storing anything."""

import tempfile
import time
import unittest

from parlox_rig import Parlox, press, program_windows, stored_settings, viewable_window, wait_for_window
import screen_reader

FAILURE_TEXT = "Can Not Find EchoLink.\r\nParlox will not work without EchoLink."


class NoHost(unittest.TestCase):
    def test_one_box_then_status_1(self):
        parlox = Parlox(tempfile.mkdtemp(prefix="parlox-"))
        self.addCleanup(parlox.stop)
        pid = parlox.process.pid

        box = wait_for_window(pid, "DIALOG", "Parlox", timeout=15)
        self.assertIsNotNone(viewable_window(pid, "SPLASH"), "the splash went before the box came")
        # Another box, or the main window, would show up soon after the first.
        time.sleep(1)
        dialogs = [window for window in program_windows(pid)
                   if "_NET_WM_WINDOW_TYPE_DIALOG" in window.types[:1] and window.viewable()]
        self.assertEqual(len(dialogs), 1)
        self.assertIsNone(viewable_window(pid, "NORMAL"))

        alert = screen_reader.find(screen_reader.application(), "alert", "Parlox")
        self.assertEqual(screen_reader.labels_of(alert), [FAILURE_TEXT])

        box.focus()
        press("Return")
        self.assertEqual(parlox.wait_for_exit(), 1)
        self.assertIsNone(stored_settings())
        self.assertIsNone(parlox.log_text())


if __name__ == "__main__":
    unittest.main(verbosity=2)
