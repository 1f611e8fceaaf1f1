"""A real X server whose monitors change while a program runs: Xorg with the dummy video driver, which offers
sixteen RandR outputs (DUMMY0 ... DUMMY15, only DUMMY0 connected at start). Outputs are added, placed, turned
off and on and given other modes with xrandr; Xinerama, XRRGetMonitors and Wine's XRandR view follow each
change. Any local client may connect (no authorisation file), so a daemon running as nobody can too. Every
wait is bounded; the session ends only what it started."""
from __future__ import annotations

import os
import re
import subprocess
import tempfile
import threading
import time
from pathlib import Path

from x11_display import HarnessError, X11Session, end_processes, stop_server, wait_until

XORG = "/usr/lib/xorg/Xorg"
VIRTUAL = (4096, 2160)  # the largest screen the outputs together may span

CONFIG = f"""Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoAddGPU" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual {VIRTUAL[0]} {VIRTUAL[1]}
  EndSubSection
EndSection
"""


def output_name(index: int) -> str:
    return f"DUMMY{index}"


def area(width: int, height: int, x: int, y: int) -> dict:
    return {"x": x, "y": y, "width": width, "height": height}


def bounding_box(areas: list[dict]) -> dict:
    """The smallest rectangle holding every area."""
    x0, y0 = min(a["x"] for a in areas), min(a["y"] for a in areas)
    x1, y1 = max(a["x"] + a["width"] for a in areas), max(a["y"] + a["height"] for a in areas)
    return {"x": x0, "y": y0, "width": x1 - x0, "height": y1 - y0}


class XorgMonitors(X11Session):
    """Xorg with the dummy driver; use as a context manager. `monitors` lays out the first outputs at start:
    (width, height, x, y) each, the first one primary; `server_args` are further server options (e.g. "-retro"
    for the grey weave on the root window instead of black). The server's log is kept beside the artefacts."""

    def __init__(self, artifacts: Path | None = None, monitors=((1024, 768, 0, 0),), log_name: str = "xorg.log",
                 server_args: tuple[str, ...] = ()):
        super().__init__(artifacts)
        self.server_args = tuple(server_args)
        self.initial = tuple(tuple(m) for m in monitors)
        self.log_name = log_name
        self.folder: tempfile.TemporaryDirectory | None = None
        self.modes: set[str] = set()
        self.added: dict[int, set[str]] = {}  # the modes each output has been given
        self.shown: list = []  # the last layout set
        self.server: subprocess.Popen | None = None

    # --- life cycle -------------------------------------------------------------------------------
    def __enter__(self) -> "XorgMonitors":
        if not os.access(XORG, os.X_OK):
            raise HarnessError(f"{XORG} is missing; run tools/setup.sh")
        self.folder = tempfile.TemporaryDirectory(prefix="orlinde-xorg-")
        config = Path(self.folder.name) / "xorg.conf"
        config.write_text(CONFIG)
        read_fd, write_fd = os.pipe()
        self.server = subprocess.Popen(
            [XORG, "-displayfd", str(write_fd), "-config", str(config), "-noreset", "-nolisten", "tcp",
             "+extension", "GLX", "+extension", "RANDR", "-logfile", str(self.artifacts / self.log_name),
             *self.server_args],
            pass_fds=(write_fd,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)  # the terminal's signals are the test's, not the server's
        os.close(write_fd)
        try:
            self.display = ":" + read_display_number(read_fd, self.server)
            self.env = {**os.environ, "DISPLAY": self.display}
            self.env.pop("XSCREENSAVER_WINDOW", None)
            self.lay_out(self.initial)
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc) -> None:
        end_processes(self.processes)
        stop_server(self.server)
        if self.folder is not None:
            self.folder.cleanup()

    # --- the outputs ------------------------------------------------------------------------------
    def xrandr(self, *args) -> str:
        result = subprocess.run(["xrandr", *map(str, args)], env=self.env, capture_output=True, text=True,
                                timeout=20, check=False)
        if result.returncode != 0:
            raise HarnessError(f"xrandr {' '.join(map(str, args))}: {result.stderr.strip()}")
        return result.stdout

    def query(self) -> str:
        """`xrandr -q`: it polls the outputs, without which Wine may go on seeing the first monitor alone."""
        return self.xrandr("-q")

    def mode(self, width: int, height: int) -> str:
        """The name of a width x height mode at 60 Hz, made on the server the first time it is asked for."""
        name = f"{width}x{height}_orlinde"
        if name not in self.modes:
            line = subprocess.run(["cvt", str(width), str(height), "60"], capture_output=True, text=True,
                                  timeout=20, check=True).stdout
            timings = re.search(r'^Modeline "[^"]*"\s+(.*)$', line, re.M).group(1).split()
            self.xrandr("--newmode", name, *timings)
            self.modes.add(name)
        return name

    def lay_out(self, layout) -> list[dict]:
        """Sets every output at once: `layout` holds (width, height, x, y) for each of the first outputs, or None
        for one turned off; the first is the primary, the outputs after the layout are turned off. Returns the
        visible monitors as x, y, width, height."""
        args = []
        for index in range(len(layout), len(self.shown)):
            args += ["--output", output_name(index), "--off"]
        for index, monitor in enumerate(layout):
            if monitor is None:
                args += ["--output", output_name(index), "--off"]
                continue
            width, height, x, y = monitor
            mode = self.mode(width, height)
            if mode not in self.added.setdefault(index, set()):
                self.xrandr("--addmode", output_name(index), mode)
                self.added[index].add(mode)
            args += ["--output", output_name(index), "--mode", mode, "--pos", f"{x}x{y}",
                     *(["--primary"] if index == 0 else [])]
        self.xrandr(*args)
        self.shown = list(layout)
        self.query()
        return [area(*m) for m in layout if m is not None]

    def monitors(self) -> list[dict]:
        """The visible monitors as the server reports them now: x, y, width, height, primary, name."""
        found = []
        for line in self.xrandr("--listactivemonitors").splitlines()[1:]:
            m = re.match(r"\s*\d+:\s+\+(\*?)(\S+)\s+(\d+)/\d+x(\d+)/\d+\+(-?\d+)\+(-?\d+)", line)
            if m:
                found.append({"name": m.group(2), "primary": bool(m.group(1)), "width": int(m.group(3)),
                              "height": int(m.group(4)), "x": int(m.group(5)), "y": int(m.group(6))})
        return found

    def screen_size(self) -> tuple[int, int]:
        m = re.search(r"current (\d+) x (\d+)", self.query())
        return int(m.group(1)), int(m.group(2))


def read_display_number(read_fd: int, server: subprocess.Popen, timeout: float = 20.0) -> str:
    """The display number a server started with -displayfd writes to the pipe, once it is ready."""
    number = b""
    deadline = time.monotonic() + timeout
    with os.fdopen(read_fd, "rb", buffering=0) as pipe:
        os.set_blocking(read_fd, False)
        while not number.endswith(b"\n"):
            if time.monotonic() >= deadline or server.poll() is not None:
                raise HarnessError("Xorg did not report a display (see its log)")
            try:
                chunk = pipe.read(16)
            except BlockingIOError:
                chunk = None
            if chunk:
                number += chunk
            else:
                time.sleep(0.05)  # the pace of reading the pipe
    return number.decode().strip()


class LineLog:
    """The lines a running program writes to a pipe (its stderr), read as they come by a thread of their own,
    so that a test can wait for the next line that matches without blocking on the pipe."""

    def __init__(self, pipe):
        self.lines: list[str] = []
        self._lock = threading.Lock()
        self._thread = threading.Thread(target=self._read, args=(pipe,), daemon=True)
        self._thread.start()

    def _read(self, pipe) -> None:
        for raw in iter(pipe.readline, b""):
            with self._lock:
                self.lines.append(raw.decode(errors="replace").rstrip("\n"))

    def matching(self, pattern: str) -> list[re.Match]:
        with self._lock:
            lines = list(self.lines)
        return [m for m in (re.search(pattern, line) for line in lines) if m]

    def wait_for(self, pattern: str, count: int, timeout: float) -> re.Match:
        """The `count`-th line that matches `pattern` (1 the first), once it has come."""
        found = wait_until(lambda: (m := self.matching(pattern)) and len(m) >= count and m, timeout,
                           f"{count} line(s) matching {pattern!r}", interval=0.05)
        return found[count - 1]

    def text(self) -> str:
        with self._lock:
            return "\n".join(self.lines)
