"""Parlox under a window manager while the user works in another program: a received text
makes the window manager mark Parlox's window as demanding attention until it is activated;
back in Parlox, Up and Enter send the last line again. Both in one start."""

import subprocess
import tempfile
import unittest

from parlox_rig import Host, MainWindow, Parlox, Window, WindowManager, press, wait_until

DEMANDS_ATTENTION = "_NET_WM_STATE_DEMANDS_ATTENTION"


class Attention(unittest.TestCase):
    def other_program(self):
        """A window of another program, as the one the user turns to."""
        process = subprocess.Popen(["xmessage", "-title", "elsewhere", "another program"])
        self.addCleanup(process.wait)
        self.addCleanup(process.terminate)
        search = ["xdotool", "search", "--onlyvisible", "--name", "^elsewhere$"]
        found = lambda: subprocess.run(search, capture_output=True, text=True).stdout.split()
        return Window(wait_until(found, 5, what="the other window")[0])

    def test_attention_in_the_background_and_recall_of_the_last_line(self):
        manager = WindowManager()
        self.addCleanup(manager.stop)
        host = Host()
        self.addCleanup(host.stop)
        parlox = Parlox(tempfile.mkdtemp(prefix="parlox-"))
        self.addCleanup(parlox.stop)
        main = MainWindow(parlox)
        main.window.activate()
        main.say("anyone on frequency?")
        host.wait_for_posted("anyone on frequency?")

        self.other_program().activate()
        self.assertNotIn(DEMANDS_ATTENTION, main.window.states())
        # Qt hears of the switch a moment after the window manager has made it (its X11 plugin
        # waits 400 ms for focus to come back), and a text shown before then is seen in an active
        # window: texts keep coming until one is shown in the background.
        def text_then_look():
            host.chat("XX1ABC>you called?")
            return DEMANDS_ATTENTION in main.window.states()
        wait_until(text_then_look, 5, interval=0.6, what="the attention mark")

        main.window.activate()
        wait_until(lambda: DEMANDS_ATTENTION not in main.window.states(), 5, what="the mark to clear")

        press("Up")
        press("Return")
        wait_until(lambda: host.posted() == ["anyone on frequency?"] * 2, 5, what="the line sent again")

        main.menu("File", "Exit")
        self.assertEqual(parlox.wait_for_exit(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
