"""The host's run with two monitors under Wine. With the display mode "primary" the second monitor is covered
in black by the host while a run lasts and shows the desktop again after it, the renderer keeps the keyboard,
the pointer rule still ends the run; with "each" (the default) and "span" the renderer draws on every monitor
and the host covers nothing. The two monitors are outputs of Xorg with the dummy driver, which Wine reads through
XRandR; during a run a Windows program changes the primary's mode and xrandr turns the second monitor off and
on."""
import ctypes
import time
import unittest

from e2e_paths import XORG_PREFIX, fixture
from test_host import ARTIFACTS, DIALOG, PROBE, RENDERER_TITLE, RUN_FORM, WS_POPUP, HostTestCase, parse_fields
from wine_session import Picture
from xorg_monitors import XorgMonitors

TWO = ((1024, 768, 0, 0), (800, 600, 1024, 0))
DISPLAY_MODE = fixture("renderer", "displaymode.exe")
PRIMARY = (0, 0, 1024, 768)
SECOND = (1024, 0, 1824, 600)
BELOW_SECOND = (1024, 600, 1824, 768)  # on no monitor: never covered
COVER = "Orlinde_Cover"
WS_EX_TOPMOST = 0x8
WS_EX_TOOLWINDOW = 0x80
WS_EX_NOACTIVATE = 0x08000000
WM_DISPLAYCHANGE = 0x007E


def rect_text(rect) -> str:
    return ",".join(map(str, rect))


class CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong))]


def cursor_visible(display: str) -> bool:
    """True when the X server's current pointer image has any pixel that is not fully transparent."""
    x11 = ctypes.CDLL("libX11.so.6")
    xfixes = ctypes.CDLL("libXfixes.so.3")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XFree.argtypes = [ctypes.c_void_p]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(CursorImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    handle = x11.XOpenDisplay(display.encode())
    if not handle:
        raise AssertionError(f"cannot open X display {display}")
    try:
        image = xfixes.XFixesGetCursorImage(handle)
        if not image:
            raise AssertionError("no pointer image from XFixes")
        try:
            count = image.contents.width * image.contents.height
            return any(image.contents.pixels[i] >> 24 for i in range(count))
        finally:
            x11.XFree(ctypes.cast(image, ctypes.c_void_p))
    finally:
        x11.XCloseDisplay(handle)


class TwoMonitorsTestCase(HostTestCase):
    # The display mode written to Orlinde.ini beside the host before each test; None: no file.
    monitors = None

    def session_options(self) -> dict:
        return {**super().session_options(), "prefix": XORG_PREFIX, "display": self.xorg.display}

    def setUp(self):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        self.xorg = self.enterContext(XorgMonitors(ARTIFACTS, TWO, log_name=f"xorg-{self._testMethodName}.log",
                                                   server_args=("-retro",)))  # the root's grey weave
        super().setUp()
        _, monitors = self.probe("monitors")
        self.assertEqual([{"screen": rect_text(PRIMARY), "primary": "1"}, {"screen": rect_text(SECOND), "primary": "0"}],
                         monitors, "Wine sees the two monitors")
        self.set_monitors(self.monitors)

    def set_monitors(self, value):
        ini = self.folder / "Orlinde.ini"
        if value is None:
            ini.unlink(missing_ok=True)
        else:
            ini.write_bytes(f"[Display]\r\nMonitors={value}\r\n".encode("ascii"))

    # --- observations -----------------------------------------------------------------------------
    def covers(self):
        code, windows = self.probe("list", COVER)
        self.assertEqual(0, code)
        return windows

    def black_share(self, picture, rect) -> float:
        x0, y0, x1, y1 = rect
        pixels = list(picture.region(x0, y0, x1, y1))
        return sum(1 for p in pixels if p == (0, 0, 0)) / len(pixels)

    def shot(self, name):
        return Picture(self.session.screenshot(f"monitors-{name}.png"))

    def assertSecondMonitorShowsTheDesktop(self, name):
        picture = self.shot(name)
        self.assertLess(self.black_share(picture, SECOND), 0.9, "the second monitor shows the desktop")


class MonitorsTest(TwoMonitorsTestCase):
    """The display mode "primary": the renderer draws on the primary alone, the host blacks out the rest."""
    monitors = "primary"

    def assertCoveredOnce(self, host_pid, name):
        """One cover of the host's exactly over the second monitor, black on screen, and the renderer active."""
        covers = self.covers()
        self.assertEqual(1, len(covers), f"one cover: {covers}")
        cover = covers[0]
        self.assertEqual(rect_text(SECOND), cover["screen"])
        self.assertEqual("1", cover["visible"])
        self.assertEqual(host_pid, cover["pid"], "the host's window")
        self.assertTrue(int(cover["style"], 16) & WS_POPUP, "borderless popup")
        exstyle = int(cover["exstyle"], 16)
        for flag, what in ((WS_EX_TOPMOST, "top-most"), (WS_EX_TOOLWINDOW, "no taskbar button"),
                           (WS_EX_NOACTIVATE, "never activated")):
            self.assertTrue(exstyle & flag, what)
        code, foreground = self.probe("foreground")
        self.assertEqual(RENDERER_TITLE, foreground[0]["text"] if code == 0 else None, "the renderer keeps the focus")
        picture = self.shot(name)
        self.assertEqual(1.0, self.black_share(picture, SECOND), "the whole second monitor is black")
        self.assertLess(self.black_share(picture, BELOW_SECOND), 0.9, "off the monitors nothing is covered")
        self.assertGreater(picture.distinct_colours(*PRIMARY), 50, "the rain on the primary monitor")
        return cover

    def start_covered_run(self, *args, cursor=(500, 400), name="run"):
        self.assertEqual([], self.covers())
        self.assertSecondMonitorShowsTheDesktop(f"{name}-before")
        process, renderer = self.start_run(*args, cursor=cursor)
        host_pid = self.find(RUN_FORM)["pid"]
        cover = self.wait_until(lambda: self.covers(), 20, "the cover appears")[0]
        self.assertCoveredOnce(host_pid, f"{name}-during")
        return process, renderer, host_pid, cover

    def assertCoversGoWithTheRun(self, process, name):
        self.assertRunEnded(process)
        self.assertEqual([], self.covers())
        self.assertSecondMonitorShowsTheDesktop(f"{name}-after")

    # --- cases ------------------------------------------------------------------------------------
    def test_a_run_covers_the_second_monitor_in_black_and_the_diagonal_move_ends_it(self):
        process, _, _, _ = self.start_covered_run("/s", name="run")
        self.session.mouse_move(531, 431)
        self.assertCoversGoWithTheRun(process, "run")

    def test_escape_reaches_the_renderer_while_the_second_monitor_is_covered(self):
        process, renderer, _, _ = self.start_covered_run("/s", name="escape")
        # A click on the cover (the pointer moved along one axis only) leaves the renderer active.
        self.session.mouse_move(1400, 410)
        self.session.xdotool("click", "1")
        time.sleep(1)  # time for the click to take the focus, were it going to: what is checked is that it does not
        code, foreground = self.probe("foreground")
        self.assertEqual(RENDERER_TITLE, foreground[0]["text"] if code == 0 else None, "the renderer keeps the focus")
        # Without a window manager, X gives the keys to the window under the pointer (here the cover) unless
        # a window holds the X focus; a window manager gives it to the active window, which the check above
        # shows is still the renderer. So does the test, with the pointer left over the cover.
        self.session.press_key("Escape", window=renderer)
        self.wait_until(lambda: not self.session.window_exists(RENDERER_TITLE), 20, "the renderer ends")
        self.assertStillRunning(process, renderer_too=False)
        self.assertEqual(1, len(self.covers()), "the cover stays while the host runs")
        self.assertEqual(1.0, self.black_share(self.shot("escape-renderer-gone"), SECOND))
        self.session.mouse_move(1400, 441)  # now more than 30 on both axes from (500, 400)
        self.assertCoversGoWithTheRun(process, "escape")

    def test_the_pointer_is_hidden_over_the_cover_and_one_axis_moves_there_keep_the_run(self):
        # An empty command line leaves the cursor shown: over the cover it is hidden all the same.
        self.session.mouse_move(1400, 300)
        self.assertTrue(cursor_visible(self.session.display), "the pointer shows over the bare desktop")
        process, _, _, _ = self.start_covered_run(cursor=(1000, 300), name="pointer")
        self.session.mouse_move(1400, 310)
        self.assertStillRunning(process)
        self.assertFalse(cursor_visible(self.session.display), "no pointer over the cover")
        self.session.mouse_move(1700, 331)
        self.assertCoversGoWithTheRun(process, "pointer")

    def test_a_display_change_lays_the_cover_over_the_monitor_again(self):
        process, _, host_pid, cover = self.start_covered_run("/s", name="display-change")
        self.assertEqual(0, self.probe("move", cover["hwnd"], 1100, 100, 200, 150)[0])
        self.wait_until(lambda: self.covers()[0]["screen"] == "1100,100,1300,250", 10, "the cover is moved away")
        self.assertEqual(0, self.probe("post", RUN_FORM, WM_DISPLAYCHANGE)[0])
        self.wait_until(lambda: self.covers()[0]["screen"] == rect_text(SECOND), 10, "the cover is laid again")
        relaid = self.assertCoveredOnce(host_pid, "display-change-relaid")
        self.assertEqual(cover["hwnd"], relaid["hwnd"], "the same window, moved back")
        self.session.mouse_move(531, 431)
        self.assertCoversGoWithTheRun(process, "display-change")

    def test_the_cover_follows_a_mode_change_and_the_second_monitor_turned_off_and_on(self):
        process, _, host_pid, _ = self.start_covered_run("/s", name="follow")
        changed = self.session.run(DISPLAY_MODE, 1280, 1024, timeout=30)  # a real WM_DISPLAYCHANGE
        self.assertEqual(0, changed.returncode, changed.stderr)
        self.xorg.query()
        moved = (1280, 0, 2080, 600)  # X puts the second monitor beside the larger primary

        def shown_covers():
            return [c["screen"] for c in self.covers() if c["visible"] == "1"]
        self.wait_until(lambda: shown_covers() == [rect_text(moved)], 20, "the cover over the moved monitor")
        self.assertEqual(1.0, self.black_share(self.shot("follow-mode-changed"), moved))
        self.xorg.lay_out(((1280, 1024, 0, 0), None))
        self.wait_until(lambda: shown_covers() == [], 20, "no cover while the second monitor is off")
        self.xorg.lay_out(((1280, 1024, 0, 0), (800, 600, 1280, 0)))
        self.wait_until(lambda: shown_covers() == [rect_text(moved)], 20, "the cover back on the second monitor")
        self.assertEqual(host_pid, self.covers()[0]["pid"])
        self.assertEqual(1.0, self.black_share(self.shot("follow-second-on"), moved))
        self.assertIsNone(process.poll(), "the run goes on")
        self.session.mouse_move(531, 431)
        self.assertRunEnded(process)
        self.assertEqual([], self.covers())

    def test_preview_and_configure_cover_no_monitor(self):
        fixture = self.session.start(PROBE, "preview", self.host, 152, 112, "/p %lu")
        first = parse_fields(fixture.stdout.readline().decode())
        started = parse_fields(fixture.stdout.readline().decode())
        self.assertIn("host-pid", started)
        self.wait_until(lambda: [c for c in self.probe("children", first["area"])[1]
                                 if c["text"] == "Preview Window"], 30, "the preview form inside the area")
        time.sleep(1)  # time for covers to appear, were they going to: what is checked is that none does
        self.assertEqual([], self.covers())
        self.assertSecondMonitorShowsTheDesktop("preview")
        self.assertEqual(0, self.probe("drop-area", first["top"])[0])
        self.wait_until(lambda: "host-exit" in fixture.stdout.readline().decode(), 30, "the preview's end")
        fixture.kill()

        process = self.session.start(self.host, "/c")
        self.wait_until(lambda: self.find(DIALOG), 30, "the settings dialog")
        time.sleep(1)  # as above: no cover comes
        self.assertEqual([], self.covers())
        self.assertSecondMonitorShowsTheDesktop("configure")
        self.assertEqual(0, self.probe("close", DIALOG)[0])
        self.assertEqual(0, self.session.wait_exit(process, 20))

class UncoveredModesTest(TwoMonitorsTestCase):
    """The display modes in which the renderer draws on every monitor: the host lays no cover, neither at the
    run start nor after a display change, and the rain shows on both monitors until the run ends."""

    def raining_on(self, picture, rect) -> bool:
        x0, y0, x1, y1 = rect
        return picture.distinct_colours(x0, y0, x1, y1) > 50  # the caustics picture, not the two-tone weave

    def assertRainsOnBothMonitors(self, name):
        def raining():
            picture = self.shot(name)
            return picture if self.raining_on(picture, PRIMARY) and self.raining_on(picture, SECOND) else None
        self.wait_until(raining, 30, "the rain on both monitors")

    def assertNothingOfTheRunLeft(self, name):
        self.assertEqual([], self.covers())
        self.assertFalse(self.raining_on(self.shot(name), SECOND), "no rain left on the second monitor")

    def assertNoCoverDuringTheRun(self, name):
        process, _ = self.start_run("/s")
        # start_run has waited for both programs' windows and let the start settle, so any cover would be up.
        self.assertEqual([], self.covers(), "no cover at the run start")
        self.assertRainsOnBothMonitors(f"{name}-during")
        self.assertEqual(0, self.probe("post", RUN_FORM, WM_DISPLAYCHANGE)[0])
        time.sleep(1)  # time for the display change to lay a cover, were it going to: what is checked is that none does
        self.assertEqual([], self.covers(), "no cover after a display change")
        self.assertIsNone(process.poll(), "the run goes on")
        self.session.mouse_move(531, 431)
        self.assertRunEnded(process)
        self.assertNothingOfTheRunLeft(f"{name}-after")

    def test_each_by_default_and_span_cover_no_monitor(self):
        self.assertNoCoverDuringTheRun("default-each")  # no settings file
        self.set_monitors(" Span ")  # as a hand-edited file may have it
        self.assertNoCoverDuringTheRun("span")
        self.set_monitors("each")
        self.assertNoCoverDuringTheRun("each")

    def test_escape_ends_the_rain_everywhere_and_a_second_start_adds_nothing(self):
        process, renderer = self.start_run("/s")
        self.assertRainsOnBothMonitors("escape-during")
        self.assertQuietExit("/s", during_run=True)  # refused while the run's windows exist
        self.assertEqual(1, sum(1 for w in self.session.x_windows() if w["title"] == RENDERER_TITLE))
        self.session.press_key("Escape", window=renderer)
        self.wait_until(lambda: not self.session.window_exists(RENDERER_TITLE), 20, "the renderer ends")
        self.assertStillRunning(process, renderer_too=False)
        self.assertNothingOfTheRunLeft("escape-renderer-gone")
        self.session.mouse_move(531, 431)
        self.assertRunEnded(process)


if __name__ == "__main__":
    unittest.main()
