"""What a frame costs the CPU, measured from outside on an otherwise idle machine: each program runs
unpaced on a 1024 x 768 virtual screen, once with Mesa's no-op driver wrapped around llvmpipe
(GALLIUM_NOOP=1: every GL call is made and validated, nothing is rasterised, which is what a machine with
a graphics card leaves to its CPU) and once with the real llvmpipe. Prints frames per second and the whole
machine's busy time per drawn frame; asserts nothing.

usage: /usr/bin/python3 tests/bench/frame_cost.py [--build build/windows] [--native build/native]
                                                 [--size 1024x768] [--seconds 8] [--before OLD/renderer/Orlinde.xy]
                                                 [--before-native OLD/linux/orlinde] [--paced [--suspended]]

--paced measures the two programs as they run for a user instead: paced by the display (60 Hz on Xvfb, under
Wine too), so that what differs between two builds is what a second of rain costs, not how fast frames can
come. Beside the whole machine's busy time it then reads the CPU time of the run's own processes from /proc
(the program, and the Wine server and Xvfb of its session), which holds up on a machine that is not idle. --suspended then posts the system's suspend broadcast to
each Windows renderer once it draws (the end-to-end tests' powerbroadcast fixture) and measures what it
costs while nothing may be drawn.

Programs: the renderer Orlinde.xy under Wine, the Linux program orlinde natively on the same screen
size (when the native preset has built it), and beside them the minimal program that draws the same strips with no
scene arithmetic (tests/bench/fixtures/minimal_strips.cpp), from vertex arrays, in immediate mode, and from
arrays with GetCursorPos after every frame: the floor any renderer of this scene pays the driver, and what
immediate mode and a pointer read per frame cost on top.
Frames come from Mesa's HUD (GALLIUM_HUD=fps, dumped every half second), busy time from /proc/stat
(all CPUs: the program, wineserver and Xvfb alike, so nothing else should be running).
"""
from __future__ import annotations

import argparse
import os
import signal
import sys
import time
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "tests" / "harness"))
from mesa_hud import HudDump  # noqa: E402
from process_figures import cpu_seconds, machine_busy_seconds, pids_where  # noqa: E402
from program_names import LINUX_TITLE, RENDERER_TITLE, built_in_texture, built_linux_program, built_renderer  # noqa: E402,E501
from wine_session import WineSession  # noqa: E402
from x11_display import X11Session  # noqa: E402

def own_pids(command_part: str, prefix: Path) -> list[int]:
    """The processes whose command line holds `command_part`, started in the Wine prefix `prefix`."""
    return pids_where(lambda p: command_part in p.cmdline and p.environ.get("WINEPREFIX") == str(prefix))


class Window:
    """One Windows program under Wine on its own virtual screen."""

    def __init__(self, prefix: Path, size: tuple[int, int], program: Path, args: list[str], title: str,
                 suspend_with: Path | None = None):
        self.prefix, self.size, self.program, self.args, self.title = prefix, size, program, args, title
        self.suspend_with = suspend_with

    def run(self, env: dict, measure):
        with WineSession(self.prefix, width=self.size[0], height=self.size[1], env_extra=env) as session:
            session.handover_path().write_bytes(built_in_texture(SOURCE).read_bytes())
            process = session.start(self.program, *self.args)
            window = session.wait_for_window(self.title, timeout=60)
            own = (own_pids(self.program.name, self.prefix) + own_pids("wineserver", self.prefix) +
                   ([session.xvfb.pid] if session.xvfb else []))
            suspend = None
            if self.suspend_with:
                suspend = lambda: session.run(self.suspend_with, self.title, "suspend", timeout=30)  # noqa: E731
            result = measure(own, suspend)
            session.press_key("Escape", window=window)
            session.wait_exit(process, 20)
            return result


class Native:
    """The Linux program full screen on its own virtual screen, ended by SIGTERM as the daemon does."""

    def __init__(self, size: tuple[int, int], program: Path):
        self.size, self.program = size, program

    def run(self, env: dict, measure):
        with X11Session(width=self.size[0], height=self.size[1]) as session:
            process = session.start(self.program, "--window", "--fullscreen", env=env)
            session.wait_for_window(LINUX_TITLE, timeout=30)
            result = measure([process.pid] + ([session.xvfb.pid] if session.xvfb else []), None)
            process.send_signal(signal.SIGTERM)
            process.wait(timeout=20)
            return result


def measure_frames(hud: HudDump, seconds: float, own: list[int], settled=None) -> dict:
    """Frames drawn, machine busy time and the CPU time of the run's own processes (`own`) over `seconds`,
    after the program has settled (and `settled` has been called)."""
    hud.wait_for(round(2 / hud.period), 30, "Mesa's HUD writes the frame rate")  # two seconds
    if settled:
        settled()
        time.sleep(1)  # frames already on their way land
    mark = hud.count()
    own_before = {pid: cpu_seconds(pid, if_gone=0.0) for pid in own}
    busy_before, wall_before = machine_busy_seconds(), time.monotonic()
    time.sleep(seconds)
    busy, wall = machine_busy_seconds() - busy_before, time.monotonic() - wall_before
    own_cpu = sum(cpu_seconds(pid, if_gone=0.0) - own_before[pid] for pid in own)
    samples = hud.samples(since=mark)
    frames = hud.frames(samples)
    return {"fps": frames / wall if samples else float("nan"),
            "cpu_per_frame_us": busy / frames * 1e6 if frames else float("nan"),
            "busy_cores": busy / wall,
            "own_cores": own_cpu / wall,
            "own_per_frame_us": own_cpu / frames * 1e6 if frames else float("nan")}


def run_one(runner, noop: bool, seconds: float, paced: bool = False) -> dict:
    with HudDump() as hud:
        env = dict(hud.env())
        if not paced:
            env["ORLINDE_UNPACED"] = "1"
        if noop:
            env["GALLIUM_NOOP"] = "1"
        return runner.run(env, lambda own, settled: measure_frames(hud, seconds, own, settled))


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", type=Path, default=SOURCE / "build" / "windows")
    parser.add_argument("--native", type=Path, default=SOURCE / "build" / "native")
    parser.add_argument("--size", default="1024x768")
    parser.add_argument("--seconds", type=float, default=8.0)
    parser.add_argument("--before", type=Path, help="another build's Orlinde.xy, measured beside this one's")
    parser.add_argument("--before-native", type=Path, help="another build's orlinde, measured beside this one's")
    parser.add_argument("--paced", action="store_true", help="the programs paced by the display, not unpaced")
    parser.add_argument("--suspended", action="store_true", help="with --paced: the renderers after a suspend")
    args = parser.parse_args()
    size = tuple(int(v) for v in args.size.split("x"))
    build = args.build.resolve()
    prefix = build / "pacing-prefix"  # its own prefix: the end-to-end tests' desktop stays untouched
    minimal = build / "tests" / "bench" / "minimal_strips.exe"
    suspend = build / "tests" / "e2e" / "renderer" / "powerbroadcast.exe" if args.suspended else None
    programs = [
        ("Orlinde.xy (the renderer)",
         Window(prefix, size, built_renderer(build), [], RENDERER_TITLE, suspend)),
    ]
    if args.before:
        programs.append(("Orlinde.xy (--before)",
                         Window(prefix, size, args.before.resolve(), [], RENDERER_TITLE, suspend)))
    linux_program = built_linux_program(args.native.resolve())
    if linux_program.exists():
        programs.append(("orlinde (Linux, native)", Native(size, linux_program)))
    if args.before_native:
        programs.append(("orlinde (--before-native)", Native(size, args.before_native.resolve())))
    if args.paced:
        if args.suspended:
            programs = [p for p in programs if isinstance(p[1], Window)]
        return measure_paced(programs, args)
    programs += [
        ("minimal program, vertex arrays", Window(prefix, size, minimal, [], "Minimal_Strips")),
        ("minimal program, immediate mode", Window(prefix, size, minimal, ["immediate"], "Minimal_Strips")),
        ("minimal, arrays, pointer read a frame", Window(prefix, size, minimal, ["cursor"], "Minimal_Strips")),
    ]

    print(f"unpaced on a {args.size} virtual screen, {args.seconds:g} s a run; CPU = whole machine busy "
          f"time per frame ({os.cpu_count()} CPUs)", flush=True)
    print(f"{'program':<36} {'driver':<22} {'fps':>8} {'CPU per frame':>14} {'busy cores':>11}", flush=True)
    results = {}
    for name, runner in programs:
        for noop in (True, False):
            r = run_one(runner, noop, args.seconds)
            results[(name, noop)] = r
            driver = "no-op (GALLIUM_NOOP=1)" if noop else "llvmpipe"
            print(f"{name:<36} {driver:<22} {r['fps']:>8.1f} {r['cpu_per_frame_us']:>11.0f} µs "
                  f"{r['busy_cores']:>11.2f}", flush=True)
    renderer = results[(programs[0][0], True)]["cpu_per_frame_us"]
    floor = results[("minimal program, vertex arrays", True)]["cpu_per_frame_us"]
    print(f"no-op driver: the renderer's CPU per frame is {renderer / floor:.2f}x the minimal vertex-array program's")
    return 0


def measure_paced(programs, args) -> int:
    print(f"paced by the display on a {args.size} virtual screen, {args.seconds:g} s a run; machine = whole "
          f"machine busy time, own = the program + its Wine server + its Xvfb ({os.cpu_count()} CPUs)", flush=True)
    print(f"{'program':<30} {'driver':<22} {'fps':>6} {'own cores':>10} {'own CPU/frame':>14} "
          f"{'machine cores':>14}", flush=True)
    for name, runner in programs:
        for noop in (True, False):
            r = run_one(runner, noop, args.seconds, paced=True)
            driver = "no-op (GALLIUM_NOOP=1)" if noop else "llvmpipe"
            print(f"{name:<30} {driver:<22} {r['fps']:>6.1f} {r['own_cores']:>10.3f} "
                  f"{r['own_per_frame_us']:>11.0f} µs {r['busy_cores']:>14.2f}", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
