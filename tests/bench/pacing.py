"""Frame pacing figures of the real renderer under Wine: frames per second and CPU seconds per wall
second, paced and with pacing switched off (ORLINDE_UNPACED=1), on a small virtual screen where the
unpaced loop draws far more than 60 frames a second. Prints a table; asserts nothing.

usage: /usr/bin/python3 tests/bench/pacing.py [--build build/windows] [--size 320x240] [--seconds 10]

The frame rate comes from Mesa's HUD (GALLIUM_HUD=fps, dumped to a file every half second); CPU time
from /proc: the renderer's own process, and everything the run needs (renderer, wineserver, Xvfb).
"""
from __future__ import annotations

import argparse
import os
import sys
import tempfile
import time
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "tests" / "harness"))
from wine_session import WineSession  # noqa: E402

TITLE = "Velsora_Delphi"
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid: int) -> float:
    """utime + stime of one process, in seconds (0 once it is gone)."""
    try:
        fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    except OSError:
        return 0.0
    return (int(fields[11]) + int(fields[12])) / TICKS


def pids_where(predicate) -> list[int]:
    found = []
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            cmdline = (entry / "cmdline").read_bytes().replace(b"\0", b" ").decode("utf-8", "replace")
            environ = (entry / "environ").read_bytes()
        except OSError:
            continue
        if predicate(cmdline, environ):
            found.append(int(entry.name))
    return found


def measure(build: Path, prefix: Path, size: tuple[int, int], seconds: float, paced: bool) -> dict:
    hud = Path(tempfile.mkdtemp(prefix="orlinde-hud-"))
    env = {"GALLIUM_HUD": "fps", "GALLIUM_HUD_PERIOD": "0.5", "GALLIUM_HUD_DUMP_DIR": str(hud)}
    if not paced:
        env["ORLINDE_UNPACED"] = "1"
    with WineSession(prefix, width=size[0], height=size[1], env_extra=env) as session:
        handover = session.temp_dir() / "Velsora.bmp"
        handover.write_bytes((SOURCE / "assets" / "caustics.bmp").read_bytes())
        process = session.start(build / "renderer" / "Orlinde.xy")
        window = session.wait_for_window(TITLE, timeout=60)
        time.sleep(3)  # start-up done, the loop in its stride
        prefix_tag = f"WINEPREFIX={prefix}".encode()
        renderer = pids_where(lambda cmd, environ: "Orlinde.xy" in cmd and prefix_tag in environ)
        wineserver = pids_where(lambda cmd, environ: "wineserver" in cmd and prefix_tag in environ)
        xvfb = [session.xvfb.pid] if session.xvfb else []
        everything = renderer + wineserver + xvfb
        fps_lines_before = len((hud / "fps").read_text().split()) if (hud / "fps").exists() else 0
        cpu_before = {pid: cpu_seconds(pid) for pid in everything}
        wall_before = time.monotonic()
        time.sleep(seconds)
        wall = time.monotonic() - wall_before
        cpu = {pid: cpu_seconds(pid) - cpu_before[pid] for pid in everything}
        samples = [float(v) for v in (hud / "fps").read_text().split()[fps_lines_before:]]
        session.press_key("Escape", window=window)
        code = session.wait_exit(process, 20)
    return {
        "mode": "paced" if paced else "unpaced (ORLINDE_UNPACED=1)",
        "fps": sum(samples) / len(samples) if samples else float("nan"),
        "fps_max": max(samples) if samples else float("nan"),
        "renderer_cpu": sum(cpu[p] for p in renderer) / wall,
        "total_cpu": sum(cpu.values()) / wall,
        "exit": code,
    }


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", type=Path, default=SOURCE / "build" / "windows")
    parser.add_argument("--size", default="320x240")
    parser.add_argument("--seconds", type=float, default=10.0)
    args = parser.parse_args()
    size = tuple(int(v) for v in args.size.split("x"))
    build = args.build.resolve()
    prefix = build / "pacing-prefix"  # its own prefix: the end-to-end tests' desktop stays untouched

    rows = [measure(build, prefix, size, args.seconds, paced) for paced in (False, True)]
    print(f"renderer under Wine on a {args.size} virtual screen, {args.seconds:g} s per run")
    print(f"{'mode':<30} {'fps (mean)':>10} {'fps (max)':>10} {'CPU s/s renderer':>17} {'CPU s/s all':>12}")
    for r in rows:
        print(f"{r['mode']:<30} {r['fps']:>10.1f} {r['fps_max']:>10.1f} {r['renderer_cpu']:>17.2f} "
              f"{r['total_cpu']:>12.2f}")
    unpaced, paced = rows
    if unpaced["renderer_cpu"] > 0:
        print(f"paced CPU / unpaced CPU: renderer {paced['renderer_cpu'] / unpaced['renderer_cpu']:.2f}, "
              f"all {paced['total_cpu'] / unpaced['total_cpu']:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
