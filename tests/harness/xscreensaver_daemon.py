"""Debian's XScreenSaver daemon on a test display, running one program line written for the test. The daemon
launches no program as root, so under root it runs as nobody, from a home in a folder nobody can read."""
from __future__ import annotations

import os
import shutil
import signal
import subprocess
from pathlib import Path

from process_figures import pids_where


class XScreenSaverDaemon:
    """Use as a context manager: the daemon runs `program_line` (e.g. "/path/orlinde --root") as its one
    program; `env` is added to the environment of the daemon and so of the programs it runs."""

    def __init__(self, display: str, work: Path, program: Path, program_line: str, log: Path,
                 env: dict[str, str] | None = None):
        for tool in ("xscreensaver", "xscreensaver-command"):
            if shutil.which(tool) is None:
                raise AssertionError(f"{tool} is not installed; run tools/setup.sh")
        self.program = Path(program)
        home = Path(work) / "home"
        home.mkdir()
        (home / ".xscreensaver").write_text(
            "mode: one\nselected: 0\nlock: False\nfade: False\nunfade: False\nsplash: False\n"
            "timeout: 1:00:00\ndpmsEnabled: False\n"
            f"programs: \\\n  GL: {program_line} \\n\\\n")
        self.as_user: list[str] = []
        if os.geteuid() == 0:
            shutil.chown(home, "nobody")
            shutil.chown(home / ".xscreensaver", "nobody")
            self.as_user = ["runuser", "-u", "nobody", "--"]
        self.user_env = ["env", f"HOME={home}", f"DISPLAY={display}", *(f"{k}={v}" for k, v in (env or {}).items())]
        self.log_path = Path(log)
        self.daemon: subprocess.Popen | None = None

    def __enter__(self) -> "XScreenSaverDaemon":
        self.log = open(self.log_path, "wb")
        self.daemon = subprocess.Popen([*self.as_user, *self.user_env, "xscreensaver", "--no-splash"],
                                       stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log)
        return self

    def __exit__(self, *exc) -> None:
        if self.daemon is not None and self.daemon.poll() is None:
            self.command("-exit")
            try:
                self.daemon.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.daemon.kill()
                self.daemon.wait(timeout=10)
        for pid in self.program_pids():  # only ever the test's own copy, should a run have failed half-way
            os.kill(pid, signal.SIGKILL)
        self.log.close()

    def command(self, *args) -> subprocess.CompletedProcess:
        """xscreensaver-command with `args`, as the daemon's user."""
        return subprocess.run([*self.as_user, *self.user_env, "xscreensaver-command", *args],
                              capture_output=True, timeout=20, check=False)

    def program_pids(self) -> list[int]:
        """The processes running the test's copy of the program."""
        return pids_where(lambda process: process.exe == str(self.program))

    def log_text(self) -> str:
        self.log.flush()
        return self.log_path.read_text(errors="replace")
