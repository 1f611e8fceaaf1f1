"""orlinde on a desk of several monitors: Xorg with the dummy driver, whose outputs xrandr turns off and on,
moves, gives other modes and adds while the program runs (the program sees real RandR events and Xinerama
follows). The program is given a picture of one colour, so that what it draws is exactly the projected square
of the water, fitted against the outline the scene's camera gives for each part of the screen."""
import os
import re
import shutil
import signal
import tempfile
import time
import unittest
from pathlib import Path

from process_figures import environment, open_files, status_figure
from surface_outline import lit_mask, outline_fit, square, uniform_bitmap
from x11_display import Picture, wait_until
from xorg_monitors import LineLog, XorgMonitors, area, bounding_box
from xscreensaver_daemon import XScreenSaverDaemon

PROGRAM = Path(os.environ["ORLINDE_PROGRAM"])
ARTIFACTS = Path(os.environ["ORLINDE_ARTIFACTS_DIR"]) / "x11-monitors"
# Monitors as (width, height, x, y), the first one primary; None: an output turned off.
TWO = ((1024, 768, 0, 0), (800, 600, 1024, 0))
PRIMARY, SECOND = area(*TWO[0]), area(*TWO[1])
DESK = bounding_box([PRIMARY, SECOND])
# What happens to the desk during a run, one change after the other.
CHANGES = (
    ("second-off", ((1024, 768, 0, 0), None)),
    ("second-on-below", ((1024, 768, 0, 0), (800, 600, 112, 768))),
    ("primary-1280x1024", ((1280, 1024, 0, 0), (800, 600, 1280, 0))),
    ("third-added", ((1280, 1024, 0, 0), (800, 600, 1280, 0), (640, 480, 2080, 0))),
)
FIT = 0.98
# A change must be drawn within a second: a screenshot begun once the second is over must show it.
REDRAWN_WITHIN = 1.0
SCENES_LINE = r"orlinde: (\d+) scene\(s\)"
TEXTURES = r"textures: (\d+)"


def expected_picture(lit, mode: str, monitors: list[dict], screen: dict) -> dict[str, float]:
    """How well the screen matches what the display mode asks for, one score (1 is perfect) for each thing
    seen: a square per monitor (each), one square over the desk (span) or the primary's alone (primary),
    and nothing drawn where nothing should be."""
    scores = {}
    if mode == "span":
        desk = bounding_box(monitors)
        scores["one square over the desk"] = outline_fit(lit, desk, square(desk))
    else:
        for index, monitor in enumerate(monitors):
            if mode == "each" or index == 0:
                scores[f"monitor {index}'s own square"] = outline_fit(lit, monitor, square(monitor))
            else:
                scores[f"monitor {index} black"] = float(not region(lit, monitor).any())
        # Where the screen holds no monitor (below a smaller one) nothing is drawn.
        covered = lit.copy()
        for monitor in monitors:
            region(covered, monitor)[:] = False
        scores["nothing off the monitors"] = float(not region(covered, screen).any())
    return scores


def region(lit, rect: dict):
    return lit[rect["y"]:rect["y"] + rect["height"], rect["x"]:rect["x"] + rect["width"]]


class MonitorsCase(unittest.TestCase):
    def setUp(self):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        self.xorg = self.enterContext(XorgMonitors(ARTIFACTS, TWO, log_name=f"xorg-{self._testMethodName}.log"))
        # A folder every user can read: the daemon runs its programs as nobody.
        self.work = Path(tempfile.mkdtemp(prefix="orlinde-monitors-"))
        self.addCleanup(shutil.rmtree, self.work, True)
        self.work.chmod(0o755)
        self.texture = self.work / "uniform.bmp"
        self.texture.write_bytes(uniform_bitmap())
        self.texture.chmod(0o644)

    def shot(self, name: str, ready):
        def taken():
            lit = lit_mask(Picture(self.xorg.screenshot(name)))
            return (lit,) if ready(lit) else None  # in a tuple: an array has no truth value
        return wait_until(taken, 30, f"the picture {name}", interval=0.5)[0]

    def assertDrawn(self, name: str, mode: str, monitors: list[dict], within: float = 30.0):
        """Screenshots (the last kept as `name`) until the screen shows what `mode` asks for over `monitors`;
        fails with the scores of the last one when it does not and that one was begun `within` seconds or
        more after the call (a screenshot and its fit take seconds themselves on a busy machine)."""
        screen = area(*self.xorg.screen_size(), 0, 0)
        start = time.monotonic()
        while True:
            begun = time.monotonic()
            lit = lit_mask(Picture(self.xorg.screenshot(name)))
            scores = expected_picture(lit, mode, monitors, screen)
            failed = {what: round(score, 3) for what, score in scores.items() if score <= FIT}
            if not failed or begun - start >= within:
                break
            time.sleep(0.1)  # the pace of the screenshots
        self.assertFalse(failed, f"{name}: {failed}")


class OneProgramTest(MonitorsCase):
    """The program itself covers the monitors: its --fullscreen window, or the root window."""

    def run_program(self, *args, texture=True):
        process = self.xorg.start(str(PROGRAM), *(["--texture", str(self.texture)] if texture else []), *args,
                                  env={"ORLINDE_VERBOSE": "1"})
        self.addCleanup(lambda: process.poll() is None and process.kill())
        return process, LineLog(process.stderr)

    def end(self, process, log: LineLog) -> str:
        process.send_signal(signal.SIGTERM)
        self.assertEqual(0, process.wait(timeout=10))
        return log.text()

    def test_the_full_screen_window_gives_each_monitor_its_own_scene(self):
        process, log = self.run_program("--fullscreen")
        lit = self.shot("fullscreen-each.png", lambda lit: lit[700, 512] and lit[550, 1424])
        self.assertGreater(outline_fit(lit, PRIMARY, square(PRIMARY)), FIT, "the primary's own square")
        self.assertGreater(outline_fit(lit, SECOND, square(SECOND)), FIT, "the second monitor's own square")
        self.assertLess(outline_fit(lit, DESK, square(DESK)), 0.9, "not one square over the whole window")
        self.assertFalse(lit[700, 1424], "below the second monitor, on no monitor, nothing is drawn")
        self.assertIn("2 scene(s) 1024x768+0+0 800x600+1024+0", self.end(process, log))

    def test_on_the_root_window_primary_draws_one_monitor_and_span_one_square_over_both(self):
        process, log = self.run_program("--root", "--monitors", "primary")
        lit = self.shot("root-primary.png", lambda lit: lit[700, 512])
        self.assertGreater(outline_fit(lit, PRIMARY, square(PRIMARY)), FIT, "the primary's own square")
        self.assertFalse(lit[0:600, 1024:1824].any(), "the second monitor stays black")
        self.end(process, log)

        process, log = self.run_program("--root", "--monitors", "span")
        lit = self.shot("root-span.png", lambda lit: lit[700, 912] and lit[600, 1400])  # not the last run's picture
        self.assertGreater(outline_fit(lit, DESK, square(DESK)), FIT, "one square over the whole screen")
        self.end(process, log)

    def assertFollowsTheChanges(self, place: str):
        for mode in ("each", "span", "primary"):
            with self.subTest(mode=mode):
                monitors = self.xorg.lay_out(TWO)
                process, log = self.run_program(place, "--monitors", mode)
                try:
                    self.assertDrawn(f"{place[2:]}-{mode}-two.png", mode, monitors)
                    for name, layout in CHANGES:
                        monitors = self.xorg.lay_out(layout)
                        self.assertDrawn(f"{place[2:]}-{mode}-{name}.png", mode, monitors, within=REDRAWN_WITHIN)
                        self.assertIsNone(process.poll(), f"{mode}, {name}: the program goes on")
                    self.end(process, log)
                finally:
                    if process.poll() is None:  # a failed mode leaves nothing drawing over the next one
                        process.kill()
                        process.wait(timeout=10)

    def test_the_full_screen_window_follows_monitors_turned_off_moved_resized_and_added(self):
        self.assertFollowsTheChanges("--fullscreen")

    def test_the_root_window_follows_monitors_turned_off_moved_resized_and_added(self):
        self.assertFollowsTheChanges("--root")

    def test_fifty_changes_leave_memory_file_descriptors_threads_and_textures_as_they_were(self):
        for place in ("--fullscreen", "--root"):
            with self.subTest(place=place):
                self.xorg.lay_out(TWO)
                # The built-in picture: a texture left behind by a layout is then large enough to show.
                process, log = self.run_program(place, texture=False)
                layouts = [TWO, *(layout for _, layout in CHANGES)]
                seen = 1
                log.wait_for(SCENES_LINE, seen, 30)

                def change(layout):
                    nonlocal seen
                    self.xorg.lay_out(layout)
                    seen += 1
                    return log.wait_for(SCENES_LINE, seen, 30)  # the program has laid its scenes out again

                for number in range(1, 2 * len(layouts) + 1):  # two rounds first: what is made once is made
                    first = change(layouts[number % len(layouts)]).string
                # Fifty changes, the figures read each time the two monitors of the start are back.
                at_start = [figures(process.pid)]
                for number in range(1, 51):
                    last = change(layouts[number % len(layouts)]).string
                    if number % len(layouts) == 0:
                        at_start.append(figures(process.pid))
                self.assertIsNone(process.poll(), "the program goes on")
                self.end(process, log)
                (ARTIFACTS / f"fifty-changes-{place[2:]}.txt").write_text(
                    "\n".join(map(str, at_start)) + f"\n\n{log.text()}\n")
                # The allocator's level wanders by a few MiB from one layout to the next: a leak shows as the
                # lowest of the last readings above the highest of the first.
                early, late = [f["rss_kib"] for f in at_start[:3]], [f["rss_kib"] for f in at_start[-3:]]
                self.assertLess(min(late) - max(early), 2048, f"memory (KiB): {[f['rss_kib'] for f in at_start]}")
                for figure in ("fds", "threads"):
                    self.assertEqual({at_start[0][figure]}, {f[figure] for f in at_start}, figure)
                # The program names its live textures on each layout line; the same layout holds as many.
                textures_first, textures_last = re.search(TEXTURES, first), re.search(TEXTURES, last)
                self.assertIsNotNone(textures_first, f"the texture count on the layout line: {first!r}")
                self.assertEqual(textures_first.group(1), textures_last.group(1), f"{first!r} -> {last!r}")


def figures(pid: int) -> dict[str, int]:
    return {"rss_kib": status_figure(pid, "VmRSS"), "fds": open_files(pid), "threads": status_figure(pid, "Threads")}


class DaemonMonitorsTest(MonitorsCase):
    """Debian's XScreenSaver, given the same two monitors, makes a window for each and runs one program on
    each window; each draws the scene for its own monitor, and goes on raining when the monitors change."""

    def setUp(self):
        super().setUp()
        program = self.work / "orlinde"
        shutil.copy2(PROGRAM, program)
        program.chmod(0o755)
        self.daemon = self.enterContext(XScreenSaverDaemon(
            self.xorg.display, self.work, program, f"{program} --root --texture {self.texture}",
            ARTIFACTS / f"daemon-stderr-{self._testMethodName}.txt"))
        wait_until(lambda: self.daemon.command("-time").returncode == 0, 30, "the daemon answers", interval=0.5)
        self.assertEqual(0, self.daemon.command("-select", "1").returncode)

    def program_pids(self, count: int) -> list[int]:
        return wait_until(lambda: (p := self.daemon.program_pids()) and len(p) >= count and p, 30,
                          f"{count} programs", interval=0.2)

    def test_the_daemon_runs_one_program_per_monitor_each_drawing_its_monitor(self):
        pids = self.program_pids(2)
        self.assertEqual(2, len(pids), "one program on each monitor")
        windows = {environment(pid).get("XSCREENSAVER_WINDOW") for pid in pids}
        self.assertEqual(2, len(windows), f"each on a window of its own: {windows}")
        lit = self.shot("daemon-two-monitors.png", lambda lit: lit[700, 512] and lit[550, 1424])
        self.assertGreater(outline_fit(lit, PRIMARY, square(PRIMARY)), FIT, "the primary's own square")
        self.assertGreater(outline_fit(lit, SECOND, square(SECOND)), FIT, "the second monitor's own square")
        self.assertEqual(0, self.daemon.command("-deactivate").returncode)
        wait_until(lambda: not self.daemon.program_pids(), 15, "nothing is left running", interval=0.2)

    def test_a_change_of_monitors_during_the_run_leaves_every_monitor_raining(self):
        self.program_pids(2)
        self.assertDrawn("daemon-before-change.png", "each", [PRIMARY, SECOND])
        monitors = self.xorg.lay_out(CHANGES[-1][1])  # the primary given another mode, the second moved, a third
        # Whatever the daemon does about it (new windows, programs started again), every monitor rains again.
        self.assertDrawn("daemon-after-change.png", "each", monitors)
        self.assertEqual(0, self.daemon.command("-deactivate").returncode)
        wait_until(lambda: not self.daemon.program_pids(), 15, "nothing is left running", interval=0.2)


if __name__ == "__main__":
    unittest.main()
