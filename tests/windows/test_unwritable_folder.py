"""A program folder that cannot be written (a read-only mount here, as a folder under Program
Files is for a user), at a path with spaces and non-ASCII characters: the log goes to the
per-user data folder, %LOCALAPPDATA%\\Parlox, and the program folder stays as it was. The test
runs in a mount namespace of its own (unshare), so the mount ends with it. Wine's server opens
the files for its programs, so the test runs a wineserver of its own inside that namespace; it
runs last (see CMakeLists.txt), since the session's server is gone after it."""

import os
import subprocess
import tempfile
import unittest

from wine_rig import (ANSI, LOCAL_APP_DATA, Parlox, copy_program, log_records, register_standin,
                      store_settings)

RECEIVED = "XX1ABC>Grüße an den Datenordner"


def quietly(*command):
    return subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)


class UnwritableFolder(unittest.TestCase):
    def setUp(self):
        quietly("wineserver", "-k").wait()
        quietly("wineserver", "-p").wait()
        quietly("wine64", "cmd", "/c", "exit").wait()
        self.addCleanup(lambda: quietly("wineserver", "-k").wait())

    def test_log_goes_to_the_users_data_folder(self):
        folder = copy_program(os.path.join(tempfile.mkdtemp(prefix="ro-"), "Prögramme mit Lücken", "Parlox"))
        subprocess.run(["mount", "--bind", folder, folder], check=True)
        subprocess.run(["mount", "-o", "remount,bind,ro", folder], check=True)
        before = sorted(os.listdir(folder))
        data_log = os.path.join(LOCAL_APP_DATA, "Parlox", "ParloxLog.txt")
        if os.path.exists(data_log):
            os.remove(data_log)
        register_standin()
        store_settings(LogFile="True")

        parlox = Parlox(folder, ["5500 chat " + RECEIVED, "7000 closing"])
        self.addCleanup(parlox.stop)
        self.assertEqual(parlox.wait_for_exit(25), 0)

        self.assertTrue((log_records(data_log) or b"").endswith(RECEIVED.encode(ANSI) + b"\r\n"))
        self.assertEqual(sorted(os.listdir(folder)), before)


if __name__ == "__main__":
    unittest.main(verbosity=2)
