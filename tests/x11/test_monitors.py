"""orlinde on a desk of two monitors: one wide Xvfb screen that the stand-in libXinerama.so.1 (first on
LD_LIBRARY_PATH) splits into a 1024 × 768 primary and an 800 × 600 monitor beside it. The program is given a
picture of one colour, so that what it draws is exactly the projected square of the water, fitted against
the outline the scene's camera gives for each part of the screen."""
import os
import shutil
import signal
import tempfile
import unittest
from pathlib import Path

from process_figures import environment
from surface_outline import lit_mask, outline_fit, square, uniform_bitmap
from x11_display import Picture, X11Session, wait_until
from xscreensaver_daemon import XScreenSaverDaemon

PROGRAM = Path(os.environ["ORLINDE_PROGRAM"])
XINERAMA = Path(os.environ["ORLINDE_XINERAMA_DIR"])
ARTIFACTS = Path(os.environ["ORLINDE_ARTIFACTS_DIR"]) / "x11-monitors"
HEADS = "1024x768+0+0,800x600+1024+0"
SCREEN = (1824, 768)
PRIMARY = {"x": 0, "y": 0, "width": 1024, "height": 768}
SECOND = {"x": 1024, "y": 0, "width": 800, "height": 600}
DESK = {"x": 0, "y": 0, "width": SCREEN[0], "height": SCREEN[1]}


class MonitorsCase(unittest.TestCase):
    def setUp(self):
        self.assertTrue((XINERAMA / "libXinerama.so.1").exists(), "built by the xinerama stand-in target")
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        self.session = self.enterContext(X11Session(ARTIFACTS, *SCREEN))
        # A folder every user can read: the daemon runs its programs as nobody.
        self.work = Path(tempfile.mkdtemp(prefix="orlinde-monitors-"))
        self.addCleanup(shutil.rmtree, self.work, True)
        self.work.chmod(0o755)
        shutil.copytree(XINERAMA, self.work / "xinerama")
        self.texture = self.work / "uniform.bmp"
        self.texture.write_bytes(uniform_bitmap())
        self.texture.chmod(0o644)
        self.heads_env = {"LD_LIBRARY_PATH": str(self.work / "xinerama"), "ORLINDE_XINERAMA_HEADS": HEADS}

    def shot(self, name: str, ready):
        def taken():
            lit = lit_mask(Picture(self.session.screenshot(name)))
            return (lit,) if ready(lit) else None  # in a tuple: an array has no truth value
        return wait_until(taken, 30, f"the picture {name}", interval=0.5)[0]


class OneProgramTest(MonitorsCase):
    """The program itself covers both monitors: its --fullscreen window, or the root window."""

    def run_program(self, *args):
        process = self.session.start(str(PROGRAM), "--texture", str(self.texture), *args,
                                     env={**self.heads_env, "ORLINDE_VERBOSE": "1"})
        self.addCleanup(lambda: process.poll() is None and process.kill())
        return process

    def end(self, process):
        process.send_signal(signal.SIGTERM)
        self.assertEqual(0, process.wait(timeout=10))
        return process.stderr.read().decode(errors="replace") if process.stderr else ""

    def test_the_full_screen_window_gives_each_monitor_its_own_scene(self):
        process = self.run_program("--fullscreen")
        lit = self.shot("fullscreen-each.png", lambda lit: lit[700, 512] and lit[550, 1424])
        self.assertGreater(outline_fit(lit, PRIMARY, square(PRIMARY)), 0.98, "the primary's own square")
        self.assertGreater(outline_fit(lit, SECOND, square(SECOND)), 0.98, "the second monitor's own square")
        self.assertLess(outline_fit(lit, DESK, square(DESK)), 0.9, "not one square over the whole window")
        self.assertFalse(lit[700, 1424], "below the second monitor, on no monitor, nothing is drawn")
        log = self.end(process)
        self.assertIn("2 scene(s) 1024x768+0+0 800x600+1024+0", log)

    def test_on_the_root_window_primary_draws_one_monitor_and_span_one_square_over_both(self):
        process = self.run_program("--root", "--monitors", "primary")
        lit = self.shot("root-primary.png", lambda lit: lit[700, 512])
        self.assertGreater(outline_fit(lit, PRIMARY, square(PRIMARY)), 0.98, "the primary's own square")
        self.assertFalse(lit[0:600, 1024:1824].any(), "the second monitor stays black")
        self.end(process)

        process = self.run_program("--root", "--monitors", "span")
        lit = self.shot("root-span.png", lambda lit: lit[700, 912] and lit[600, 1400])  # not the last run's picture
        self.assertGreater(outline_fit(lit, DESK, square(DESK)), 0.98, "one square over the whole screen")
        self.end(process)


class DaemonMonitorsTest(MonitorsCase):
    """Debian's XScreenSaver, given the same two monitors, makes a window for each and runs one program on
    each window; each draws the scene for its own monitor."""

    def setUp(self):
        super().setUp()
        program = self.work / "orlinde"
        shutil.copy2(PROGRAM, program)
        program.chmod(0o755)
        self.daemon = self.enterContext(XScreenSaverDaemon(
            self.session.display, self.work, program, f"{program} --root --texture {self.texture}",
            ARTIFACTS / "daemon-stderr.txt", env=self.heads_env))

    def test_the_daemon_runs_one_program_per_monitor_each_drawing_its_monitor(self):
        wait_until(lambda: self.daemon.command("-time").returncode == 0, 30, "the daemon answers", interval=0.5)
        self.assertEqual(0, self.daemon.command("-select", "1").returncode)
        pids = wait_until(lambda: (p := self.daemon.program_pids()) and len(p) >= 2 and p, 30, "a program per monitor",
                          interval=0.2)
        self.assertEqual(2, len(pids), "one program on each monitor")
        windows = {environment(pid).get("XSCREENSAVER_WINDOW") for pid in pids}
        self.assertEqual(2, len(windows), f"each on a window of its own: {windows}")
        lit = self.shot("daemon-two-monitors.png", lambda lit: lit[700, 512] and lit[550, 1424])
        self.assertGreater(outline_fit(lit, PRIMARY, square(PRIMARY)), 0.98, "the primary's own square")
        self.assertGreater(outline_fit(lit, SECOND, square(SECOND)), 0.98, "the second monitor's own square")
        self.assertEqual(0, self.daemon.command("-deactivate").returncode)
        wait_until(lambda: not self.daemon.program_pids(), 15, "nothing is left running", interval=0.2)


if __name__ == "__main__":
    unittest.main()
