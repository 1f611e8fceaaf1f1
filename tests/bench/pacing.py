"""Frame pacing figures of the real renderer under Wine: frames per second and CPU seconds per wall
second, paced and with pacing switched off (ORLINDE_UNPACED=1), on a small virtual screen where the
unpaced loop draws far more than 60 frames a second. Prints a table; asserts nothing.

usage: /usr/bin/python3 tests/bench/pacing.py [--build build/windows] [--size 320x240] [--seconds 10]

The frame rate comes from Mesa's HUD (GALLIUM_HUD=fps, dumped to a file every half second); CPU time
from /proc: the renderer's own process, and everything the run needs (renderer, wineserver, Xvfb).
"""
from __future__ import annotations

import argparse
import sys
import time
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "tests" / "harness"))
from mesa_hud import HudDump  # noqa: E402
from process_figures import cpu_seconds, pids_where  # noqa: E402
from program_names import RENDERER_FILE, RENDERER_TITLE, built_in_texture, built_renderer  # noqa: E402
from wine_session import WineSession  # noqa: E402


def measure(build: Path, prefix: Path, size: tuple[int, int], seconds: float, paced: bool) -> dict:
    switch = {} if paced else {"ORLINDE_UNPACED": "1"}
    with HudDump() as hud, \
            WineSession(prefix, width=size[0], height=size[1], env_extra={**hud.env(), **switch}) as session:
        session.handover_path().write_bytes(built_in_texture(SOURCE).read_bytes())
        process = session.start(built_renderer(build))
        window = session.wait_for_window(RENDERER_TITLE, timeout=60)
        time.sleep(3)  # start-up done, the loop in its stride

        def in_prefix(name):
            return lambda p: name in p.cmdline and p.environ.get("WINEPREFIX") == str(prefix)
        renderer = pids_where(in_prefix(RENDERER_FILE))
        wineserver = pids_where(in_prefix("wineserver"))
        xvfb = [session.xvfb.pid] if session.xvfb else []
        everything = renderer + wineserver + xvfb
        mark = hud.count()
        cpu_before = {pid: cpu_seconds(pid, if_gone=0.0) for pid in everything}
        wall_before = time.monotonic()
        time.sleep(seconds)
        wall = time.monotonic() - wall_before
        cpu = {pid: cpu_seconds(pid, if_gone=0.0) - cpu_before[pid] for pid in everything}
        samples = hud.samples(since=mark)
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
