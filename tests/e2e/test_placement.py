"""Where the window opens under a window manager, which frames it only after Parlox has placed
it: the stored corner is the frame's, run after run, and a corner with only one usable
coordinate keeps the laid-out value of the other."""

import configparser
import os
import tempfile
import unittest

from parlox_rig import Host, MainWindow, Parlox, WindowManager, settings_path, stored_settings


def store(**values):
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser["Settings"] = values
    with open(settings_path(), "w", encoding="utf-8") as settings:
        parser.write(settings)


class Placement(unittest.TestCase):
    def run_once(self):
        """One start and File > Exit; where the frame was, and what was stored then."""
        parlox = Parlox(tempfile.mkdtemp(prefix="parlox-"))
        self.addCleanup(parlox.stop)
        main = MainWindow(parlox)
        corner = main.window.outer_corner()
        main.menu("File", "Exit")
        self.assertEqual(parlox.wait_for_exit(), 0)
        stored = stored_settings()
        return corner, (int(stored["ScrnLeft"]), int(stored["ScrnTop"]))

    def test_stored_corner_is_the_frames_and_stays_put(self):
        manager = WindowManager()
        self.addCleanup(manager.stop)
        host = Host()
        self.addCleanup(host.stop)

        laid_out, stored = self.run_once()
        self.assertEqual(stored, (laid_out[0] * 15, laid_out[1] * 15))

        store(ScrnLeft="1500", ScrnTop="not a number")
        corner, stored = self.run_once()
        self.assertEqual(corner[1], laid_out[1], "the top that was not stored")
        # The frame's border is not known before the window manager has framed the window.
        self.assertLessEqual(abs(corner[0] - 100), 2, "the left that was stored")

        again, _ = self.run_once()
        self.assertEqual(again, corner, "a second start moved the window")


if __name__ == "__main__":
    unittest.main(verbosity=2)
