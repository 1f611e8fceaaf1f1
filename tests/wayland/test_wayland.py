"""The Linux program `orlinde` on Wayland, under a real compositor (headless sway) and the real idle daemon
(swayidle), watched through screenshots of each output (grim) and driven through its virtual keyboard (wtype)
and a virtual pointer (the fixture virtual_pointer)."""
import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

from process_figures import exists, pids_where
from surface_outline import lit_mask, outline_fit, square, uniform_bitmap
from sway_session import SwaySession
from x11_display import Picture, wait_until

PROGRAM = Path(os.environ["ORLINDE_PROGRAM"])
POINTER = Path(os.environ["ORLINDE_VIRTUAL_POINTER"])
EMPTY_COMPOSITOR = Path(os.environ["ORLINDE_EMPTY_COMPOSITOR"])
ARTIFACTS = Path(os.environ["ORLINDE_ARTIFACTS_DIR"]) / "wayland"

# Two outputs side by side: a 640 x 480 one and a 400 x 300 one right of it.
FIRST, SECOND = "HEADLESS-1", "HEADLESS-2"
SIZES = ((640, 480), (400, 300))


def area(size) -> dict:
    return {"x": 0, "y": 0, "width": size[0], "height": size[1]}


class WaylandCase(unittest.TestCase):
    OUTPUTS = SIZES[:1]

    def setUp(self):
        self.artifacts = ARTIFACTS / self.id().rsplit(".", 2)[-2] / self._testMethodName
        self.sway = self.enterContext(SwaySession(self.artifacts, self.OUTPUTS))
        self.work = Path(tempfile.mkdtemp(prefix="orlinde-wayland-"))
        self.addCleanup(shutil.rmtree, self.work, True)
        self.texture = self.work / "uniform.bmp"
        self.texture.write_bytes(uniform_bitmap())

    def start(self, *args, env=None):
        return self.sway.start(PROGRAM, *args, env=env)

    def lit(self, name: str, output: str, ready=lambda lit: not lit[0, 0] and lit.mean() > 0.3, timeout=20):
        """The lit pixels of a screenshot of one output, once `ready` says the picture is the one awaited: by
        default the rain's square, lit under a black top-left corner (sway's empty output is grey)."""
        def taken():
            lit = lit_mask(Picture(self.sway.screenshot(name, output)))
            return (lit,) if ready(lit) else None  # in a tuple: an array has no truth value
        return wait_until(taken, timeout, f"the picture {name}", interval=0.3)[0]

    def moving(self, name: str, output: str) -> bool:
        first = Picture(self.sway.screenshot(f"{name}-1.png", output))
        time.sleep(0.5)  # the interval over which a running scene must change
        return Picture(self.sway.screenshot(f"{name}-2.png", output)).differs(first) > 0

    def assertEnds(self, process, status=0, timeout=10.0) -> str:
        try:
            code = process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.fail("it is still running")
        said = process.stderr.read().decode(errors="replace")
        self.assertEqual(status, code, said)
        self.assertFalse(exists(process.pid), "no process is left")
        return said

    def assertRuns(self, process, what: str):
        time.sleep(1.0)  # a bound: the program must not end within it
        self.assertIsNone(process.poll(), f"it still runs after {what}")


class SaverTest(WaylandCase):
    """--root, the screen saver: a layer-shell surface on each of two outputs."""
    OUTPUTS = SIZES

    def test_each_output_rains_its_own_square_animated_and_a_key_ends_it(self):
        process = self.start("--root", "--texture", self.texture)
        for name, size in zip((FIRST, SECOND), SIZES):
            lit = self.lit(f"square-{name}.png", name)
            self.assertGreater(outline_fit(lit, area(size), square(area(size))), 0.98, f"{name}'s own square")
        self.sway.press("a", first_delay_ms=300)
        self.assertEnds(process)

        # Unpaced (for measuring: a frame whenever the compositor calls back), the keys still come through.
        process = self.start("--root", env={"ORLINDE_UNPACED": "1"})
        for name in (FIRST, SECOND):
            self.lit(f"rain-{name}.png", name)
            wait_until(lambda: self.moving(f"rain-{name}", name), 10, f"the rain moves on {name}")
        self.sway.press("Escape", first_delay_ms=300)
        self.assertEnds(process)

    def test_primary_rains_on_the_compositors_pick_and_leaves_the_other_output_black(self):
        process = self.start("--root", "--monitors", "primary", "--texture", self.texture)
        lit = self.lit("primary-first.png", FIRST)
        self.assertGreater(outline_fit(lit, area(SIZES[0]), square(area(SIZES[0]))), 0.98)
        # sway's empty output is grey; the program's black surface covers it.
        wait_until(lambda: not lit_mask(Picture(self.sway.screenshot("primary-second.png", SECOND))).any(), 10,
                   "the other output black")
        process.send_signal(signal.SIGTERM)
        self.assertEnds(process)

    def test_a_button_and_a_pointer_move_past_the_rule_end_it_a_smaller_move_does_not(self):
        # Absolute moves are given over the layout's bounding box; the moves below are on the first output.
        rects = [o["rect"] for o in self.sway.outputs()]
        left, top = min(r["x"] for r in rects), min(r["y"] for r in rects)
        layout = (max(r["x"] + r["width"] for r in rects) - left, max(r["y"] + r["height"] for r in rects) - top)
        first = self.sway.output(FIRST)["rect"]
        pointer = self.sway.start(POINTER, *layout, stdin=subprocess.PIPE)
        self.assertEqual(b"ready\n", pointer.stdout.readline())

        def send(command: str):
            if command.startswith("move"):
                x, y = map(int, command.split()[1:])
                command = f"move {first['x'] - left + x} {first['y'] - top + y}"
            pointer.stdin.write(command.encode() + b"\n")
            pointer.stdin.flush()
            self.assertEqual(b"ok\n", pointer.stdout.readline(), command)

        send("move 300 200")
        for ending in ("click", "move 345 245"):
            with self.subTest(ending):
                send("move 300 200")
                process = self.start("--root")
                self.lit(f"pointer-{ending.split()[0]}.png", FIRST)
                send("move 310 210")  # 10 px on both axes
                send("move 360 215")  # 60 px across, 15 down: past the rule on one axis only
                self.assertRuns(process, "moves within the rule")
                send(ending)  # 45 px on both axes from where it was first seen
                self.assertEnds(process)
        pointer.stdin.close()
        self.assertEqual(0, pointer.wait(timeout=10))

    def test_an_output_added_during_a_run_rains_at_its_scale(self):
        # sway 1.7's headless outputs cannot be disabled or unplugged ("Cannot disable a headless output"):
        # outputs that go are not exercised here.
        process = self.start("--root", "--texture", self.texture, env={"ORLINDE_VERBOSE": "1"})
        self.lit("added-before.png", SECOND)
        third = self.sway.add_output(320, 240, sum(w for w, _ in SIZES), 0)
        added = time.monotonic()
        # sway makes the output at 1920 x 1080 and then gives it its mode: the surface follows both.
        own_square = lambda lit: outline_fit(lit, area((320, 240)), square(area((320, 240)))) > 0.98  # noqa: E731
        self.lit("added.png", third, ready=own_square, timeout=10)
        print(f"the new output showed its own square {time.monotonic() - added:.2f} s after it was placed")
        self.sway.swaymsg("output", third, "scale", "2")
        # Scale 2: 160 x 120 logical pixels, drawn into a buffer of the output's full 320 x 240.
        lit = self.lit("added-scale-2.png", third, ready=own_square, timeout=10)
        self.assertEqual((240, 320), lit.shape)
        self.assertIsNone(process.poll(), "it runs on")
        self.sway.press("space", first_delay_ms=300)
        said = self.assertEnds(process)
        # One texture for each surface's scene, whatever the changes.
        self.assertIn("3 output(s), 3 surface(s), 3 scene(s), 3 texture(s): 640x480@1 400x300@1 320x240@1", said)
        self.assertIn("3 output(s), 3 surface(s), 3 scene(s), 3 texture(s): 640x480@1 400x300@1 160x120@2", said)


class IdleDaemonTest(WaylandCase):
    def test_swayidle_starts_it_on_idle_and_input_ends_it_then_resume_runs(self):
        resumed = self.work / "resumed"
        # The form the README gives, with a timeout of one second and a resume command the test can see.
        daemon = self.sway.start("swayidle", "-w", "timeout", "1", f"'{PROGRAM}' --root", "resume",
                                 f"touch '{resumed}'")
        self.addCleanup(lambda: daemon.poll() is None and daemon.kill())

        def saver():
            return pids_where(lambda p: p.exe == str(PROGRAM) and p.environ.get("WAYLAND_DISPLAY") == self.sway.socket)

        pids = wait_until(saver, 20, "the daemon starts the program")
        self.lit("idle-started.png", FIRST)
        self.assertFalse(resumed.exists())
        self.sway.press("a", first_delay_ms=300)
        wait_until(lambda: not any(exists(pid) and Path(f"/proc/{pid}/stat").read_text().split()[2] != "Z"
                                   for pid in pids), 10, "a key ends it")
        wait_until(resumed.exists, 10, "the daemon's resume command runs")
        self.assertIsNone(daemon.poll(), "the daemon runs on")


class WindowTest(WaylandCase):
    def window(self):
        """The program's window in sway's tree, once it is there."""
        import json

        def find(node):
            if node.get("app_id") == "orlinde":
                return node
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                found = find(child)
                if found:
                    return found
            return None

        return wait_until(lambda: find(json.loads(self.sway.swaymsg("-r", "-t", "get_tree"))), 20, "the window")

    def test_the_window_shows_the_rain_and_escape_or_q_ends_it(self):
        for key in ("Escape", "q"):
            with self.subTest(key):
                process = self.start("--window")
                self.assertEqual("Orlinde", self.window()["name"])
                self.lit(f"window-{key}.png", FIRST, ready=lambda lit: lit[lit.shape[0] // 2:].mean() > 0.9)
                self.sway.press("a", "Left", first_delay_ms=300)
                self.assertRuns(process, "keys that do not end it")
                self.sway.press(key, first_delay_ms=300)
                self.assertEnds(process)


class EndingTest(WaylandCase):
    def test_signals_end_it_with_status_0(self):
        for name in ("SIGTERM", "SIGINT", "SIGHUP"):
            with self.subTest(name):
                process = self.start("--root")
                self.lit(f"signal-{name}.png", FIRST)
                process.send_signal(getattr(signal, name))
                self.assertEqual("", self.assertEnds(process, timeout=5))


class BadInputTest(WaylandCase):
    def assertRefused(self, args, says: str, env=None, one_line=True):
        result = self.sway.run(PROGRAM, *args, env=env, timeout=20)
        lines = result.stderr.decode(errors="replace").splitlines()
        self.assertEqual(1, result.returncode, f"{args}: {lines}")
        self.assertTrue(lines and lines[0].startswith("orlinde: ") and says in lines[0], f"{args}: {lines}")
        if one_line:
            self.assertEqual(1, len(lines), f"{args}: {lines}")
        self.assertEqual(b"", result.stdout)

    def test_each_fault_is_one_line_and_status_1(self):
        empty = self.sway.start(EMPTY_COMPOSITOR, "orlinde-empty")
        self.assertEqual(b"ready\n", empty.stdout.readline())
        cases = [
            (["--root"], "cannot connect to the Wayland compositor \"none-such\"", {"WAYLAND_DISPLAY": "none-such"}),
            (["--root"], "offers no wl_compositor", {"WAYLAND_DISPLAY": "orlinde-empty"}),
            (["--root"], "no EGL", {"__EGL_VENDOR_LIBRARY_FILENAMES": str(self.work / "no-vendor.json")}),
            (["--wayland", "--window-id", "0x400001"], "--window-id names an X window: not with --wayland", None),
            (["--root", "--texture", str(self.work / "missing.bmp")], "cannot read the texture", None),
        ]
        for args, says, env in cases:
            with self.subTest(says):
                self.assertRefused(args, says, env)
        self.assertRefused(["--wayland", "--x11"], "exclude each other", one_line=False)
        self.assertEqual([], [o for o in self.sway.outputs() if o["name"] != FIRST], "nothing else changed")

        # The compositor gone under a running program.
        process = self.start("--root")
        self.lit("lost.png", FIRST)
        self.sway.sway.kill()
        said = self.assertEnds(process, status=1)
        self.assertEqual(1, len(said.splitlines()), said)
        self.assertTrue(said.startswith("orlinde: lost the connection to the Wayland compositor"), said)


if __name__ == "__main__":
    unittest.main()
