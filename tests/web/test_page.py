"""The web page in a real browser: Debian's chromium, headless, with SwiftShader's WebGL, driven by Selenium.
The page built by the web preset is served on 127.0.0.1; every case checks that the console shows no error."""
import os
import time
import unittest
from pathlib import Path

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

from surface_outline import START_TURN
from web_browser import Browser, PageServer
from x11_display import wait_until

PAGE = Path(os.environ["ORLINDE_WEB_PAGE"])
ARTIFACTS = Path(os.environ["ORLINDE_ARTIFACTS_DIR"]) / "web"
# The picture cases run at a small size: the outline fit reads every pixel for each angle it tries.
WIDTH, HEIGHT = 480, 360
# Never dropping: a still surface until something drops a drop.
NO_RAIN = "?rain-interval=2147483647"


def turn_difference(a: float, b: float) -> float:
    """How far apart two fitted turns are; the square looks the same a quarter turn on."""
    change = abs(a - b) % 90
    return min(change, 90 - change)


class PageTest(unittest.TestCase):
    webgl = True

    @classmethod
    def setUpClass(cls):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        cls.server = PageServer(PAGE)
        cls.browser = Browser(ARTIFACTS, webgl=cls.webgl, width=WIDTH, height=HEIGHT)

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()
        cls.server.close()

    def tearDown(self):
        self.assertEqual([], self.browser.console_errors(), "errors on the console")

    def open(self, query: str = ""):
        self.browser.open(self.server.url + query)


class RainTest(PageTest):
    def test_the_square_shows_where_the_desktop_program_shows_it_and_moves(self):
        self.open()
        first = self.browser.wait_for_rain("page-first.png")
        self.assertLess(turn_difference(self.browser.turn(first), START_TURN), 2.0)
        self.assertEqual("", self.browser.line())
        moved = wait_until(lambda: first.differs(self.browser.screenshot("page-later.png")) > 1000, 10,
                           "the rain moves the picture")
        self.assertTrue(moved)

    def test_an_arrow_key_turns_it(self):
        self.open(NO_RAIN)
        before = self.browser.turn(self.browser.wait_for_rain("page-before-turn.png"))
        canvas = self.browser.driver.find_element(By.ID, "canvas")
        # Held for a pace: 0.5° a scene step, 30° in this time at 60 steps a second, and still 10° on a machine
        # so busy that the page draws 5 frames a second (each frame runs at most 4 of the steps it owes).
        ActionChains(self.browser.driver).key_down(Keys.ARROW_LEFT, canvas).pause(1.0).key_up(
            Keys.ARROW_LEFT, canvas).perform()
        after = self.browser.turn(self.browser.screenshot("page-after-turn.png"))
        self.assertGreater(turn_difference(after, before), 4.0)

    def test_a_click_adds_a_drop(self):
        self.open(NO_RAIN)
        self.browser.wait_for_rain("page-still.png")
        # With no rain the flat surface is still: two screenshots a pace apart are the same.
        still = self.browser.screenshot("page-still.png")
        time.sleep(0.5)  # a pace: the surface must not change meanwhile
        self.assertEqual(0, still.differs(self.browser.screenshot("page-still-again.png")))
        self.browser.driver.find_element(By.ID, "canvas").click()
        wait_until(lambda: still.differs(self.browser.screenshot("page-after-click.png")) > 100, 10,
                   "the click's drop ripples the surface")

    def test_f_and_a_double_click_toggle_full_screen(self):
        self.open(NO_RAIN)
        self.browser.wait_for_rain("page-before-full-screen.png")
        driver = self.browser.driver
        canvas = driver.find_element(By.ID, "canvas")

        def full_screen(wanted: bool):
            return lambda: driver.execute_script("return document.fullscreenElement !== null;") == wanted

        ActionChains(driver).send_keys_to_element(canvas, "f").perform()
        wait_until(full_screen(True), 10, "F makes the page full screen")
        ActionChains(driver).send_keys_to_element(canvas, "F").perform()
        wait_until(full_screen(False), 10, "F again leaves full screen")
        ActionChains(driver).double_click(canvas).perform()
        wait_until(full_screen(True), 10, "a double click makes the page full screen")
        ActionChains(driver).double_click(canvas).perform()
        wait_until(full_screen(False), 10, "a second double click leaves full screen")

    def test_a_hidden_page_draws_nothing_and_rains_again_when_shown(self):
        self.open("?rain-interval=100")
        self.browser.wait_for_rain("page-before-hiding.png")
        # The page told it is hidden, as a browser does when its tab goes to the background (a headless
        # browser's tabs are never hidden); the animation frames go on, so only the page's own rule stops the
        # drawing.
        self.browser.set_hidden(True)
        hidden = self.browser.screenshot("page-hidden.png")
        time.sleep(1.0)  # a pace: with a drop every 100 ms the picture would change meanwhile
        self.assertEqual(0, hidden.differs(self.browser.screenshot("page-hidden-later.png")))
        self.browser.set_hidden(False)
        wait_until(lambda: hidden.differs(self.browser.screenshot("page-shown.png")) > 1000, 10,
                   "the rain goes on when the page is shown")

    def test_a_resize_lays_the_canvas_out_again_at_the_pixel_ratio(self):
        self.open()
        self.browser.wait_for_rain("page-before-resize.png")
        driver = self.browser.driver
        for width, height, ratio in ((400, 400, 1), (320, 240, 2)):
            driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                   {"width": width, "height": height, "deviceScaleFactor": ratio, "mobile": False})
            canvas = wait_until(lambda: (c := self.browser.canvas())["width"] == width * ratio and c,
                                10, f"the canvas follows {width} × {height} at {ratio}")
            self.assertEqual((width * ratio, height * ratio), (canvas["width"], canvas["height"]))
            picture = self.browser.screenshot(f"page-resized-{width}x{height}x{ratio}.png")
            self.assertEqual((width * ratio, height * ratio), (picture.width, picture.height))
            self.browser.turn(picture)  # the square's outline for the new shape
        driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


class SettingsTest(PageTest):
    def test_a_bad_setting_shows_its_line(self):
        cases = {
            "?rain-interval=abc": 'Not started: rain-interval: "abc" is no number of milliseconds.',
            "?fps=yes": "Not started: fps takes no value.",
            "?texture=water.bmp": 'Not started: "texture" is no setting of this page (rain-interval, fps).',
        }
        for query, line in cases.items():
            with self.subTest(query=query):
                self.open(query)
                self.assertEqual(line, wait_until(self.browser.line, 10, "the page's line"))

    def test_fps_shows_the_frame_rate(self):
        self.open("?fps")
        text = wait_until(lambda: self.browser.driver.execute_script(
            "const r = document.getElementById('rate'); return !r.hidden && r.textContent;"), 10, "the rate line")
        self.assertRegex(text, r"^[0-9]+\.[0-9] fps$")


class WithoutWebGlTest(PageTest):
    webgl = False

    def test_a_browser_without_webgl_gets_a_sentence(self):
        self.open()
        self.assertEqual("This browser does not draw with WebGL here, and the rain needs it.",
                         wait_until(self.browser.line, 10, "the page's line"))


if __name__ == "__main__":
    unittest.main()
