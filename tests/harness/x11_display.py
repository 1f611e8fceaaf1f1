"""A private virtual X display (Xvfb) and what the end-to-end tests observe on it: windows, the pointer,
keys, screenshots and their pixels. The Wine session builds on it; the Linux program's tests use it
directly through X11Session. Every wait is bounded; a session ends only what it started."""
from __future__ import annotations

import contextlib
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path


class HarnessError(AssertionError):
    pass


POLL_INTERVAL = 0.1


def wait_until(predicate, timeout: float, what: str, interval: float = POLL_INTERVAL):
    """Calls `predicate` until it returns something true and returns that; raises HarnessError saying
    `what` was not reached when `timeout` seconds pass first. The predicate is always called once more
    after the deadline, so a slow poll cannot make a reached condition fail."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise HarnessError(f"{what}: not within {timeout} s")
        time.sleep(interval)


def start_xvfb(width: int, height: int, extra_args=(), glx: bool = True) -> tuple[subprocess.Popen, str]:
    """Starts Xvfb on a free display number (it reports the number itself); returns it and ":N"."""
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24",
         "-nolisten", "tcp", "-noreset", "+extension" if glx else "-extension", "GLX", *extra_args],
        pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    number = b""
    deadline = time.monotonic() + 20
    with os.fdopen(read_fd, "rb") as pipe:
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            chunk = pipe.read(1)
            if not chunk:
                break
            number += chunk
    if not number.strip():
        xvfb.kill()
        raise HarnessError("Xvfb did not report a display")
    return xvfb, ":" + number.decode().strip()


def stop_server(server: subprocess.Popen | None) -> None:
    """Ends a display server or compositor as its user would (SIGTERM), killing it after ten seconds."""
    if server and server.poll() is None:
        server.send_signal(signal.SIGTERM)
        try:
            server.wait(timeout=10)
        except subprocess.TimeoutExpired:
            server.kill()
            server.wait(timeout=10)


def end_processes(processes: list[subprocess.Popen]) -> None:
    """Kills what a session started and is still running, reaps it and closes its pipes."""
    for p in processes:
        if p.poll() is None:
            with contextlib.suppress(Exception):
                p.kill()
        with contextlib.suppress(Exception):
            p.wait(timeout=10)
        for pipe in (p.stdin, p.stdout, p.stderr):
            if pipe:
                pipe.close()


class XDisplay:
    """What can be seen and done on an X display; needs self.display, self.env and self.artifacts."""
    display: str
    env: dict
    artifacts: Path

    def x_windows(self) -> list[dict]:
        """Every X window with a name: id, title, width, height, x, y."""
        out = subprocess.run(["xwininfo", "-root", "-tree", "-display", self.display],
                             capture_output=True, text=True, timeout=20, check=False).stdout
        found = []
        for line in out.splitlines():
            m = re.match(r'\s*(0x[0-9a-f]+) "(.*)": \(.*\)\s+(\d+)x(\d+)\+(-?\d+)\+(-?\d+)', line)
            if m:
                found.append({"id": m.group(1), "title": m.group(2), "width": int(m.group(3)),
                              "height": int(m.group(4)), "x": int(m.group(5)), "y": int(m.group(6))})
        return found

    def wait_for_window(self, title: str, timeout: float = 30.0) -> dict:
        return wait_until(lambda: next((w for w in self.x_windows() if w["title"] == title), None), timeout,
                          f"a window titled {title!r}", interval=0.2)

    def window_exists(self, title: str) -> bool:
        return any(w["title"] == title for w in self.x_windows())

    def wait_window_gone(self, title: str, timeout: float = 10.0) -> None:
        wait_until(lambda: not self.window_exists(title), timeout, f"the window titled {title!r} gone")

    def xdotool(self, *args) -> None:
        subprocess.run(["xdotool", *map(str, args)], env=self.env, timeout=20, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def mouse_move(self, x: int, y: int) -> None:
        self.xdotool("mousemove", "--sync", x, y)

    def mouse_position(self) -> tuple[int, int]:
        out = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.env, capture_output=True,
                             text=True, timeout=20, check=True).stdout
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"])

    def press_key(self, key: str, hold: float = 0.3, window: dict | None = None) -> None:
        """Sends one key as down, a short hold, then up (the renderer samples keys once a frame)."""
        self.hold_key(key, hold, window)

    def hold_key(self, key: str, seconds: float, window: dict | None = None) -> float:
        """Holds a key down for about `seconds` (to the window, given the focus first); returns how long
        it really was held, for tests that measure what a held key does per second."""
        if window is not None:
            self.xdotool("windowfocus", "--sync", window["id"])
        began = time.monotonic()
        self.xdotool("keydown", key)
        time.sleep(seconds)  # the hold is the behaviour: the key must be down across frames
        self.xdotool("keyup", key)
        return time.monotonic() - began

    def screenshot(self, name: str) -> Path:
        path = self.artifacts / name
        subprocess.run(["import", "-display", self.display, "-window", "root", str(path)], timeout=30, check=True)
        return path



class Picture:
    """An RGB picture read through ImageMagick, for pixel checks."""

    def __init__(self, path: Path):
        data = subprocess.run(["convert", str(path), "-depth", "8", "rgb:-"], capture_output=True,
                              timeout=30, check=True).stdout
        size = subprocess.run(["identify", "-format", "%w %h", str(path)], capture_output=True, text=True,
                              timeout=30, check=True).stdout.split()
        self.width, self.height = int(size[0]), int(size[1])
        self.data = data

    def pixel(self, x: int, y: int) -> tuple[int, int, int]:
        k = (y * self.width + x) * 3
        return self.data[k], self.data[k + 1], self.data[k + 2]

    def region(self, x0: int, y0: int, x1: int, y1: int):
        for y in range(y0, y1):
            for x in range(x0, x1):
                yield self.pixel(x, y)

    def distinct_colours(self, x0=0, y0=0, x1=None, y1=None) -> int:
        x1 = self.width if x1 is None else x1
        y1 = self.height if y1 is None else y1
        return len(set(self.region(x0, y0, x1, y1)))

    def differs(self, other: "Picture") -> int:
        """How many bytes differ between two pictures of one size."""
        return sum(1 for a, b in zip(self.data, other.data) if a != b)


def record_run(display: XDisplay, out: Path, seconds: float, every: float = 0.4) -> list[Path]:
    """Screenshots of the display every `every` seconds for `seconds`, kept as out/frame-NNN.png; the middle
    one also as out/screenshot.png, and all of them as an animated GIF at half size, out/rain.gif."""
    frames = []
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline or not frames:
        frames.append(display.screenshot(f"frame-{len(frames):03d}.png"))
        time.sleep(every)  # the recording's frame interval
    shutil.copy2(frames[len(frames) // 2], out / "screenshot.png")
    subprocess.run(["convert", "-delay", str(round(every * 100)), "-loop", "0", *map(str, frames), "-resize", "50%",
                    str(out / "rain.gif")], check=False, timeout=300)
    return frames


class X11Session(XDisplay):
    """A private Xvfb for native X11 programs; use as a context manager. glx=False starts the display
    without the GLX extension."""

    def __init__(self, artifacts: Path | None = None, width: int = 1024, height: int = 768, glx: bool = True):
        self.width, self.height, self.glx = width, height, glx
        self.artifacts = Path(artifacts) if artifacts else Path(tempfile.mkdtemp(prefix="orlinde-art-"))
        self.artifacts.mkdir(parents=True, exist_ok=True)
        self.xvfb: subprocess.Popen | None = None
        self.processes: list[subprocess.Popen] = []

    def __enter__(self) -> "X11Session":
        self.xvfb, self.display = start_xvfb(self.width, self.height, glx=self.glx)
        self.env = {**os.environ, "DISPLAY": self.display}
        self.env.pop("XSCREENSAVER_WINDOW", None)
        self.env.pop("WAYLAND_DISPLAY", None)  # inside a Wayland session the program would draw there
        return self

    def __exit__(self, *exc) -> None:
        end_processes(self.processes)
        stop_server(self.xvfb)

    def start(self, *command, env: dict | None = None, stdin=subprocess.DEVNULL) -> subprocess.Popen:
        """Starts a program on the display and returns at once; its output is kept in pipes."""
        p = subprocess.Popen([str(c) for c in command], env={**self.env, **(env or {})}, stdin=stdin,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.processes.append(p)
        return p

    def run(self, *command, env: dict | None = None, timeout: float = 30.0) -> subprocess.CompletedProcess:
        return subprocess.run([str(c) for c in command], env={**self.env, **(env or {})}, capture_output=True,
                              timeout=timeout, check=False)
