"""An installed Parlox, run by a user who cannot write to the folder it is installed in, keeps
its log in that user's data folder and its settings in the user's config folder."""

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from parlox_rig import LOG_STAMP, Host, MainWindow, Parlox, stored_settings, wait_until  # noqa: E402

BIN = os.path.join(os.environ["PARLOX_INSTALL_PREFIX"], "bin")


class InstalledLog(unittest.TestCase):
    def test_log_in_the_user_data_folder(self):
        self.assertFalse(os.access(BIN, os.W_OK), "the test user can write to the installed bin/")
        host = Host()
        self.addCleanup(host.stop)
        parlox = Parlox(BIN, installed=os.path.join(BIN, "parlox"))
        self.addCleanup(parlox.stop)
        main = MainWindow(parlox)
        main.menu("Log To File", "On")
        host.chat("XX1ABC>logged for an installed copy")

        log_path = os.path.join(os.environ["XDG_DATA_HOME"], "Parlox", "ParloxLog.txt")
        wait_until(lambda: os.path.exists(log_path), 5, what=f"the log at {log_path}")
        main.menu("File", "Exit")
        self.assertEqual(parlox.wait_for_exit(), 0)
        with open(log_path, "rb") as log:
            self.assertRegex(log.read().decode("utf-8"), "^" + LOG_STAMP + "XX1ABC>logged for an installed copy\r\n$")
        self.assertEqual(sorted(os.listdir(BIN)), ["parlox", "substitute-host"])
        self.assertEqual(stored_settings()["LogFile"], "True")


if __name__ == "__main__":
    unittest.main(verbosity=2)
