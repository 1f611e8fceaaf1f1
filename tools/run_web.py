"""Serves the web page on 127.0.0.1 and shows it, or keeps pictures of it.

On $DISPLAY (when there is one and --headless is not given) it opens the page in the system's browser and
serves it until Ctrl+C. Otherwise it loads the page in headless chromium (SwiftShader's WebGL) at 1024 × 768
for --seconds, with screenshots and an animated GIF in --out. --query passes the page's settings, for
example --query "?rain-interval=200&fps".
"""
import argparse
import os
import shutil
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "harness"))
from web_browser import Browser, PageServer  # noqa: E402
from x11_display import record_run  # noqa: E402


class _Screenshots:
    """What record_run takes pictures from: the headless browser's page."""

    def __init__(self, browser: Browser):
        self.browser = browser

    def screenshot(self, name: str) -> Path:
        return self.browser.screenshot(name).path


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=str(ROOT / "build" / "web"))
    parser.add_argument("--out", default=str(ROOT / "out" / "run"))
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--query", default="", help="the page's settings, as an address's query")
    parser.add_argument("--headless", action="store_true", help="headless chromium even with a display")
    args = parser.parse_args()
    page = Path(args.build) / "web" / "page"
    if not (page / "orlinde.wasm").exists():
        print(f"run: no page in {page}: build the web preset first", file=sys.stderr)
        return 1

    server = PageServer(page)
    url = server.url + args.query
    try:
        if os.environ.get("DISPLAY") and not args.headless:
            opener = shutil.which("xdg-open") or shutil.which("chromium")
            print(f"run: the page at {url}, opened with {opener}; Ctrl+C stops serving it")
            subprocess.Popen([opener, url], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                server.thread.join()
            except KeyboardInterrupt:
                pass
            return 0

        out = Path(args.out)
        if out.exists():
            shutil.rmtree(out)
        out.mkdir(parents=True)
        browser = Browser(out, width=1024, height=768)
        try:
            browser.open(url)
            browser.wait_for_rain("first.png", timeout=60)
            print(f"run: the page at {url} in headless chromium, 1024 × 768")
            frames = record_run(_Screenshots(browser), out, args.seconds)
            errors = browser.console_errors()
        finally:
            browser.close()
        print(f"run: pictures in {out} (screenshot.png, rain.gif, {len(frames)} frames)")
        for error in errors:
            print(f"run: console error: {error}", file=sys.stderr)
        return 1 if errors else 0
    finally:
        server.close()


if __name__ == "__main__":
    sys.exit(main())
