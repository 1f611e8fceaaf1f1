"""The web page in Debian's chromium, headless with SwiftShader's WebGL, driven through chromedriver by
Selenium (both from Debian, so nothing is downloaded at test time), with the page's folder served on
127.0.0.1 (a page does not load its WebAssembly from file://)."""
import functools
import http.server
import subprocess
import threading
from pathlib import Path

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

from surface_outline import fitted_turn
from x11_display import HarnessError, Picture, wait_until

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}

    def log_message(self, *args):
        pass


class PageServer:
    """Serves `folder` on 127.0.0.1 on a free port until closed."""

    def __init__(self, folder: Path):
        handler = functools.partial(_QuietHandler, directory=str(folder))
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}/"
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()
        self.thread.join(timeout=10)


class Browser:
    """One headless chromium with a 1024 × 768 page area; `webgl=False` starts it with WebGL switched off."""

    def __init__(self, artifacts: Path, webgl: bool = True, width: int = 1024, height: int = 768):
        self.artifacts = artifacts
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for argument in ("--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
                         f"--window-size={width},{height}", "--hide-scrollbars", "--disable-gpu-vsync"):
            options.add_argument(argument)
        if not webgl:
            options.add_argument("--disable-webgl")
            options.add_argument("--disable-3d-apis")
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        # The page area exactly this size (a headless window's own size is not the page's).
        self.set_page_size(width, height)
        self.driver.set_page_load_timeout(30)
        self.driver.set_script_timeout(30)

    def set_page_size(self, width: int, height: int, ratio: float = 1.0):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                    {"width": width, "height": height, "deviceScaleFactor": ratio, "mobile": False})

    def open(self, url: str):
        self.driver.get(url)

    def close(self):
        self.driver.quit()

    def canvas(self) -> dict:
        """The canvas's place in the page (CSS pixels), its drawing buffer's size and the pixel ratio."""
        return self.driver.execute_script(
            "const c = document.getElementById('canvas'); const r = c.getBoundingClientRect();"
            "return {x: r.x, y: r.y, cssWidth: r.width, cssHeight: r.height, width: c.width, height: c.height,"
            " ratio: window.devicePixelRatio};")

    def line(self) -> str:
        """The page's line over the canvas; empty while it is hidden."""
        return self.driver.execute_script(
            "const l = document.getElementById('line'); return l.hidden ? '' : l.textContent;")

    def set_hidden(self, hidden: bool):
        """Tells the page it is hidden or shown again: document.hidden and a visibilitychange event, as a
        browser gives them when a tab goes to the background and comes back."""
        self.driver.execute_script(
            "const hidden = arguments[0];"
            "Object.defineProperty(document, 'hidden', {value: hidden, configurable: true});"
            "Object.defineProperty(document, 'visibilityState', {value: hidden ? 'hidden' : 'visible',"
            " configurable: true});"
            "document.dispatchEvent(new Event('visibilitychange'));", hidden)

    def screenshot(self, name: str) -> Picture:
        path = self.artifacts / name
        path.write_bytes(self.driver.get_screenshot_as_png())
        picture = Picture(path)
        picture.path = path
        return picture

    def console_errors(self) -> list:
        return [entry["message"] for entry in self.driver.get_log("browser") if entry["level"] == "SEVERE"]

    def wait_for_rain(self, name: str, timeout: float = 20.0) -> Picture:
        """A screenshot once the canvas shows the surface (a quarter of the page lit)."""
        def lit():
            picture = self.screenshot(name)
            count = sum(1 for y in range(0, picture.height, 8) for x in range(0, picture.width, 8)
                        if picture.pixel(x, y) != (0, 0, 0))
            total = len(range(0, picture.height, 8)) * len(range(0, picture.width, 8))
            return picture if count > total / 4 else None
        return wait_until(lit, timeout, "the page shows the rain", interval=0.3)

    def turn(self, picture: Picture, least_match: float = 0.85) -> float:
        """The surface's turn on a screenshot of the page, by the desktop program's fit over the canvas. The
        fit reads every pixel for each angle it tries: it reads the picture taken down to about 160 pixels
        wide (each kept pixel one of the screenshot's, so that lit stays lit and black stays black)."""
        c = self.canvas()
        step = max(1, picture.width // 160)
        small = picture.path.with_suffix(".fit.png")
        subprocess.run(["convert", str(picture.path), "-sample", f"{100 / step}%", str(small)], check=True,
                       timeout=30)
        window = {key: c[key] / step for key in ("width", "height")}
        window.update(x=c["x"] * c["ratio"] / step, y=c["y"] * c["ratio"] / step)
        angle, match = fitted_turn(Picture(small), window)
        if match <= least_match:
            raise HarnessError(f"the outline of the square surface is not seen (match {match:.2f})")
        return angle
