"""Runs Windows programs under Wine on a private virtual X display, and observes them from outside.

Used by the Windows test programs (through wine_run.py) and by the end-to-end tests. Every wait is
bounded; a session ends everything it started: the prefix's wineserver and its own Xvfb.
"""
from __future__ import annotations

import contextlib
import fcntl
import getpass
import os
import shutil
import subprocess
import tempfile
from pathlib import Path

from program_names import HANDOVER_FILE
from x11_display import HarnessError, Picture, XDisplay, start_xvfb, stop_server, wait_until  # noqa: F401 (for the tests)

SCREEN_WIDTH = 1024
SCREEN_HEIGHT = 768


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


class WineSession(XDisplay):
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
        self.xvfb, self.display = start_xvfb(self.width, self.height, self.xvfb_args)
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
        stop_server(self.xvfb)

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

    def handover_path(self) -> Path:
        """The Unix path of the picture the host hands over to the renderer."""
        return self.temp_dir() / HANDOVER_FILE

    def windows_path(self, unix_path: Path) -> str:
        """A Unix path inside drive_c as Wine names it."""
        rel = Path(unix_path).resolve().relative_to(self.drive_c.resolve())
        return "C:\\" + str(rel).replace("/", "\\")


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
