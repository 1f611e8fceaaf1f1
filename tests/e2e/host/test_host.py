"""The host "Orlinde.scr" under Wine: runs, refusals, the missing-renderer message and the preview, driven and
watched from outside (hidden windows and other processes' windows through the hostprobe fixture)."""
import ctypes
import shutil
import struct
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

from e2e_paths import HOST, PREFIX, RENDERER, TEXTURE, artifacts, fixture
from program_names import APP_TITLE, DIALOG_TITLE, RENDERER_FILE, RENDERER_TITLE, RUN_FORM_TITLE, install_programs
from wine_session import WineSession, wait_until

ARTIFACTS = artifacts("host")
PROBE = fixture("host", "hostprobe.exe")
CAUSTICS = TEXTURE

RUN_FORM = RUN_FORM_TITLE
DIALOG = DIALOG_TITLE
RENDERER_MISSING = "Orlinde.xyが同じﾌｫﾙﾀﾞに見つかりません！"
WS_CHILD = 0x40000000
WS_POPUP = 0x80000000
SS_TYPEMASK = 0x1F
SS_ICON = 0x03


def parse_fields(line: str) -> dict:
    return dict(field.split("=", 1) for field in line.rstrip("\r\n").split("\t") if "=" in field)


class XConnection:
    """Holds one X client connection for the session. Xvfb resets itself (pointer back to the centre) when
    its last client goes, so without it a pointer move made before Wine connects would be lost."""

    def __init__(self, display: str):
        self.lib = ctypes.CDLL("libX11.so.6")
        self.lib.XOpenDisplay.restype = ctypes.c_void_p
        self.lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.handle = self.lib.XOpenDisplay(display.encode())
        if not self.handle:
            raise AssertionError(f"cannot open X display {display}")

    def close(self):
        if self.handle:
            self.lib.XCloseDisplay(self.handle)
            self.handle = None


class HostTestCase(unittest.TestCase):
    locale = "C.UTF-8"

    def setUp(self):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        self.session = self.enterContext(WineSession(**self.session_options()))
        x = XConnection(self.session.display)
        self.addCleanup(x.close)
        self.folder = Path(tempfile.mkdtemp(prefix="host-", dir=self.session.drive_c))
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.host = install_programs(HOST, RENDERER, self.folder)
        self.handover = self.session.handover_path()
        self.handover.unlink(missing_ok=True)
        self.addCleanup(lambda: self.handover.unlink(missing_ok=True))
        # Bring up the prefix's wineserver and desktop first: a second Wine program started while the first
        # one is still bringing them up can stall.
        self.probe("find", "-", timeout=60)

    def session_options(self) -> dict:
        """How the session is made: a subclass may add a screen size, an environment and a prefix of its own."""
        return {"prefix": PREFIX, "locale": self.locale, "artifacts": ARTIFACTS}

    # --- fixture calls ----------------------------------------------------------------------------
    def probe(self, *args, timeout=15):
        try:
            result = self.session.run(PROBE, *args, timeout=timeout)
        except subprocess.TimeoutExpired:
            # Under Wine a program started while another one is creating its first windows can stall on its
            # way out; one more try (the stalled one goes with the session's wineserver).
            result = self.session.run(PROBE, *args, timeout=timeout)
        lines = result.stdout.decode("utf-8", "replace").splitlines()
        return result.returncode, [parse_fields(line) for line in lines if "=" in line]

    def find(self, title):
        code, windows = self.probe("find", title)
        return windows[0] if code == 0 and windows else None

    def wait_until(self, condition, timeout, what):
        # Most conditions here ask the fixture, itself a Wine program: polled less often than the harness's.
        return wait_until(condition, timeout, what, interval=0.2)

    # --- the run --------------------------------------------------------------------------------
    def start_run(self, *args, cursor=(500, 400)):
        self.session.mouse_move(*cursor)
        self.assertEqual(cursor, self.session.mouse_position())
        process = self.session.start(self.host, *args)
        renderer = self.session.wait_for_window(RENDERER_TITLE, timeout=60)
        self.wait_until(lambda: self.find(RUN_FORM), 30, "the run form appears")
        # Both programs take the pointer's start position once their windows are up, and neither shows when it
        # has: the moves the tests make must come after that.
        time.sleep(1.5)  # a bound: no move may come before both have taken the pointer's start position
        return process, renderer

    def assertRunEnded(self, process):
        self.assertEqual(0, self.session.wait_exit(process, 20), "the host ends with code 0")
        self.wait_until(lambda: not self.session.window_exists(RENDERER_TITLE), 20, "the renderer ends")
        self.assertIsNone(self.find(RUN_FORM))
        self.assertFalse(self.handover.exists(), "the hand-over file is deleted")

    def assertStillRunning(self, process, renderer_too=True, seconds=2.0):
        time.sleep(seconds)  # what is checked is that both go on running over this time
        self.assertIsNone(process.poll(), "the host ended")
        self.assertIsNotNone(self.find(RUN_FORM))
        if renderer_too:
            self.assertTrue(self.session.window_exists(RENDERER_TITLE), "the renderer ended")

    def assertQuietExit(self, *args, timeout=30, during_run=False):
        """The host ends by itself with code 0, makes no window of its own and starts no run (during a run,
        the run's own hand-over file stays)."""
        before = {w["title"] for w in self.session.x_windows()}
        process = self.session.start(self.host, *args)
        seen = set()

        def ended():
            seen.update(w["title"] for w in self.session.x_windows())
            return process.poll() is not None

        wait_until(ended, timeout, f"host {args} ends by itself")
        self.assertEqual(0, self.session.wait_exit(process, 5), f"host {args} ends with code 0")
        new = seen - before - {"Default IME"}
        self.assertFalse(new, f"no new windows, saw {new}")
        if not during_run:
            self.assertFalse(self.handover.exists(), "no hand-over file")
        self.assertNotIn(b"page fault", process.stderr.read() if process.stderr else b"")


class RunTest(HostTestCase):
    def test_run_hands_over_the_picture_starts_the_renderer_and_ends_on_a_diagonal_move(self):
        process, _ = self.start_run("/s")
        data = self.handover.read_bytes()
        self.assertEqual(b"BM", data[:2])
        offset, info_size, width, height, planes, bits, compression = struct.unpack("<I I i i H H I", data[10:34])
        self.assertEqual((54, 40, 256, 256, 1, 24, 0), (offset, info_size, width, height, planes, bits, compression))
        self.assertEqual(54 + 256 * 256 * 3, len(data))
        self.assertEqual(CAUSTICS.read_bytes(), data, "the embedded picture, byte for byte")

        run_form = self.find(RUN_FORM)
        self.assertEqual("0", run_form["visible"], "the run form is never shown")
        self.session.screenshot("host-run.png")

        self.session.mouse_move(531, 431)
        self.assertRunEnded(process)

    def test_moves_along_one_axis_keep_both_running_until_both_axes_pass_30(self):
        # An empty command line runs too (with the cursor left visible).
        process, _ = self.start_run(cursor=(300, 300))
        self.session.mouse_move(500, 300)  # 200 straight right
        self.assertStillRunning(process)
        self.session.mouse_move(330, 330)  # exactly 30 on both axes
        self.assertStillRunning(process)
        self.session.mouse_move(500, 331)  # then down by more than 30
        self.assertRunEnded(process)

    def test_escape_ends_only_the_renderer(self):
        process, renderer = self.start_run("/s")
        self.session.press_key("Escape", window=renderer)
        self.wait_until(lambda: not self.session.window_exists(RENDERER_TITLE), 20, "the renderer ends")
        self.assertStillRunning(process, renderer_too=False)
        self.assertTrue(self.handover.exists())
        self.session.mouse_move(469, 369)  # (-31, -31)
        self.assertRunEnded(process)

    def test_a_close_request_from_outside_runs_the_run_end(self):
        process, _ = self.start_run("/S")
        code, _ = self.probe("close", RUN_FORM)
        self.assertEqual(0, code)
        self.assertEqual(0, self.session.wait_exit(process, 20))
        self.assertFalse(self.handover.exists(), "the hand-over file is deleted")
        # The host never closes the renderer; the same mouse rule ends it.
        self.assertTrue(self.session.window_exists(RENDERER_TITLE))
        self.session.mouse_move(600, 500)
        self.wait_until(lambda: not self.session.window_exists(RENDERER_TITLE), 20, "the renderer ends")


class StartTest(HostTestCase):
    def test_unknown_switches_and_one_character_lines_end_quietly(self):
        for args in (["/a"], ["s"], ["-x", "/s"]):
            with self.subTest(args=args):
                self.assertQuietExit(*args)

    def test_a_second_start_is_refused_while_any_of_the_three_titles_exists(self):
        for title in (RUN_FORM, DIALOG, RENDERER_TITLE):
            with self.subTest(title=title):
                holder = self.session.start(PROBE, "make-window", title, "60")
                self.wait_until(lambda: self.find(title), 20, f"the fixture's window {title!r}")
                self.assertQuietExit("/s")
                self.assertQuietExit("/c")
                self.assertEqual(0, self.probe("close", title)[0])
                self.assertEqual(0, self.session.wait_exit(holder, 20))


class MissingRendererTest(HostTestCase):
    def check_message(self, *args):
        (self.folder / RENDERER_FILE).unlink()
        process = self.session.start(self.host, *args)
        self.session.wait_for_window(APP_TITLE, timeout=30)
        box = self.wait_until(lambda: self.find(APP_TITLE), 30, "the message box")
        self.assertEqual("1", box["visible"])
        self.assertEqual("#32770", box["class"])
        _, children = self.probe("children", box["hwnd"])
        texts = [c["text"] for c in children if c["class"].lower() == "static" and c["text"]]
        self.assertEqual([RENDERER_MISSING], texts)
        buttons = [c for c in children if c["class"].lower() == "button" and c["visible"] == "1"]
        self.assertEqual(["OK"], [b["text"].replace("&", "") for b in buttons], "OK only")
        icons = [c["icon"] for c in children if c["class"].lower() == "static"
                 and int(c["style"], 16) & SS_TYPEMASK == SS_ICON and c["icon"] != "0"]
        self.assertEqual([], icons, "no icon")
        self.session.screenshot(f"host-missing-renderer-{args[0].strip('/')}-{self.locale}.png")
        self.assertIsNone(process.poll(), "the host waits for the message box")
        code, _ = self.probe("close", APP_TITLE)
        self.assertEqual(0, code)
        self.assertEqual(0, self.session.wait_exit(process, 20))
        self.assertFalse(self.session.window_exists(RENDERER_TITLE))
        self.assertFalse(self.handover.exists())

    def test_run_switch_shows_the_message_and_ends(self):
        self.check_message("/s")

    def test_configure_switch_shows_the_message_and_ends(self):
        self.check_message("/c")


class MissingRendererJapaneseTest(MissingRendererTest):
    locale = "ja_JP.UTF-8"


class PreviewTest(HostTestCase):
    def start_preview(self, width=152, height=112, form="/p %lu"):
        fixture = self.session.start(PROBE, "preview", self.host, width, height, form)
        first = parse_fields(fixture.stdout.readline().decode())
        started = parse_fields(fixture.stdout.readline().decode())
        self.assertIn("host-pid", started, f"the fixture started the host: {started}")
        return fixture, first["area"], first["top"], started["host-pid"]

    def preview_child(self, area):
        code, children = self.probe("children", area)
        self.assertEqual(0, code, "the preview area exists")
        return [c for c in children if c["text"] == "Preview Window"]

    def check_preview(self, width, height, form):
        fixture, area, top, host_pid = self.start_preview(width, height, form)
        found = self.wait_until(lambda: self.preview_child(area), 30, "the preview form inside the area")
        self.assertEqual(1, len(found))
        child = found[0]
        style = int(child["style"], 16)
        self.assertTrue(style & WS_CHILD, "WS_CHILD")
        self.assertFalse(style & WS_POPUP, "no WS_POPUP")
        self.assertEqual(area, child["parent"])
        self.assertEqual(host_pid, child["pid"], "the form belongs to the host")
        self.assertEqual("1", child["visible"])
        self.assertEqual(f"0,0,{width},{height}", child["rect"], "fills the area")
        self.assertIsNone(self.find("Preview Window"), "no top-level preview window")
        self.session.screenshot(f"host-preview-{width}x{height}.png")

        # The control panel destroys its area: the host ends with it.
        code, _ = self.probe("drop-area", top)
        self.assertEqual(0, code)
        line = self.wait_until(lambda: fixture.stdout.readline().decode(), 30, "the host's end")
        self.assertEqual({"host-exit": "0"}, parse_fields(line))
        fixture.kill()

    def test_preview_is_a_child_filling_the_area_and_ends_with_it(self):
        self.check_preview(152, 112, "/p %lu")

    def test_preview_with_colon_form_and_another_size(self):
        self.check_preview(200, 150, "/P:%lu")

    def test_preview_runs_without_the_renderer(self):
        (self.folder / RENDERER_FILE).unlink()
        self.check_preview(152, 112, "/p %lu")

    def test_a_preview_number_that_names_no_window_ends_quietly(self):
        self.assertQuietExit("/p", "0")
        self.assertQuietExit("/p")
        # A window that existed once and has closed.
        code, made = self.probe("make-window", "short-lived", "0")
        self.assertEqual(0, code)
        self.assertQuietExit("/p", made[0]["hwnd"])


if __name__ == "__main__":
    unittest.main()
