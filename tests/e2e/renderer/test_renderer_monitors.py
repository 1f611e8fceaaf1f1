"""The renderer "Orlinde.xy" on a desk of two monitors under Wine: a landscape primary and a portrait monitor
beside it, the outputs of Xorg with the dummy driver, which Wine reads through XRandR. The renderer reads
[Display] Monitors= from the Orlinde.ini beside it. It is given a picture of one colour, so that what it draws
is exactly the projected square of the water, which is fitted against the outline the scene's camera gives for
each monitor. During a run a Windows program changes the primary's mode (a real WM_DISPLAYCHANGE) and xrandr
turns the portrait monitor off and on."""
import shutil
import unittest

from e2e_paths import BUILD, RENDERER, XORG_PREFIX, artifacts, fixture
from program_names import RENDERER_FILE, RENDERER_TITLE, SETTINGS_FILE
from surface_outline import lit_mask, outline_fit, square, stretched, uniform_bitmap
from wine_session import HarnessError, Picture, WineSession, wait_until
from xorg_monitors import XorgMonitors, area, bounding_box

ARTIFACTS = artifacts("renderer-monitors")
TWO = ((1024, 768, 0, 0), (600, 800, 1024, 0))
SCREEN = (1624, 800)
PRIMARY, PORTRAIT = area(*TWO[0]), area(*TWO[1])
TITLE = RENDERER_TITLE
WM_DISPLAYCHANGE = 0x007E
DISPLAY_MODE = fixture("renderer", "displaymode.exe")
FIT = 0.98


class MonitorsRendererTest(unittest.TestCase):
    def setUp(self):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        self.xorg = self.enterContext(XorgMonitors(ARTIFACTS, TWO, log_name=f"xorg-{self._testMethodName}.log",
                                                   server_args=("-retro",)))  # the root's grey weave
        self.session = self.enterContext(WineSession(XORG_PREFIX, artifacts=ARTIFACTS, display=self.xorg.display))
        self.handover = self.session.handover_path()
        self.handover.write_bytes(uniform_bitmap())
        self.addCleanup(lambda: self.handover.unlink(missing_ok=True))
        self.folder = self.session.drive_c / "orlinde-monitors"
        self.folder.mkdir(exist_ok=True)
        self.addCleanup(shutil.rmtree, self.folder, True)
        shutil.copy(RENDERER, self.folder / RENDERER_FILE)

    def start(self, mode: str | None):
        ini = self.folder / SETTINGS_FILE
        if mode is None:
            ini.unlink(missing_ok=True)
        else:
            ini.write_bytes(f"[Section]\r\nBgmKind=0\r\n[Display]\r\nMonitors={mode}\r\n".encode())
        process = self.session.start(self.folder / RENDERER_FILE)
        window = self.session.wait_for_window(TITLE, timeout=60)
        return process, window

    def shot(self, name: str, ready):
        """A screenshot once `ready(lit)` holds (the windows are up and drawn)."""
        def taken():
            picture = Picture(self.session.screenshot(name))
            lit = lit_mask(picture)
            return (picture, lit) if ready(lit) else None
        return wait_until(taken, 30, f"the picture {name}")

    def titled_windows(self) -> list[dict]:
        return [w for w in self.session.x_windows() if w["title"] == TITLE]

    def test_each_monitor_rains_with_its_own_camera_and_escape_ends_all(self):
        for mode in (None, "each"):  # a missing file and the default value alike
            with self.subTest(mode=mode):
                process, window = self.start(mode)
                picture, lit = self.shot(f"each-{mode}.png", lambda lit: lit[700, 1024 + 300] and lit[600, 512])
                # The primary shows the design's window: a little larger than the monitor, drawn for its own size.
                self.assertGreater(outline_fit(lit, PRIMARY, square(window)), 0.98, "the primary's square")
                self.assertGreater(outline_fit(lit, PORTRAIT, square(PORTRAIT)), 0.98, "the portrait monitor's own square")
                # Not the primary's picture stretched over the portrait monitor.
                self.assertLess(outline_fit(lit, PORTRAIT, stretched(PRIMARY, PORTRAIT)), 0.9)
                self.assertEqual(1, len(self.titled_windows()), "one window carries the title")
                self.session.press_key("Escape", window=window)
                self.assertEqual(0, self.session.wait_exit(process, 20))
                self.session.wait_window_gone(TITLE)
                _, after = self.shot(f"each-{mode}-ended.png", lambda lit: True)
                self.assertFalse(after[700, 1024 + 300] and after[700, 1024 + 301], "no rain left on the portrait monitor")

    def test_span_draws_one_square_over_the_whole_desk(self):
        process, window = self.start("span")
        desk = {"x": 0, "y": 0, "width": SCREEN[0], "height": SCREEN[1]}
        picture, lit = self.shot("span.png", lambda lit: lit[700, 812])
        self.assertGreater(outline_fit(lit, desk, square(desk)), 0.98, "one square over the virtual screen")
        self.assertEqual(1, len(self.titled_windows()))
        origin = self.session.mouse_position()
        self.session.mouse_move(origin[0] + 31, origin[1] + 31)
        self.assertEqual(0, self.session.wait_exit(process, 20))
        self.session.wait_window_gone(TITLE)

    def test_primary_leaves_the_other_monitor_to_the_host(self):
        process, window = self.start("primary")
        picture, lit = self.shot("primary.png", lambda lit: lit[600, 512])
        self.assertGreater(outline_fit(lit, PRIMARY, square(window)), 0.98, "the primary's square")
        # The renderer's window reaches past the primary monitor, but nothing of it shows on the portrait
        # one: there, only the root window's weave is seen.
        portrait = picture.distinct_colours(1024, 0, 1624, 800)
        self.assertLessEqual(portrait, 2, "only the weave on the portrait monitor")
        self.session.press_key("Escape", window=window)
        self.assertEqual(0, self.session.wait_exit(process, 20))

    def test_a_display_change_lays_the_windows_out_again(self):
        process, window = self.start("each")
        self.shot("change-before.png", lambda lit: lit[700, 1024 + 300] and lit[600, 512])
        probe = BUILD / "tests" / "e2e" / "host" / "hostprobe.exe"
        self.assertEqual(0, self.session.run(probe, "post", TITLE, WM_DISPLAYCHANGE, timeout=30).returncode)
        self.assertEqual(0, self.session.run(probe, "post", TITLE, WM_DISPLAYCHANGE, timeout=30).returncode)
        _, lit = self.shot("change-after.png", lambda lit: lit[700, 1024 + 300] and lit[600, 512])
        self.assertGreater(outline_fit(lit, PORTRAIT, square(PORTRAIT)), 0.98, "the portrait monitor rains again")
        self.assertIsNone(process.poll(), "the renderer goes on")
        self.assertEqual(1, len(self.titled_windows()))
        self.session.press_key("Escape", window=window)  # the keys still reach the renderer's own window
        self.assertEqual(0, self.session.wait_exit(process, 20))

    def assertDrawnFor(self, mode: str, name: str) -> dict:
        """Waits until the design's window covers the primary monitor and the screen shows what `mode` asks
        for over the monitors X has now; fails with the last scores otherwise. Returns the titled window."""
        listed = sorted(self.xorg.monitors(), key=lambda m: not m["primary"])  # the primary first
        monitors = [area(m["width"], m["height"], m["x"], m["y"]) for m in listed]
        primary, others = monitors[0], monitors[1:]
        scores, seen = {}, {}

        def drawn():
            titled = self.titled_windows()
            if len(titled) != 1:
                scores.clear()
                scores["one titled window"] = 0.0
                return None
            window = titled[0]
            scores.clear()
            seen["titled window"] = window
            scores["the titled window covers the primary"] = float(
                window["x"] <= primary["x"] and window["y"] <= primary["y"]
                and window["x"] + window["width"] >= primary["x"] + primary["width"]
                and window["y"] + window["height"] >= primary["y"] + primary["height"])
            picture = Picture(self.session.screenshot(f"{name}.png"))
            lit = lit_mask(picture)
            if mode == "span" and others:  # over one monitor span is the design's window alone
                desk = bounding_box(monitors)
                scores["one square over the desk"] = outline_fit(lit, desk, square(desk))
            else:
                scores["the primary's square"] = outline_fit(lit, primary, square(window))
                for index, monitor in enumerate(others, 1):
                    if mode == "each":
                        scores[f"monitor {index}'s own square"] = outline_fit(lit, monitor, square(monitor))
                    else:  # only the root's two-tone weave shows where the renderer does not draw
                        scores[f"monitor {index} left to the host"] = float(picture.distinct_colours(
                            monitor["x"], monitor["y"], monitor["x"] + monitor["width"],
                            monitor["y"] + monitor["height"]) <= 2)
            return window if all(score > FIT for score in scores.values()) else None
        try:
            return wait_until(drawn, 30, name, interval=0.5)
        except HarnessError:
            self.fail(f"{name}: {scores}, {seen}, monitors {monitors}")

    def test_a_mode_change_and_a_monitor_turned_off_and_on_are_followed_and_escape_ends_every_window(self):
        for mode in ("each", "span", "primary"):
            with self.subTest(mode=mode):
                # The start's mode back through Wine too: a mode set from outside leaves Wine's own idea of
                # the primary's mode (the metrics the design's window is sized from) at the last one it set.
                self.session.run(DISPLAY_MODE, 1024, 768, timeout=30)
                self.xorg.lay_out(TWO)
                process, _ = self.start(mode)
                try:
                    self.assertDrawnFor(mode, f"change-{mode}-two")
                    # A Windows program changes the primary's mode: X moves the portrait monitor beside it.
                    changed = self.session.run(DISPLAY_MODE, 1280, 1024, timeout=30)
                    self.assertEqual(0, changed.returncode, changed.stderr)
                    self.xorg.query()
                    self.assertEqual(
                        [(1280, 1024, 0, 0), (600, 800, 1280, 0)],
                        [(m["width"], m["height"], m["x"], m["y"]) for m in self.xorg.monitors()])
                    self.assertDrawnFor(mode, f"change-{mode}-primary-1280x1024")
                    self.xorg.lay_out(((1280, 1024, 0, 0), None))
                    self.assertDrawnFor(mode, f"change-{mode}-portrait-off")
                    self.xorg.lay_out(((1280, 1024, 0, 0), (600, 800, 1280, 0)))
                    window = self.assertDrawnFor(mode, f"change-{mode}-portrait-on")
                    self.assertIsNone(process.poll(), "the renderer goes on")
                    self.session.press_key("Escape", window=window)  # the keys still reach the titled window
                    self.assertEqual(0, self.session.wait_exit(process, 20))
                    self.session.wait_window_gone(TITLE)
                    after = lit_mask(Picture(self.session.screenshot(f"change-{mode}-ended.png")))
                    self.assertFalse(after[700, 1280 + 300] and after[700, 1280 + 301], "no rain left on the portrait")
                finally:
                    if process.poll() is None:  # a failed mode leaves nothing drawing over the next one
                        process.kill()
                        self.session.wait_exit(process, 10)


if __name__ == "__main__":
    unittest.main()
