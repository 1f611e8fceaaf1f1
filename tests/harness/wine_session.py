"""Runs Windows programs under Wine on a private virtual X display, and observes them from outside.

Used by the Windows test programs (through wine_run.py) and by the end-to-end tests. Every wait is
bounded; a session ends everything it started: the prefix's wineserver and its own Xvfb.
"""
from __future__ import annotations

import contextlib
import fcntl
import getpass
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

SCREEN_WIDTH = 1024
SCREEN_HEIGHT = 768


class HarnessError(AssertionError):
    pass


POLL_INTERVAL = 0.1


def wait_until(predicate, timeout: float, what: str, interval: float = POLL_INTERVAL):
    """Calls `predicate` until it returns something true and returns that; raises HarnessError saying
    `what` was not reached when `timeout` seconds pass first. The predicate is always called at least once
    after the deadline's last poll, so a slow poll cannot make a reached condition fail."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise HarnessError(f"{what}: not within {timeout} s")
        time.sleep(interval)


# Japanese faces that Windows has and Wine's prefix lacks, mapped to the IPA fonts (fonts-ipafont-gothic):
# the dialog's labels name "ＭＳ Ｐゴシック", and message boxes reach Japanese glyphs through the
# "MS UI Gothic" font link of the message font.
FONT_REPLACEMENTS = {
    "MS UI Gothic": "IPAGothic",
    "MS Gothic": "IPAGothic",
    "MS PGothic": "IPAPGothic",
    "ＭＳ ゴシック": "IPAGothic",
    "ＭＳ Ｐゴシック": "IPAPGothic",
    "MS Mincho": "IPAMincho",
    "ＭＳ 明朝": "IPAMincho",
}
PREFIX_VERSION = "2: font replacements"


def ensure_prefix(prefix: Path, timeout: float = 180.0, env_extra: dict | None = None,
                  registry: dict | None = None) -> None:
    """Creates the Wine prefix once (about 10 s); later callers wait on the lock and reuse it.

    env_extra is added to the environment of the Wine processes that create it; registry holds further
    values to write, {key: {name: string value}}, e.g. {"HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver":
    {"UseXRandR": "N"}}. A prefix made with other values is brought up to date."""
    prefix.parent.mkdir(parents=True, exist_ok=True)
    lock_path = prefix.parent / (prefix.name + ".lock")
    ready = prefix / ".orlinde-ready"
    registry = registry or {}
    version = PREFIX_VERSION + "".join(f"; {key}: {sorted(values.items())}" for key, values in sorted(registry.items()))
    with open(lock_path, "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if (prefix / "system.reg").exists() and ready.exists() and ready.read_text().strip() == version:
            return
        env = base_env(prefix, None, "C.UTF-8")
        env.update(env_extra or {})
        if not (prefix / "system.reg").exists():
            subprocess.run(["wineboot", "-i"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=timeout, check=False)
            subprocess.run(["wineserver", "-w"], env=env, timeout=timeout, check=False)
        if not (prefix / "system.reg").exists():
            raise HarnessError(f"wineboot did not create the prefix {prefix}")
        lines = ["Windows Registry Editor Version 5.00", "",
                 "[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]"]
        lines += [f'"{face}"="{substitute}"' for face, substitute in FONT_REPLACEMENTS.items()]
        for key, values in registry.items():
            lines += ["", f"[{key}]"] + [f'"{name}"="{value}"' for name, value in values.items()]
        reg = prefix / "orlinde-fonts.reg"
        reg.write_bytes(("\r\n".join(lines) + "\r\n").encode("utf-16"))
        subprocess.run(["wine", "regedit", "/S", str(reg)], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=timeout, check=False)
        subprocess.run(["wineserver", "-w"], env=env, timeout=timeout, check=False)
        ready.write_text(version + "\n")


def base_env(prefix: Path, display: str | None, locale: str) -> dict[str, str]:
    env = dict(os.environ)
    env.update({
        "WINEPREFIX": str(prefix),
        "WINEDEBUG": env.get("ORLINDE_WINEDEBUG", "-all"),
        "WINEDLLOVERRIDES": "mscoree,mshtml=",
        "LC_ALL": locale,
        "LANG": locale,
    })
    if display:
        env["DISPLAY"] = display
    else:
        env.pop("DISPLAY", None)
    return env


class WineSession:
    """A private Xvfb display plus a prefix; use as a context manager.

    width and height give the Xvfb screen's size and xvfb_args further Xvfb options (e.g. "-retro" for the
    grey weave on the root window instead of black); env_extra is added to the environment of every program
    the session starts (the first Wine process among them brings up the prefix's wineserver and desktop);
    prefix_registry is handed to ensure_prefix for a prefix of its own, which is then created with env_extra
    in its environment too."""

    def __init__(self, prefix: Path, locale: str = "C.UTF-8", artifacts: Path | None = None,
                 width: int = SCREEN_WIDTH, height: int = SCREEN_HEIGHT, env_extra: dict | None = None,
                 display: str | None = None, prefix_registry: dict | None = None,
                 xvfb_args: tuple[str, ...] = ()):
        self.prefix = Path(prefix)
        self.locale = locale
        self.width = width
        self.height = height
        self.artifacts = Path(artifacts) if artifacts else Path(tempfile.mkdtemp(prefix="orlinde-art-"))
        self.artifacts.mkdir(parents=True, exist_ok=True)
        self.env_extra = env_extra or {}
        self.prefix_registry = prefix_registry
        self.xvfb_args = tuple(xvfb_args)
        self.xvfb: subprocess.Popen | None = None
        self.display: str | None = display  # an existing display to use instead of a private Xvfb
        self.processes: list[subprocess.Popen] = []

    # --- life cycle -------------------------------------------------------------------------------
    def __enter__(self) -> "WineSession":
        if self.prefix_registry:
            ensure_prefix(self.prefix, env_extra=self.env_extra, registry=self.prefix_registry)
        else:
            ensure_prefix(self.prefix)
        if self.display:
            self.env = base_env(self.prefix, self.display, self.locale)
            self.env.update(self.env_extra)
            return self
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{self.width}x{self.height}x24",
             "-nolisten", "tcp", "-noreset", "+extension", "GLX", *self.xvfb_args],
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
            self.xvfb.kill()
            raise HarnessError("Xvfb did not report a display")
        self.display = ":" + number.decode().strip()
        self.env = base_env(self.prefix, self.display, self.locale)
        self.env.update(self.env_extra)
        return self

    def __exit__(self, *exc) -> None:
        for p in self.processes:
            if p.poll() is None:
                with contextlib.suppress(Exception):
                    p.kill()
        with contextlib.suppress(Exception):
            subprocess.run(["wineserver", "-k"], env=self.env, timeout=30, check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with contextlib.suppress(Exception):
            subprocess.run(["wineserver", "-w"], env=self.env, timeout=30, check=False)
        for p in self.processes:
            with contextlib.suppress(Exception):
                p.wait(timeout=10)
        if self.xvfb and self.xvfb.poll() is None:
            self.xvfb.send_signal(signal.SIGTERM)
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()

    # --- Windows programs -------------------------------------------------------------------------
    def run(self, exe, *args, timeout: float = 60.0, env: dict | None = None) -> subprocess.CompletedProcess:
        """Runs a Windows program to its end; returns the completed process (its Windows exit code)."""
        return subprocess.run(["wine", str(exe), *map(str, args)], env={**self.env, **(env or {})},
                              capture_output=True, timeout=timeout, check=False)

    def start(self, exe, *args, env: dict | None = None, cwd=None) -> subprocess.Popen:
        """Starts a Windows program and returns at once."""
        p = subprocess.Popen(["wine", str(exe), *map(str, args)], env={**self.env, **(env or {})},
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, cwd=cwd)
        self.processes.append(p)
        return p

    def wait_exit(self, process: subprocess.Popen, timeout: float) -> int | None:
        try:
            return process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    # --- paths inside the prefix ------------------------------------------------------------------
    @property
    def drive_c(self) -> Path:
        return self.prefix / "drive_c"

    def temp_dir(self) -> Path:
        """The Unix path of the Windows user's temporary folder (what GetTempPath returns)."""
        user = os.environ.get("USER") or getpass.getuser()
        path = self.drive_c / "users" / user / "Temp"
        path.mkdir(parents=True, exist_ok=True)
        return path

    def windows_path(self, unix_path: Path) -> str:
        """A Unix path inside drive_c as Wine names it."""
        rel = Path(unix_path).resolve().relative_to(self.drive_c.resolve())
        return "C:\\" + str(rel).replace("/", "\\")

    # --- observing the X display ------------------------------------------------------------------
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
                          f"a window titled {title!r}")

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
        if window is not None:
            self.xdotool("windowfocus", "--sync", window["id"])
        self.xdotool("keydown", key)
        time.sleep(hold)  # the hold is the behaviour: the key must be down across several frames
        self.xdotool("keyup", key)

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


def write_alsa_file_sink(home: Path, sink: Path) -> None:
    """Gives Wine a sound device: an .asoundrc in `home` (to be the HOME of the Wine programs) whose default
    ALSA device writes the raw samples into `sink`, so that a test can hear what was played."""
    Path(home).mkdir(parents=True, exist_ok=True)
    (Path(home) / ".asoundrc").write_text(
        'pcm.!default {\n  type file\n  slave.pcm "null"\n'
        f'  file "{sink}"\n  format "raw"\n}}\n')


def which_or_fail(tool: str) -> str:
    path = shutil.which(tool)
    if not path:
        raise HarnessError(f"{tool} is not installed; run tools/setup.sh")
    return path
