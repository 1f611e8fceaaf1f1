"""Figures of Linux processes and of the whole machine, read from /proc: CPU time, the processes that match
a rule, a process's environment. Shared by the tests and the measuring scripts; under Wine the figures of a
Windows program are those of its Wine process."""
from __future__ import annotations

import functools
import os
from pathlib import Path

PROC = Path("/proc")
TICKS = os.sysconf("SC_CLK_TCK")


def _stat_fields(pid: int) -> list[str]:
    """The fields of /proc/PID/stat after the command name (which may hold blanks and parentheses):
    the process state is field 0, utime field 11 and stime field 12."""
    return (PROC / str(pid) / "stat").read_text().rsplit(")", 1)[1].split()


def cpu_seconds(pid: int, if_gone: float | None = None) -> float:
    """User and system time of a process, all its threads, in seconds. A process that is gone raises
    OSError, unless `if_gone` is given: then that is the answer."""
    try:
        fields = _stat_fields(pid)
    except OSError:
        if if_gone is None:
            raise
        return if_gone
    return (int(fields[11]) + int(fields[12])) / TICKS


def machine_busy_seconds() -> float:
    """Busy time of all CPUs since boot: everything in the first /proc/stat line but idle and iowait."""
    fields = [int(v) for v in (PROC / "stat").read_text().split("\n", 1)[0].split()[1:]]
    user, nice, system, _idle, _iowait, irq, softirq, steal = fields[:8]
    return (user + nice + system + irq + softirq + steal) / TICKS


def exists(pid: int) -> bool:
    """Whether a process (or a zombie not yet reaped) has this id."""
    return (PROC / str(pid)).exists()


def environment(pid: int) -> dict[str, str]:
    """The environment a process was started with."""
    text = (PROC / str(pid) / "environ").read_bytes().decode("utf-8", "replace")
    return dict(item.split("=", 1) for item in text.split("\0") if "=" in item)


class Process:
    """One entry of /proc as a rule sees it; each figure is read when first asked for. A figure that cannot
    be read (the process has ended, or belongs to another user) is empty."""

    def __init__(self, pid: int):
        self.pid = pid

    @functools.cached_property
    def exe(self) -> str:
        try:
            return os.readlink(PROC / str(self.pid) / "exe")
        except OSError:
            return ""

    @functools.cached_property
    def cmdline(self) -> str:
        """The command line, its arguments joined by blanks."""
        try:
            raw = (PROC / str(self.pid) / "cmdline").read_bytes()
        except OSError:
            return ""
        return raw.replace(b"\0", b" ").decode("utf-8", "replace").strip()

    @functools.cached_property
    def environ(self) -> dict[str, str]:
        try:
            return environment(self.pid)
        except OSError:
            return {}


def pids_where(rule) -> list[int]:
    """The ids of the running processes for which rule(Process) is true, in ascending order."""
    pids = sorted(int(entry.name) for entry in PROC.iterdir() if entry.name.isdigit())
    return [pid for pid in pids if rule(Process(pid))]


def status_figure(pid: int, name: str) -> int:
    """A number from /proc/PID/status, e.g. "VmRSS" (in KiB) or "Threads"."""
    for line in (PROC / str(pid) / "status").read_text().splitlines():
        if line.startswith(name + ":"):
            return int(line.split()[1])
    raise KeyError(f"{name} is not in /proc/{pid}/status")


def open_files(pid: int) -> int:
    """How many file descriptors a process holds open."""
    return len(os.listdir(PROC / str(pid) / "fd"))


# A 64-bit Wine process on Debian 12 keeps its Windows side low: the program, the Windows DLLs and every
# heap and allocation Wine makes for them lie below this address, while the Linux libraries (Mesa, Wine's
# X11 driver) and their mmap allocations lie above it. Their malloc (brk) heap lies low too, after the
# loader, and is told apart by its name.
WINE_LINUX_SIDE_FROM = 0x7F00_0000_0000


def wine_sides_kib(pid: int) -> tuple[int, int]:
    """The anonymous memory a Wine process has in use, in KiB: (its Windows side, its Linux side). What a
    Windows program allocates itself counts on the Windows side; what the GL driver and the X11 driver
    allocate for it, on the Linux side."""
    windows = linux = 0
    low = False
    for line in (PROC / str(pid) / "smaps").read_text().splitlines():
        fields = line.split()
        if fields and "-" in fields[0] and len(fields) >= 5:  # a mapping's first line
            low = int(fields[0].split("-")[0], 16) < WINE_LINUX_SIDE_FROM and fields[-1] != "[heap]"
        elif fields and fields[0] == "Anonymous:":
            if low:
                windows += int(fields[1])
            else:
                linux += int(fields[1])
    return windows, linux
