"""The Linux program `orlinde` on virtual X displays, driven and watched from outside, and under Debian's
real XScreenSaver daemon."""
import os
import shutil
import signal
import statistics
import struct
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

from mesa_hud import HudDump
from process_figures import cpu_seconds, environment, exists
from program_names import BUILT_IN_TEXTURE, LINUX_TITLE
from surface_outline import screen_turn, wait_for_still_turn
from x11_display import Picture, X11Session, wait_until
from xscreensaver_daemon import XScreenSaverDaemon

PROGRAM = Path(os.environ["ORLINDE_PROGRAM"])
HOST_WINDOW = Path(os.environ["ORLINDE_HOST_WINDOW"])
SOURCE = Path(os.environ["ORLINDE_SOURCE_DIR"])
ARTIFACTS = Path(os.environ["ORLINDE_ARTIFACTS_DIR"]) / "x11"
TITLE = LINUX_TITLE


def lit_share(picture: Picture, x0: int, y0: int, x1: int, y1: int) -> float:
    pixels = list(picture.region(x0, y0, x1, y1))
    return sum(1 for p in pixels if p != (0, 0, 0)) / len(pixels)


class Session(unittest.TestCase):
    SCREEN = (320, 240)

    def setUp(self):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        self.session = self.enterContext(X11Session(ARTIFACTS, *self.SCREEN))

    def start(self, *args, env=None):
        return self.session.start(PROGRAM, *args, env=env)

    def start_in_window(self, *args, env=None):
        process = self.start("--window", *args, env=env)
        window = self.session.wait_for_window(TITLE, timeout=20)
        return process, window

    def shot_when_drawn(self, name: str, region: tuple) -> Picture:
        """A screenshot once the region is mostly lit (the first frames are on screen)."""
        def drawn():
            picture = Picture(self.session.screenshot(name))
            return picture if lit_share(picture, *region) > 0.9 else None
        return wait_until(drawn, 20, f"the surface is drawn ({name})", interval=0.3)

    def assertEndsCleanly(self, process, timeout=10.0):
        began = time.monotonic()
        try:
            code = process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.fail("it is still running")
        took = time.monotonic() - began
        self.assertEqual(0, code, process.stderr.read().decode(errors="replace"))
        self.assertFalse(exists(process.pid), "no process is left")
        wait_until(lambda: not self.session.window_exists(TITLE), 5, "its window is gone")
        return took


class OwnWindowTest(Session):
    def test_draws_the_textured_surface_turns_with_a_held_arrow_and_ends_on_escape(self):
        process, window = self.start_in_window("--fps")
        self.assertEqual((0, 0, 320, 240), (window["x"], window["y"], window["width"], window["height"]),
                         "the screen, being smaller than 1280 x 720")
        shot = self.shot_when_drawn("own-window.png", (100, 170, 220, 230))
        lit = [p for p in shot.region(100, 170, 220, 230) if p != (0, 0, 0)]
        self.assertGreater(sum(p[2] for p in lit), sum(p[0] for p in lit), "the blue-green picture")
        self.assertGreater(shot.distinct_colours(0, 120, 320, 240), 100)
        white = [p for p in shot.region(0, 0, 120, 26) if p == (255, 255, 255)]
        self.assertGreater(len(white), 50, "the frame rate is written in the corner")

        start = screen_turn(self.session, "own-window-start.png", window)
        self.assertAlmostEqual(20.0, start, delta=1.5, msg="the set-up turn is read from the screen")
        held = self.session.hold_key("Left", 1.0, window)
        # The turn has ended once two screenshots in a row show the same angle (within one step of the fit).
        change = (wait_for_still_turn(self.session, "own-window-left.png", window, tolerance=0.3) - start) % 90
        # 0.5° for each of 60 steps a second, whatever the frame rate; room for key delivery and load.
        self.assertGreaterEqual(change, 0.5 * 30.0 * held - 2, f"held {held:.2f} s")
        self.assertLessEqual(change, 1.25 * 30.0 * held + 2, f"held {held:.2f} s")

        self.session.press_key("Escape", window=window)
        self.assertEndsCleanly(process)

    def test_q_and_the_close_request_end_it_too(self):
        for end in ("q", "close"):
            with self.subTest(end):
                process, window = self.start_in_window()
                if end == "q":
                    self.session.press_key("q", window=window)
                else:  # what a window manager's close button sends
                    self.assertEqual(0, self.session.run(HOST_WINDOW, "--close", window["id"]).returncode)
                self.assertEndsCleanly(process)


class EndingTest(Session):
    def test_signals_end_it_with_status_0_and_nothing_left(self):
        for name in ("SIGTERM", "SIGINT", "SIGHUP"):
            with self.subTest(name):
                process, _ = self.start_in_window()
                self.shot_when_drawn(f"signal-{name}.png", (100, 170, 220, 230))
                process.send_signal(getattr(signal, name))
                took = self.assertEndsCleanly(process, timeout=5)
                print(f"{name}: ended {took:.3f} s after the signal")
                self.assertEqual(b"", process.stderr.read())

    def test_the_window_destroyed_under_it_ends_it_quietly(self):
        host = self.session.start(HOST_WINDOW, 320, 240, stdin=subprocess.PIPE)
        window_id = host.stdout.readline().decode().strip()
        self.assertTrue(window_id.startswith("0x"), window_id)
        process = self.start("--window-id", window_id)
        self.shot_when_drawn("given-window.png", (100, 170, 220, 230))
        self.assertFalse(self.session.window_exists(TITLE), "no window of its own")
        host.stdin.write(b"destroy\n")
        host.stdin.flush()
        self.assertEqual(b"destroyed\n", host.stdout.readline())
        self.assertEndsCleanly(process)
        self.assertEqual(b"", process.stderr.read(), "nothing on stderr")
        host.stdin.close()
        host.wait(timeout=10)


class DisplayPowerTest(Session):
    """Xvfb has no DPMS extension: the program's no-extension path, which draws. (Standby, suspend and off,
    which pause, are the core's DisplayPower decision, proven by its unit tests.)"""

    def moving(self, name: str) -> bool:
        first = Picture(self.session.screenshot(f"{name}-1.png"))
        time.sleep(0.5)  # the interval over which a running scene must change
        return Picture(self.session.screenshot(f"{name}-2.png")).differs(first) > 0

    def test_without_the_dpms_extension_it_draws_in_its_own_window_and_on_the_root(self):
        extensions = self.session.run("xdpyinfo", "-queryExtensions").stdout.decode()
        self.assertNotIn("DPMS", extensions, "the virtual display is one without DPMS")
        for place in ("--window", "--root"):
            with self.subTest(place):
                process = self.start(place, "--rain-interval", "200", env={"ORLINDE_VERBOSE": "1"})
                self.shot_when_drawn(f"power{place}.png", (100, 170, 220, 230))
                wait_until(lambda: self.moving(f"power{place}"), 10, "the rain moves")
                process.send_signal(signal.SIGTERM)
                self.assertEqual(0, process.wait(timeout=10))
                said = process.stderr.read().decode(errors="replace")
                self.assertIn("orlinde: display power: no DPMS extension, drawing", said)
                self.assertNotIn("paused", said)

    def test_an_uncovered_window_is_drawn_again_at_once(self):
        # Ten seconds between frames: what shows within them after the cover goes is the redraw.
        process, _ = self.start_in_window("--delay", "10000000")
        region = (100, 170, 220, 230)
        self.shot_when_drawn("uncovered-before.png", region)
        cover = self.session.start(HOST_WINDOW, 320, 240, stdin=subprocess.PIPE)
        self.assertTrue(cover.stdout.readline().decode().startswith("0x"))
        wait_until(lambda: lit_share(Picture(self.session.screenshot("uncovered-covered.png")), *region) < 0.5,
                   10, "the black cover hides the surface")
        cover.stdin.write(b"destroy\n")
        cover.stdin.flush()
        self.assertEqual(b"destroyed\n", cover.stdout.readline())
        # Well inside the ten seconds: a surface seen now was drawn for the exposure, not by the next frame.
        shot = wait_until(lambda: (lambda p: p if lit_share(p, *region) > 0.9 else None)(
            Picture(self.session.screenshot("uncovered-after.png"))), 4, "the surface drawn again", interval=0.3)
        lit = [p for p in shot.region(*region) if p != (0, 0, 0)]
        self.assertGreater(sum(p[2] for p in lit), sum(p[0] for p in lit), "the blue-green picture again")
        self.assertIsNone(process.poll())
        cover.stdin.close()
        cover.wait(timeout=10)
        process.send_signal(signal.SIGTERM)
        self.assertEqual(0, process.wait(timeout=10))


class BadInputTest(Session):
    def assertRefused(self, args, says: str, env=None, one_line=True, session=None):
        session = session or self.session
        before = {w["id"] for w in session.x_windows()}
        result = session.run(PROGRAM, *args, env=env, timeout=20)
        lines = result.stderr.decode(errors="replace").splitlines()
        self.assertEqual(1, result.returncode, f"{args}: {lines}")
        self.assertTrue(lines and lines[0].startswith("orlinde: ") and says in lines[0], f"{args}: {lines}")
        if one_line:
            self.assertEqual(1, len(lines), f"{args}: {lines}")
        self.assertEqual(b"", result.stdout)
        self.assertEqual(before, {w["id"] for w in session.x_windows()}, "no window left behind")

    def test_each_bad_input_is_one_line_and_status_1(self):
        work = Path(tempfile.mkdtemp(prefix="orlinde-bad-"))
        self.addCleanup(shutil.rmtree, work, True)
        good = (SOURCE / BUILT_IN_TEXTURE).read_bytes()
        files = {
            "8-bit.bmp": good[:28] + struct.pack("<H", 8) + good[30:],
            "top-down.bmp": good[:22] + struct.pack("<i", -256) + good[26:],
            "cut.bmp": good[:40],
            "empty.bmp": b"",
        }
        for name, data in files.items():
            (work / name).write_bytes(data)
        cases = [
            (["--texture", str(work / "missing.bmp")], f'cannot read the texture "{work / "missing.bmp"}"', None),
            (["--texture", str(work)], f'cannot read the texture "{work}": Is a directory', None),
            *[(["--texture", str(work / name)], f'the texture "{work / name}" is not a 24-bit uncompressed bitmap',
               None) for name in files],
            (["--window-id", "0x12345"], "0x12345 is no window on this display", None),
            (["--root"], 'XSCREENSAVER_WINDOW="junk" is no window id', {"XSCREENSAVER_WINDOW": "junk"}),
            ([], "no display: $DISPLAY is not set", {"DISPLAY": ""}),
            ([], 'cannot open the display ":4999"', {"DISPLAY": ":4999"}),
        ]
        for args, says, env in cases:
            with self.subTest(says):
                self.assertRefused(args, says, env)
        for args, says in ((["--colour"], 'unknown option "--colour"'), (["--delay", "-1"], '--delay: "-1"'),
                           (["--texture"], "--texture needs a value")):
            with self.subTest(says):
                self.assertRefused(args, says, one_line=False)
                self.assertIn("usage: orlinde [options]", self.session.run(PROGRAM, *args).stderr.decode())
        help_run = self.session.run(PROGRAM, "--help")
        self.assertEqual(0, help_run.returncode)
        self.assertIn(b"usage: orlinde [options]", help_run.stdout)

    def test_a_display_without_opengl_is_refused(self):
        with X11Session(ARTIFACTS, 320, 240, glx=False) as plain:
            self.assertRefused([], f'the display "{plain.display}" offers no OpenGL (GLX)', session=plain)
            self.assertRefused(["--root"], "offers no OpenGL", session=plain)


class PacingTest(Session):
    """Pacing holds the loop to the display's rate and leaves the processor idle in between. Mesa's no-op
    driver (GALLIUM_NOOP=1) validates every call but draws nothing, so the rasteriser's cost, which a
    graphics card would carry, and the other work on a busy machine do not blur what the loop does."""

    def measure(self, paced: bool, seconds: float = 4.0) -> tuple[float, float]:
        hud = self.enterContext(HudDump())
        env = {"GALLIUM_NOOP": "1", **hud.env(), "ORLINDE_UNPACED": "0" if paced else "1"}
        process, _ = self.start_in_window(env=env)
        hud.wait_for(2, 20, "the frame-rate dump has begun")
        cpu_before, began = cpu_seconds(process.pid), time.monotonic()
        mark = hud.count()
        hud.wait_for(mark + int(seconds / hud.period), seconds * 3, f"{seconds:g} s of frame-rate samples")
        cpu = (cpu_seconds(process.pid) - cpu_before) / (time.monotonic() - began)
        samples = hud.samples(since=mark)
        process.send_signal(signal.SIGTERM)
        self.assertEndsCleanly(process)
        self.assertGreater(len(samples), 2, "frame-rate samples")
        return statistics.median(samples), cpu

    def test_paced_it_draws_at_the_display_rate_for_a_fraction_of_the_processor(self):
        unpaced_fps, unpaced_cpu = self.measure(paced=False)
        paced_fps, paced_cpu = self.measure(paced=True)
        print(f"unpaced: {unpaced_fps:.1f} fps, {unpaced_cpu:.2f} CPU s/s; "
              f"paced: {paced_fps:.1f} fps, {paced_cpu:.2f} CPU s/s")
        self.assertGreater(unpaced_fps, 90, "a screen where the loop alone would draw well above 60")
        self.assertGreaterEqual(paced_fps, 45)
        self.assertLessEqual(paced_fps, 61.5)
        self.assertLessEqual(paced_cpu, 0.6 * unpaced_cpu)


class DaemonTest(unittest.TestCase):
    """Debian's xscreensaver on its own display runs the program from its programs: line. The daemon
    launches no hack as root, so it runs as nobody, from a folder nobody can read."""
    SCREEN = (640, 480)

    def setUp(self):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        self.session = self.enterContext(X11Session(ARTIFACTS, *self.SCREEN))
        work = Path(tempfile.mkdtemp(prefix="orlinde-daemon-"))
        self.addCleanup(shutil.rmtree, work, True)
        work.chmod(0o755)
        program = work / "orlinde"
        shutil.copy2(PROGRAM, program)
        program.chmod(0o755)
        self.daemon = self.enterContext(XScreenSaverDaemon(
            self.session.display, work, program, f"{program} --root", ARTIFACTS / "daemon-stderr.txt",
            env={"ORLINDE_VERBOSE": "1"}))

    def test_the_daemon_runs_it_on_its_window_and_ends_it(self):
        wait_until(lambda: self.daemon.command("-time").returncode == 0, 30, "the daemon answers", interval=0.5)
        self.assertEqual(0, self.daemon.command("-select", "1").returncode)
        pids = wait_until(self.daemon.program_pids, 30, "the daemon starts the hack", interval=0.2)
        self.assertEqual(1, len(pids), "one hack runs")
        saver_window = environment(pids[0]).get("XSCREENSAVER_WINDOW", "")
        self.assertTrue(saver_window.startswith("0x"), saver_window)

        def drawn():
            picture = Picture(self.session.screenshot("daemon.png"))
            return picture if lit_share(picture, 200, 340, 440, 470) > 0.9 else None
        picture = wait_until(drawn, 30, "the rain is on the daemon's window", interval=0.5)
        lit = [p for p in picture.region(200, 340, 440, 470) if p != (0, 0, 0)]
        self.assertGreater(sum(p[2] for p in lit), sum(p[0] for p in lit), "the blue-green picture")
        log = self.daemon.log_text()
        self.assertIn(f"orlinde: drawing on window {saver_window} ", log, "it drew on $XSCREENSAVER_WINDOW")

        self.assertEqual(0, self.daemon.command("-deactivate").returncode)
        wait_until(lambda: not self.daemon.program_pids(), 15, "nothing is left running", interval=0.2)


if __name__ == "__main__":
    unittest.main()
