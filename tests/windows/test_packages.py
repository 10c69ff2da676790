"""The two downloads: the installer (silent install, twice; the installed program attaches; an
uninstall while it runs stops cleanly; the uninstall keeps the log and the settings) and the
portable zip, unpacked into a folder whose path has spaces and non-ASCII characters."""

import glob
import os
import shutil
import subprocess
import tempfile
import unittest

from wine_rig import (ANSI, BUILD_DIR, LOCAL_APP_DATA, SETTINGS_KEY, USER_FOLDER, MainWindow, Parlox,
                      log_records, reg32, register_standin, run, store_settings, stored_settings,
                      wait_until, windows_path)

VERSION = "1.0.0"
SETUP = os.path.join(BUILD_DIR, "windows", f"Parlox-{VERSION}-setup.exe")
ZIP = os.path.join(BUILD_DIR, "windows", f"Parlox-{VERSION}-portable.zip")
INSTALLED = os.path.join(LOCAL_APP_DATA, "Programs", "Parlox")
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Parlox"
START_MENU_LINK = os.path.join(USER_FOLDER, "AppData", "Roaming", "Microsoft", "Windows", "Start Menu",
                               "Programs", "Parlox.lnk")
RECEIVED = "XX1ABC>Grüße vom Installierten"


def installed_files():
    return sorted(os.path.relpath(path, INSTALLED)
                  for path in glob.glob(os.path.join(INSTALLED, "**"), recursive=True) if os.path.isfile(path))


def wine_status(*command):
    return subprocess.run(["wine", *command], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode


class Installer(unittest.TestCase):
    def setUp(self):
        # A machine without Parlox, as far as the folder goes: a log of earlier runs stays
        # behind an uninstall.
        shutil.rmtree(INSTALLED, ignore_errors=True)
        register_standin()
        store_settings(LogFile="True")

    def test_install_run_uninstall(self):
        for _ in range(2):
            self.assertEqual(wine_status(SETUP, "/S"), 0)
        shipped = sorted(os.path.relpath(path, os.path.join(BUILD_DIR, "windows", "Parlox"))
                         for path in glob.glob(os.path.join(BUILD_DIR, "windows", "Parlox", "**"), recursive=True)
                         if os.path.isfile(path))
        self.assertEqual(installed_files(), sorted(shipped + ["Uninstall.exe"]))
        self.assertTrue(os.path.isfile(START_MENU_LINK))
        entry = reg32("query", UNINSTALL_KEY)
        for value in ("DisplayName    REG_SZ    Parlox", f"DisplayVersion    REG_SZ    {VERSION}",
                      "Publisher    REG_SZ    Tolvane", "DisplayIcon    REG_SZ    "):
            self.assertIn(value, entry)

        parlox = Parlox(INSTALLED, ["5500 chat " + RECEIVED])
        self.addCleanup(parlox.stop)
        main = MainWindow(parlox)
        log = os.path.join(INSTALLED, "ParloxLog.txt")
        wait_until(lambda: log_records(log), 10, what="the log beside the installed program")
        self.assertTrue(log_records(log).endswith(RECEIVED.encode(ANSI) + b"\r\n"))

        with self.subTest("uninstalling while Parlox runs stops before anything changes"):
            before = installed_files()
            in_place = "_?=" + windows_path(INSTALLED)
            self.assertEqual(wine_status(os.path.join(INSTALLED, "Uninstall.exe"), "/S", in_place), 2)
            self.assertEqual(installed_files(), before)

        main.menu("File", "Exit")
        self.assertEqual(parlox.wait_for_exit(), 0)
        self.assertEqual(wine_status(os.path.join(INSTALLED, "Uninstall.exe"), "/S"), 0)
        # The uninstaller runs on from a copy of itself.
        wait_until(lambda: installed_files() == ["ParloxLog.txt"], 20, what="the uninstall")
        self.assertFalse(os.path.exists(START_MENU_LINK))
        self.assertNotEqual(subprocess.run(["wine", "reg", "query", UNINSTALL_KEY], capture_output=True,
                                           stdin=subprocess.DEVNULL).returncode, 0)
        self.assertEqual(stored_settings()["LogFile"], "True")

    def test_portable_zip_runs_from_an_awkward_path(self):
        folder = os.path.join(tempfile.mkdtemp(prefix="zip-"), "Mein Pärlöx Ordner")
        os.makedirs(folder)
        run("unzip", "-q", ZIP, "-d", folder)
        parlox = Parlox(os.path.join(folder, "Parlox"), ["5500 chat " + RECEIVED, "7000 closing"])
        self.addCleanup(parlox.stop)
        self.assertEqual(parlox.wait_for_exit(20), 0)
        self.assertTrue(log_records(os.path.join(folder, "Parlox", "ParloxLog.txt"))
                        .endswith(RECEIVED.encode(ANSI) + b"\r\n"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
