"""The renderer "Orlinde.xy" under Wine, driven and watched from outside as a user would."""
import struct
import time
import unittest

from e2e_paths import PREFIX, RENDERER, TEXTURE, artifacts, fixture
from program_names import RENDERER_TITLE
from surface_outline import count_black, screen_turn, wait_for_still_turn
from wine_session import Picture, WineSession, wait_until

ARTIFACTS = artifacts("renderer")
CLOSE_WINDOW = fixture("renderer", "closewindow.exe")
POWER_BROADCAST = fixture("renderer", "powerbroadcast.exe")
TITLE = RENDERER_TITLE


class RendererSession(unittest.TestCase):
    """Each test starts its own virtual screen with the hand-over texture in place."""
    SCREEN = (1024, 768)

    def setUp(self):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        self.session = self.enterContext(WineSession(PREFIX, artifacts=ARTIFACTS, width=self.SCREEN[0],
                                                     height=self.SCREEN[1]))
        self.handover = self.session.handover_path()
        self.handover.write_bytes(TEXTURE.read_bytes())
        self.addCleanup(lambda: self.handover.unlink(missing_ok=True))

    def start(self):
        process = self.session.start(RENDERER)
        window = self.session.wait_for_window(TITLE, timeout=60)
        # The loop runs (and has taken the start cursor) once the surface is drawn below the screen's middle.
        width, height = self.SCREEN
        wait_until(lambda: Picture(self.session.screenshot("renderer-start.png")).pixel(width // 2, height * 3 // 4)
                   != (0, 0, 0), 20, "the renderer draws its surface")
        # Wine's desktop start-up may have placed the pointer: moves are made relative to where it is.
        self.origin = self.session.mouse_position()
        return process, window

    def move_by(self, dx, dy):
        self.session.mouse_move(self.origin[0] + dx, self.origin[1] + dy)

    def assertEndsWith(self, process, code, timeout=20):
        self.assertEqual(code, self.session.wait_exit(process, timeout))
        self.session.wait_window_gone(TITLE)

    def assertStillRunning(self, process, seconds=2.0):
        time.sleep(seconds)  # what is checked is that it goes on running over this time
        self.assertIsNone(process.poll(), "the renderer ended")
        self.assertTrue(self.session.window_exists(TITLE))


class RendererTest(RendererSession):
    def test_covers_the_screen_and_shows_the_textured_surface(self):
        process, window = self.start()
        self.assertLessEqual(window["x"], 0)
        self.assertLessEqual(window["y"], 0)
        self.assertGreaterEqual(window["x"] + window["width"], self.session.width)
        self.assertGreaterEqual(window["y"] + window["height"], self.session.height)
        # The tilted square fills the lower part of the screen with the blue-green picture; the black
        # background shows above its far edge.
        def lit_centre():
            shot = Picture(self.session.screenshot("renderer-running.png"))
            centre = list(shot.region(312, 500, 712, 700))
            lit = [p for p in centre if p != (0, 0, 0)]
            return (shot, lit) if len(lit) > 0.95 * len(centre) else None

        shot, lit = wait_until(lit_centre, 10, "the picture fills the lower middle of the screen")
        self.assertGreater(sum(p[2] for p in lit), sum(p[0] for p in lit), "blue outweighs red")
        self.assertGreater(shot.distinct_colours(0, 300, 1024, 768), 200)
        self.assertEqual((0, 0, 0), shot.pixel(5, 5))
        self.session.press_key("Escape", window=window)
        self.assertEndsWith(process, 0)

    def test_escape_ends_with_code_0(self):
        process, window = self.start()
        self.session.press_key("Escape", window=window)
        self.assertEndsWith(process, 0)

    def test_wm_close_from_another_program_ends_with_code_0(self):
        process, _ = self.start()
        result = self.session.run(CLOSE_WINDOW, TITLE, timeout=30)
        self.assertEqual(0, result.returncode)
        self.assertEndsWith(process, 0)

    def test_diagonal_cursor_move_ends_with_code_0(self):
        process, _ = self.start()
        self.move_by(31, 31)
        self.assertEndsWith(process, 0)

    def test_single_axis_moves_keep_it_running(self):
        process, window = self.start()
        self.move_by(500, 30)
        self.assertStillRunning(process)
        self.move_by(30, 300)
        self.assertStillRunning(process)
        self.move_by(-30, -300)
        self.assertStillRunning(process)
        self.move_by(-31, -31)
        self.assertEndsWith(process, 0)

    def test_arrow_keys_turn_and_tilt_the_surface(self):
        process, window = self.start()
        before = count_black(Picture(self.session.screenshot("renderer-keys-before.png")))
        self.session.press_key("Left", hold=1.0, window=window)
        turned = count_black(Picture(self.session.screenshot("renderer-keys-turned.png")))
        # Ripples never change the outline; turning does.
        self.assertGreater(len(before ^ turned), 500)
        self.session.press_key("Up", hold=1.0, window=window)
        tilted = count_black(Picture(self.session.screenshot("renderer-keys-tilted.png")))
        self.assertGreater(len(turned ^ tilted), 500)
        self.session.press_key("Escape", window=window)
        self.assertEndsWith(process, 0)

    def assertQuietExitWithCode1(self):
        process = self.session.start(RENDERER)
        seen_titles = set()

        def ended():
            seen_titles.update(w["title"] for w in self.session.x_windows())
            return process.poll() is not None

        wait_until(ended, 30, "the renderer ends by itself")
        self.assertEqual(1, self.session.wait_exit(process, 5))
        self.assertNotIn("Error", seen_titles, "no message box")
        self.assertNotIn(b"page fault", process.stderr.read() if process.stderr else b"")

    def test_missing_texture_file_exits_1_without_a_message(self):
        self.handover.unlink()
        self.assertQuietExitWithCode1()

    def test_malformed_texture_files_exit_1_without_a_message(self):
        good = TEXTURE.read_bytes()
        malformed = {
            "8 bits per pixel": good[:28] + struct.pack("<H", 8) + good[30:],
            "gigantic width": good[:18] + struct.pack("<i", 0x7FFFFFFF) + good[22:],
            "top-down": good[:22] + struct.pack("<i", -256) + good[26:],
            "size smaller than the pixels": good[:34] + struct.pack("<I", 1000) + good[38:],
            "headers cut short": good[:40],
        }
        for name, data in malformed.items():
            with self.subTest(name):
                self.handover.write_bytes(data)
                self.assertQuietExitWithCode1()


class SceneStepsTest(RendererSession):
    """On a small screen, where an unpaced loop would draw hundreds of frames a second."""
    SCREEN = (320, 240)

    def test_held_arrows_turn_half_a_degree_per_sixtieth_of_a_second(self):
        process, window = self.start()
        turned = screen_turn(self.session, "renderer-steps-start.png", window)
        self.assertAlmostEqual(20.0, turned, delta=1.5, msg="the set-up turn is read from the screen")
        for key, seconds, sign in (("Left", 1.0, 1), ("Right", 0.5, -1)):
            with self.subTest(key):
                held = self.session.hold_key(key, seconds, window)
                # The turn has ended once two screenshots in a row show about the same angle.
                now = wait_for_still_turn(self.session, f"renderer-steps-{key.lower()}.png", window, tolerance=1.0)
                change = (sign * (now - turned)) % 90
                # 0.5° for each of 60 steps a second, whatever the frame rate; the bounds leave room for
                # key delivery and a busy machine.
                expected = 30.0 * held
                self.assertGreaterEqual(change, 0.5 * expected - 2, f"held {held:.2f} s")
                self.assertLessEqual(change, 1.25 * expected + 2, f"held {held:.2f} s")
                turned = now
        self.session.press_key("Escape", window=window)
        self.assertEndsWith(process, 0)

    def test_escape_and_a_diagonal_pointer_move_end_it_on_a_screen_that_draws_fast(self):
        for end in ("Escape", "pointer"):
            with self.subTest(end):
                process, window = self.start()
                if end == "Escape":
                    self.session.press_key("Escape", window=window)
                else:
                    self.move_by(-31, 31)
                self.assertEndsWith(process, 0)


class DisplayPowerTest(RendererSession):
    """The system's suspend and resume broadcasts, posted to the renderer's window as Windows posts them.
    The display-state notification itself cannot be sent from outside (its data is a pointer into the
    sender); the Windows test program win32_display_power drives that in process."""
    SCREEN = (320, 240)

    def broadcast(self, event: str):
        self.assertEqual(0, self.session.run(POWER_BROADCAST, TITLE, event, timeout=30).returncode)

    def moving(self, name: str) -> bool:
        """Whether two screenshots half a second apart differ: ripples spread, drops fall."""
        first = Picture(self.session.screenshot(f"renderer-power-{name}-1.png"))
        time.sleep(0.5)  # the interval over which a running scene must change
        return Picture(self.session.screenshot(f"renderer-power-{name}-2.png")).differs(first) > 0

    def pause(self):
        self.broadcast("suspend")
        # Frames already on their way may still land; then the picture stands.
        wait_until(lambda: not self.moving("paused"), 10, "the picture stands still after the suspend")

    def test_a_suspend_stops_the_rain_and_the_resume_starts_it_again(self):
        process, window = self.start()
        wait_until(lambda: self.moving("running"), 10, "the rain moves")
        self.pause()
        self.assertFalse(self.moving("still-paused"), "nothing is drawn while suspended")
        self.assertIsNone(process.poll())
        self.broadcast("resume")
        wait_until(lambda: self.moving("resumed"), 10, "the rain moves again after the resume")
        self.session.press_key("Escape", window=window)
        self.assertEndsWith(process, 0)

    def test_escape_and_a_diagonal_pointer_move_end_it_while_it_is_paused(self):
        for end in ("Escape", "pointer"):
            with self.subTest(end):
                process, window = self.start()
                self.pause()
                if end == "Escape":
                    self.session.press_key("Escape", window=window)
                else:
                    self.move_by(31, -31)
                self.assertEndsWith(process, 0)


if __name__ == "__main__":
    unittest.main()
