"""Parlox under a window manager: a text received while the user works in another program marks
the window as demanding attention until it is activated, and back in Parlox Up and Enter send
the last line again.

Where the window opens under a window manager is not checked here: Qt learns the frame an X11
window manager puts around the window only some time after the window is mapped, and on a busy
machine it sometimes reads the frame as missing, so a stored corner can lie by the title bar."""

import subprocess
import unittest

from parlox_rig import Host, Parlox, run, wait_until

ATTENTION = "_NET_WM_STATE_DEMANDS_ATTENTION"


def x_property(window, name):
    return run("xprop", "-id", window, name)


class WindowManager(unittest.TestCase):
    def setUp(self):
        manager = subprocess.Popen(["openbox", "--sm-disable"], stderr=subprocess.DEVNULL)
        self.addCleanup(manager.wait, 5)
        self.addCleanup(manager.terminate)
        wait_until(lambda: "window id #" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), "openbox")
        self.host = Host(self)

    def start(self, then):
        """One start, then, and File > Exit."""
        parlox = Parlox(self)
        parlox.main_window()
        then(parlox, parlox.x_window())
        parlox.press("Exit")
        self.assertEqual(parlox.exit_status(), 0)

    def attention_and_recall(self, parlox, window):
        run("xdotool", "windowactivate", "--sync", window)
        parlox.say("anyone on frequency?")
        wait_until(lambda: self.host.posted() == ["anyone on frequency?"], "the line at the host")
        other = subprocess.Popen(["xmessage", "-title", "elsewhere", "another program"])
        self.addCleanup(other.kill)
        run("xdotool", "search", "--sync", "--onlyvisible", "--name", "^elsewhere$", "windowactivate", "--sync")
        self.assertNotIn(ATTENTION, x_property(window, "_NET_WM_STATE"))
        # Qt hears of the switch a moment after the window manager has made it (its X11 plugin
        # waits 400 ms for focus to come back), and a text shown before then is seen in an active
        # window: texts keep coming until one is shown in the background.
        wait_until(lambda: self.host.chat("XX1ABC>you called?") or ATTENTION in x_property(window, "_NET_WM_STATE"),
                   "the attention mark", interval=0.6)

        run("xdotool", "windowactivate", "--sync", window)
        wait_until(lambda: ATTENTION not in x_property(window, "_NET_WM_STATE"), "the mark to clear")
        run("xdotool", "key", "Up", "Return")
        wait_until(lambda: self.host.posted() == ["anyone on frequency?"] * 2, "the line sent again")

    def test_attention_and_recall(self):
        self.start(self.attention_and_recall)

if __name__ == "__main__":
    unittest.main(verbosity=2)
