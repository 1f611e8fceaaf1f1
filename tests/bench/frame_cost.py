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
import tempfile
import time
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "tests" / "harness"))
from wine_session import WineSession  # noqa: E402
from x11_display import X11Session, wait_until  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")
HUD_PERIOD = 0.5


def process_cpu_seconds(pid: int) -> float:
    """utime + stime of one process in seconds (0 once it is gone)."""
    try:
        fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    except OSError:
        return 0.0
    return (int(fields[11]) + int(fields[12])) / TICKS


def pids_with(command_part: str, environ_part: bytes) -> list[int]:
    found = []
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            cmdline = (entry / "cmdline").read_bytes().replace(b"\0", b" ").decode("utf-8", "replace")
            environ = (entry / "environ").read_bytes()
        except OSError:
            continue
        if command_part in cmdline and environ_part in environ:
            found.append(int(entry.name))
    return found


def machine_busy_seconds() -> float:
    """Busy time of all CPUs since boot: everything in the first /proc/stat line but idle and iowait."""
    fields = [int(v) for v in Path("/proc/stat").read_text().split("\n", 1)[0].split()[1:]]
    user, nice, system, idle, iowait, irq, softirq, steal = fields[:8]
    return (user + nice + system + irq + softirq + steal) / TICKS


class Window:
    """One Windows program under Wine on its own virtual screen."""

    def __init__(self, prefix: Path, size: tuple[int, int], program: Path, args: list[str], title: str,
                 suspend_with: Path | None = None):
        self.prefix, self.size, self.program, self.args, self.title = prefix, size, program, args, title
        self.suspend_with = suspend_with

    def run(self, env: dict, measure):
        with WineSession(self.prefix, width=self.size[0], height=self.size[1], env_extra=env) as session:
            handover = session.temp_dir() / "Velsora.bmp"
            handover.write_bytes((SOURCE / "assets" / "caustics.bmp").read_bytes())
            process = session.start(self.program, *self.args)
            window = session.wait_for_window(self.title, timeout=60)
            tag = f"WINEPREFIX={self.prefix}".encode()
            own = (pids_with(self.program.name, tag) + pids_with("wineserver", tag) +
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
            session.wait_for_window("Orlinde", timeout=30)
            result = measure([process.pid] + ([session.xvfb.pid] if session.xvfb else []), None)
            process.send_signal(signal.SIGTERM)
            process.wait(timeout=20)
            return result


def measure_frames(hud: Path, seconds: float, own: list[int], settled=None) -> dict:
    """Frames drawn, machine busy time and the CPU time of the run's own processes (`own`) over `seconds`,
    after the program has settled (and `settled` has been called)."""
    fps_file = hud / "fps"
    wait_until(lambda: fps_file.exists() and len(fps_file.read_text().split()) >= 4, 30,  # two seconds
               "Mesa's HUD writes the frame rate")
    if settled:
        settled()
        time.sleep(1)  # frames already on their way land
    before = len(fps_file.read_text().split())
    own_before = {pid: process_cpu_seconds(pid) for pid in own}
    busy_before, wall_before = machine_busy_seconds(), time.monotonic()
    time.sleep(seconds)
    busy, wall = machine_busy_seconds() - busy_before, time.monotonic() - wall_before
    own_cpu = sum(process_cpu_seconds(pid) - own_before[pid] for pid in own)
    samples = [float(v) for v in fps_file.read_text().split()[before:]]
    frames = sum(samples) * HUD_PERIOD
    return {"fps": frames / wall if samples else float("nan"),
            "cpu_per_frame_us": busy / frames * 1e6 if frames else float("nan"),
            "busy_cores": busy / wall,
            "own_cores": own_cpu / wall,
            "own_per_frame_us": own_cpu / frames * 1e6 if frames else float("nan")}


def run_one(runner, noop: bool, seconds: float, paced: bool = False) -> dict:
    hud = Path(tempfile.mkdtemp(prefix="orlinde-hud-"))
    env = {"GALLIUM_HUD": "fps", "GALLIUM_HUD_PERIOD": str(HUD_PERIOD), "GALLIUM_HUD_DUMP_DIR": str(hud)}
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
         Window(prefix, size, build / "renderer" / "Orlinde.xy", [], "Velsora_Delphi", suspend)),
    ]
    if args.before:
        programs.append(("Orlinde.xy (--before)",
                         Window(prefix, size, args.before.resolve(), [], "Velsora_Delphi", suspend)))
    linux_program = args.native.resolve() / "linux" / "orlinde"
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
