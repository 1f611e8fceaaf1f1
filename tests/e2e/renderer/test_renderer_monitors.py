"""The renderer "Orlinde.xy" on a desk of two monitors under Wine: a landscape primary and a portrait monitor
beside it, made from one wide Xvfb screen by the stand-in libXinerama.so.1 (see the host's monitor tests).
The renderer reads [Display] Monitors= from the Orlinde.ini beside it. It is given a picture of one colour,
so that what it draws is exactly the projected square of the water, which is fitted against the outline the
scene's camera gives for each monitor."""
import os
import shutil
import unittest

from e2e_paths import BUILD, PREFIX, RENDERER, artifacts
from program_names import RENDERER_FILE, RENDERER_TITLE, SETTINGS_FILE
from surface_outline import lit_mask, outline_fit, square, stretched, uniform_bitmap
from wine_session import Picture, WineSession, wait_until

ARTIFACTS = artifacts("renderer-monitors")
MONITORS_PREFIX = PREFIX.parent / (PREFIX.name + "-portrait")
XINERAMA = BUILD / "tests" / "e2e" / "host" / "xinerama"
HEADS = "1024x768+0+0,600x800+1024+0"
SCREEN = (1624, 800)
PRIMARY = {"x": 0, "y": 0, "width": 1024, "height": 768}
PORTRAIT = {"x": 1024, "y": 0, "width": 600, "height": 800}
TITLE = RENDERER_TITLE
WM_DISPLAYCHANGE = 0x007E


class MonitorsRendererTest(unittest.TestCase):
    def setUp(self):
        self.assertTrue((XINERAMA / "libXinerama.so.1").exists(), "built by the xinerama_heads target")
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        library_path = ":".join(p for p in (str(XINERAMA), os.environ.get("LD_LIBRARY_PATH", "")) if p)
        self.session = self.enterContext(WineSession(
            MONITORS_PREFIX, artifacts=ARTIFACTS, width=SCREEN[0], height=SCREEN[1], xvfb_args=("-retro",),
            env_extra={"LD_LIBRARY_PATH": library_path, "ORLINDE_XINERAMA_HEADS": HEADS},
            prefix_registry={"HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver": {"UseXRandR": "N"}}))
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


if __name__ == "__main__":
    unittest.main()
