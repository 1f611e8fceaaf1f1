"""What a frame of the Linux program costs its own process on Wayland beside X11, measured from outside: the
same `orlinde --root` at the same size, once on a headless sway (Wayland, EGL) and once on Xvfb (X11, GLX),
with the real llvmpipe, unpaced and paced as a user runs it (sway's output refreshes at 60 Hz), and on X11
also with Mesa's no-op driver around llvmpipe (GALLIUM_NOOP=1: every GL call made, nothing rasterised). Prints frames per second (Mesa's
HUD) and the program's own CPU time per frame (/proc); asserts nothing.

On Wayland every frame waits for the compositor's call-back, so even unpaced (ORLINDE_UNPACED=1) it draws at
most at the output's rate; the CPU per frame is what compares.

usage: /usr/bin/python3 tests/bench/wayland_cost.py [--native build/native] [--size 1024x768] [--seconds 8]
"""
from __future__ import annotations

import argparse
import sys
import tempfile
import time
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "tests" / "harness"))
from mesa_hud import HudDump  # noqa: E402
from process_figures import cpu_seconds  # noqa: E402
from program_names import built_linux_program  # noqa: E402
from sway_session import SwaySession  # noqa: E402
from x11_display import X11Session  # noqa: E402

SETTLE_SAMPLES = 4  # half-second samples left out at the start: set-up and the first frames


def measure(session, program: Path, env: dict, seconds: float) -> tuple[float, float]:
    """Frames a second and the program's CPU microseconds per frame over `seconds`, after it settled."""
    with HudDump() as hud:
        process = session.start(program, "--root", env={**env, **hud.env()})
        try:
            hud.wait_for(SETTLE_SAMPLES, 60, "the program draws")
            mark, cpu_before = hud.count(), cpu_seconds(process.pid)
            time.sleep(seconds)  # the measuring interval
            samples, cpu_after = hud.samples(since=mark), cpu_seconds(process.pid)
        finally:
            process.terminate()
            process.wait(timeout=10)
    frames = hud.frames(samples)
    fps = frames / (len(samples) * hud.period) if samples else 0.0
    return fps, (cpu_after - cpu_before) * 1e6 / max(1.0, frames)


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--native", type=Path, default=SOURCE / "build" / "native")
    parser.add_argument("--size", default="1024x768")
    parser.add_argument("--seconds", type=float, default=8.0)
    args = parser.parse_args()
    program = built_linux_program(args.native.resolve())
    width, height = map(int, args.size.split("x"))
    artifacts = Path(tempfile.mkdtemp(prefix="orlinde-wayland-cost-"))

    print(f"| program ({args.size}, {args.seconds:g} s a run) | driver | fps | CPU per frame (own process) |")
    print("|---|---|---|---|")
    # The no-op driver presents nothing on Wayland: no buffer reaches the compositor, which then never calls
    # back, and the program draws its first frame only. It is measured on X11 alone.
    runs = [("X11 (Xvfb), unpaced", "no-op", {"GALLIUM_NOOP": "1", "ORLINDE_UNPACED": "1"}),
            ("X11 (Xvfb), unpaced", "llvmpipe", {"ORLINDE_UNPACED": "1"}),
            ("Wayland (sway), unpaced", "llvmpipe", {"ORLINDE_UNPACED": "1"}),
            ("X11 (Xvfb), paced", "llvmpipe", {}),
            ("Wayland (sway, 60 Hz), paced", "llvmpipe", {})]
    for where, driver, env in runs:
        if where.startswith("X11"):
            session = X11Session(artifacts / "x11", width, height)
        else:
            session = SwaySession(artifacts / "sway", ((width, height),))
        with session:
            fps, cpu = measure(session, program, env, args.seconds)
        print(f"| `orlinde --root` on {where} | {driver} | {fps:,.1f} | {cpu:,.0f} µs |", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
