"""An installed Parlox, run by a user who cannot write to the folder it is installed in, keeps
its log in that user's data folder."""

import os
import re
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from parlox_rig import Host, Parlox, records, wait_until  # noqa: E402

BIN = os.path.join(os.environ["PARLOX_INSTALL_PREFIX"], "bin")


class InstalledLog(unittest.TestCase):
    def test_log_in_the_user_data_folder(self):
        self.assertFalse(os.access(BIN, os.W_OK), "the test user can write to the installed bin/")
        host = Host(self)
        parlox = Parlox(self, os.path.join(BIN, "parlox"))
        parlox.log_path = os.path.join(os.environ["XDG_DATA_HOME"], "Parlox", "ParloxLog.txt")
        parlox.main_window()
        parlox.press("On")
        host.chat("XX1ABC>logged for an installed copy")
        expected = records("XX1ABC>logged for an installed copy")
        wait_until(lambda: re.fullmatch(expected, parlox.log_text() or ""), f"the log at {parlox.log_path}")
        parlox.press("Exit")
        self.assertEqual(parlox.exit_status(), 0)
        self.assertEqual(sorted(os.listdir(BIN)), ["parlox", "substitute-host"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
