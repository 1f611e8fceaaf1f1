"""Figures for the web page, printed for docs/performance.md (never asserted): the page's download as a
server sends it (gzip), its frames per second in headless chromium (SwiftShader's WebGL) at 1024 × 768,
and the scene's arithmetic a frame as WebAssembly under Node beside the same source built natively.

    /usr/bin/python3 tests/bench/web_page.py [--seconds 10]

Needs the web and the native presets built (scene_arithmetic_wasm, orlinde_web; scene_arithmetic)."""
import argparse
import gzip
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent.parent
sys.path.insert(0, str(ROOT / "tests" / "harness"))
from web_browser import Browser, PageServer  # noqa: E402
from x11_display import wait_until  # noqa: E402

PAGE = ROOT / "build" / "web" / "web" / "page"


def download_sizes():
    print("the page's files: bytes, gzip -6 (a web server's usual level), gzip -9")
    totals = [0, 0, 0]
    for name in ("index.html", "orlinde.js", "orlinde.wasm"):
        data = (PAGE / name).read_bytes()
        sizes = [len(data), len(gzip.compress(data, 6, mtime=0)), len(gzip.compress(data, 9, mtime=0))]
        totals = [t + s for t, s in zip(totals, sizes)]
        print(f"  {name:14} {sizes[0]:8} {sizes[1]:8} {sizes[2]:8}")
    print(f"  {'together':14} {totals[0]:8} {totals[1]:8} {totals[2]:8}")


def frame_rate(seconds: float):
    server = PageServer(PAGE)
    browser = Browser(Path(tempfile.mkdtemp(prefix="orlinde-web-bench-")), width=1024, height=768)
    try:
        browser.open(server.url + "?fps")
        browser.wait_for_rain("first.png", timeout=60)
        rate = "document.getElementById('rate').textContent"
        wait_until(lambda: browser.driver.execute_script(f"return {rate};"), 20, "the first rate")
        readings = []
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            time.sleep(1.0)  # a pace: the page renews its rate once a second
            readings.append(browser.driver.execute_script(f"return {rate};"))
        print(f"frames a second in headless chromium at 1024 x 768, one reading a second: {', '.join(readings)}")
    finally:
        browser.close()
        server.close()


def arithmetic():
    native = subprocess.run([str(ROOT / "build" / "native" / "tests" / "bench" / "scene_arithmetic")],
                            capture_output=True, text=True, check=True, timeout=300).stdout.strip()
    wasm = subprocess.run(["node", str(ROOT / "build" / "web" / "tests" / "web" / "scene_arithmetic_wasm.js")],
                          capture_output=True, text=True, check=True, timeout=300).stdout.strip()
    print(f"native (g++ -O3): {native}")
    print(f"WebAssembly under Node {subprocess.run(['node', '--version'], capture_output=True, text=True).stdout.strip()}"
          f" (em++ -O3): {wasm}")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--seconds", type=float, default=10.0)
    args = parser.parse_args()
    download_sizes()
    arithmetic()
    frame_rate(args.seconds)
    return 0


if __name__ == "__main__":
    sys.exit(main())
