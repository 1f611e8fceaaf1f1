"""Soak run with monitors that change: the real programs for a long time on Xorg with the dummy driver while
the monitors change under them, their resource figures sampled as they run.

Two runs side by side, each on its own Xorg:
  - the Linux program `orlinde --root` over two monitors, the layout changed every 30 s (the second monitor
    turned off and on again, moved, the primary given another mode, a third monitor added, back to the
    start); sampled from /proc every 5 s: resident memory, file descriptors, threads, and the live texture
    count the program prints on each layout line (ORLINDE_VERBOSE=1);
  - the Windows renderer "Orlinde.xy" under Wine over the same two monitors, the primary's mode changed a
    minute by a Windows program (1280 x 1024, then back to 1024 x 768: a real WM_DISPLAYCHANGE each time);
    read before every change: handles and threads from inside Wine (the procstat fixture), and from /proc the
    anonymous memory of its Windows side (what the renderer allocates itself) and of its Linux side (what
    Mesa and Wine's X11 driver allocate for it). glibc's malloc is given a fixed mmap threshold there: with
    the default one, the multi-MiB buffers llvmpipe frees on every resize stay in the heap and the process
    wanders between levels 6 MiB apart, which hides a leak as well as it mimics one.
The first ten changes of each run are the warm-up (whatever is made once is made then). A figure is compared
at the same layout only (memory and textures follow the number and size of the monitors), read once a visit:
counts may not grow at all; memory fails when the lowest of the last three readings lies more than 2 MiB
above the highest of the first three (the renderer's whole memory: 4 MiB; its Windows side: 256 KiB). At the end each program must
still be running, still drawing, and end cleanly. Writes changes.csv, a plot of the
memory (changes.png) and the last screenshots to the output folder.

usage: soak_changes.py --build-native DIR --build-windows DIR --prefix PREFIX --out DIR
                       [--linux-minutes 30] [--windows-minutes 30]   (0 leaves that run out)
                       [--linux-change-seconds 30] [--windows-change-seconds 60]
"""
from __future__ import annotations

import argparse
import csv
import re
import shutil
import signal
import sys
import threading
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
SOURCE = HERE.parent.parent.parent
sys.path.insert(0, str(HERE.parent.parent / "harness"))
sys.path.insert(0, str(HERE))
from process_figures import open_files, pids_where, status_figure, wine_sides_kib  # noqa: E402
from program_names import (RENDERER_FILE, RENDERER_TITLE, SETTINGS_FILE, built_in_texture,  # noqa: E402
                           built_linux_program, built_renderer)
from soak_run import Sampler  # noqa: E402
from surface_outline import lit_mask  # noqa: E402
from wine_session import Picture, WineSession  # noqa: E402
from xorg_monitors import LineLog, XorgMonitors  # noqa: E402

MEMORY_LIMIT_KIB = 2048
# Under Wine the Linux side's malloc heap grows once by 2 MiB, at a change that differs from run to run (the
# 8th, the 14th), and keeps it: the renderer's whole memory gets twice the bound, which still fails anything
# the renderer leaks into the GL driver per change (a texture, a context, a window's buffers: a MiB or more
# each time, over twenty changes). What it allocates itself is held to the Windows side's own bound.
WINDOWS_MEMORY_LIMIT_KIB = 2 * MEMORY_LIMIT_KIB
WINDOWS_SIDE_LIMIT_KIB = 256
TWO = ((1024, 768, 0, 0), (800, 600, 1024, 0))
LAYOUTS = (
    TWO,
    ((1024, 768, 0, 0), None),
    ((1024, 768, 0, 0), (800, 600, 112, 768)),
    ((1280, 1024, 0, 0), (800, 600, 1280, 0)),
    ((1280, 1024, 0, 0), (800, 600, 1280, 0), (640, 480, 2080, 0)),
)
LINUX_SAMPLE_S = 5.0
WINDOWS_MODES = ((1280, 1024), (1024, 768))
LAYOUT_NAMES = ("two monitors", "second off", "second below", "primary 1280 x 1024", "three monitors")
MODE_NAMES = ("primary 1280 x 1024", "primary 1024 x 768")
WARMUP_CHANGES = 2 * len(LAYOUTS)  # two rounds of every layout: the allocator settles on its level by then
FIXED_MMAP_THRESHOLD = {"MALLOC_MMAP_THRESHOLD_": "131072"}  # glibc's default, without its dynamic rise
TEXTURES = re.compile(r"textures: (\d+)")


def linux_run(program: Path, minutes: float, every: float, out: Path, result: dict) -> None:
    rows = result.setdefault("rows", [])
    with XorgMonitors(out, TWO, log_name="soak-changes-xorg-linux.log") as xorg:
        process = xorg.start(program, "--root", env={"ORLINDE_VERBOSE": "1"})
        log = LineLog(process.stderr)
        log.wait_for(r"scene\(s\)", 1, 60)
        began = time.monotonic()
        deadline = began + minutes * 60
        changes, layout, next_change = 0, 0, began + every
        while time.monotonic() < deadline and process.poll() is None:
            now = time.monotonic()
            textures = log.matching(TEXTURES.pattern)
            rows.append({"run": "linux", "seconds": round(now - began, 1), "changes": changes, "layout": layout,
                         "rss_kib": status_figure(process.pid, "VmRSS"), "fds": open_files(process.pid),
                         "threads": status_figure(process.pid, "Threads"),
                         "textures": int(textures[-1].group(1)) if textures else -1})
            if now >= next_change:
                layout = (layout + 1) % len(LAYOUTS)
                xorg.lay_out(LAYOUTS[layout])
                changes += 1
                next_change += every
                if changes % 10 == 0:
                    print(f"soak changes: linux {changes} changes, last sample {rows[-1]}", flush=True)
            time.sleep(min(LINUX_SAMPLE_S, every))  # the pace of the samples
        result["alive"] = process.poll() is None
        lit = lit_mask(Picture(xorg.screenshot("soak-changes-linux-end.png")))
        result["drawn"] = bool(lit.any())
        result["changes"] = changes
        process.send_signal(signal.SIGTERM)
        result["ended"] = process.wait(timeout=30) == 0
        (out / "soak-changes-linux-stderr.txt").write_text(log.text() + "\n")


def windows_run(build: Path, prefix: Path, minutes: float, every: float, out: Path, result: dict) -> None:
    rows = result.setdefault("rows", [])
    with XorgMonitors(out, TWO, log_name="soak-changes-xorg-windows.log") as xorg, \
            WineSession(prefix, artifacts=out, display=xorg.display, env_extra=FIXED_MMAP_THRESHOLD) as session:
        folder = session.drive_c / "OrlindeSoakChanges"
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir()
        shutil.copy(built_renderer(build), folder / RENDERER_FILE)
        (folder / SETTINGS_FILE).write_bytes(b"[Display]\r\nMonitors=each\r\n")
        shutil.copy(built_in_texture(SOURCE), session.handover_path())  # what the host would hand over
        procstat = build / "tests" / "e2e" / "soak" / "procstat.exe"
        display_mode = build / "tests" / "e2e" / "renderer" / "displaymode.exe"
        session.run(procstat, RENDERER_FILE, timeout=60)  # wineserver up
        # The pointer inside the primary, away from every monitor's edge: a mode change confines a pointer
        # left on an edge, and the renderer's pointer rule may then end the run as a user's move would.
        session.mouse_move(500, 400)
        renderer = session.start(folder / RENDERER_FILE)
        window = session.wait_for_window(RENDERER_TITLE, timeout=90)
        pid = pids_where(lambda p: p.cmdline == str(folder / RENDERER_FILE))[0]  # its Wine process
        sampler = Sampler(session, procstat, "changes")
        began = time.monotonic()
        deadline = began + minutes * 60
        changes = 0
        while time.monotonic() < deadline and renderer.poll() is None:
            time.sleep(every)  # the pace of the soak: one mode change every `every` seconds
            inside = [r for r in sampler.rows if r["name"] == RENDERER_FILE]
            windows_side, linux_side = wine_sides_kib(pid)
            rows.append({"run": "windows", "seconds": round(time.monotonic() - began, 1), "changes": changes,
                         "layout": (changes - 1) % len(WINDOWS_MODES), "windows_side_kib": windows_side,
                         "anonymous_kib": windows_side + linux_side, **(inside[-1] if inside else {})})
            width, height = WINDOWS_MODES[changes % len(WINDOWS_MODES)]
            session.run(display_mode, width, height, timeout=60)
            xorg.query()
            changes += 1
            print(f"soak changes: windows {changes} mode changes, {len(sampler.rows)} samples", flush=True)
        sampler.stop()
        result["changes"] = changes
        result["alive"] = renderer.poll() is None
        picture = Picture(session.screenshot("soak-changes-windows-end.png"))
        result["drawn"] = picture.distinct_colours(0, 0, picture.width // 2, picture.height // 2) > 1
        session.press_key("Escape", window=session.wait_for_window(RENDERER_TITLE) if result["alive"] else window)
        result["ended"] = session.wait_exit(renderer, 30) == 0


def visit_findings(run: str, rows: list[dict], layouts: int, counts: tuple[str, ...],
                   memory_limits: dict[str, int]) -> list[str]:
    """Growth after the warm-up, each figure read at one layout: once a visit (the last reading before the
    next change). Counts may not rise above their first reading. Memory wanders from one visit to the next
    as the allocator keeps or returns the buffers of other layouts, so a leak shows as the lowest of the last
    three readings above the highest of the first three, by more than the figure's limit in KiB."""
    findings = []
    late = [r for r in rows if r["changes"] >= WARMUP_CHANGES]
    for layout in range(layouts):
        visits = {}
        for r in late:
            if r["layout"] == layout:
                visits[r["changes"]] = r  # the visit's last reading
        readings = [visits[k] for k in sorted(visits)]
        if len(readings) < 4:
            findings.append(f"{run}: only {len(readings)} visits to layout {layout} after the warm-up")
            continue
        for key in counts:
            top = max(r[key] for r in readings)
            if top > readings[0][key]:
                findings.append(f"{run}: {key} grew from {readings[0][key]} to {top} at layout {layout}")
        for key, limit in memory_limits.items():
            rise = min(r[key] for r in readings[-3:]) - max(r[key] for r in readings[:3])
            if rise > limit:
                findings.append(f"{run}: {key} grew by {rise} KiB at layout {layout}")
    if run == "linux" and late and min(r["textures"] for r in late) < 0:
        findings.append("linux: no texture count on the program's layout lines")
    return findings


def plot(rows: list[dict], path: Path) -> None:
    """Memory per visit, a line per layout: the Linux program's resident memory; the renderer's whole
    anonymous memory and its Windows side."""
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    panels = (("linux", "rss_kib", "orlinde --root: resident memory (MiB)", LAYOUT_NAMES),
              ("windows", "anonymous_kib", "Orlinde.xy under Wine: private bytes (MiB)", MODE_NAMES),
              ("windows", "windows_side_kib", "Orlinde.xy: its Windows side (MiB)", MODE_NAMES))
    panels = [panel for panel in panels if any(r["run"] == panel[0] for r in rows)]
    fig, axes = plt.subplots(len(panels), 1, figsize=(10, 3.2 * len(panels)), squeeze=False)
    for ax, (run, key, title, names) in zip(axes[:, 0], panels):
        for layout, name in enumerate(names):
            visits = {r["changes"]: r for r in rows if r["run"] == run and r["layout"] == layout}
            ax.plot([visits[k]["seconds"] / 60 for k in sorted(visits)],
                    [visits[k][key] / 1024 for k in sorted(visits)], marker=".", label=name)
        ax.set_title(title)
        ax.set_xlabel("minutes")
        ax.grid(True, alpha=0.3)
        ax.legend(fontsize=7)
    fig.tight_layout()
    fig.savefig(path, dpi=90)


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--linux-minutes", type=float, default=30.0)
    parser.add_argument("--windows-minutes", type=float, default=30.0)
    parser.add_argument("--linux-change-seconds", type=float, default=30.0)
    parser.add_argument("--windows-change-seconds", type=float, default=60.0)
    parser.add_argument("--build-native", type=Path, required=True)
    parser.add_argument("--build-windows", type=Path, required=True)
    parser.add_argument("--prefix", type=Path, required=True)
    parser.add_argument("--out", type=Path, required=True)
    args = parser.parse_args()
    out = args.out.resolve()
    out.mkdir(parents=True, exist_ok=True)
    results: dict[str, dict] = {}
    errors: list[str] = []

    def run(name, fn, *fn_args) -> None:
        results[name] = {}
        try:
            fn(*fn_args, results[name])
        except Exception as error:  # reported below; the other run goes on
            errors.append(f"{name}: {error!r}")

    threads = []
    if args.linux_minutes > 0:
        threads.append(threading.Thread(target=run, args=(
            "linux", linux_run, built_linux_program(args.build_native.resolve()), args.linux_minutes, args.linux_change_seconds, out)))
    if args.windows_minutes > 0:
        threads.append(threading.Thread(target=run, args=(
            "windows", windows_run, args.build_windows.resolve(), args.prefix.resolve(), args.windows_minutes, args.windows_change_seconds, out)))
    for t in threads:
        t.start()
    for t in threads:
        t.join()

    linux_rows = results.get("linux", {}).get("rows", [])
    windows_rows = results.get("windows", {}).get("rows", [])
    keys = ("run", "seconds", "changes", "layout", "rss_kib", "fds", "threads", "textures", "handles",
            "windows_side_kib", "anonymous_kib", "working_set", "private_bytes")
    with open(out / "changes.csv", "w", newline="") as f:
        writer = csv.DictWriter(f, fieldnames=keys, extrasaction="ignore")
        writer.writeheader()
        writer.writerows(linux_rows + windows_rows)
    plot(linux_rows + windows_rows, out / "changes.png")
    findings = list(errors)
    if "linux" in results:
        findings += visit_findings("linux", linux_rows, len(LAYOUTS), ("fds", "threads", "textures"),
                                   {"rss_kib": MEMORY_LIMIT_KIB})
        if linux_rows:
            first = next((r for r in linux_rows if r["changes"] >= WARMUP_CHANGES), linux_rows[0])
            print(f"linux: {results['linux'].get('changes')} changes; after the warm-up {first} -> {linux_rows[-1]}")
    if "windows" in results:
        findings += visit_findings("windows", windows_rows, len(WINDOWS_MODES), ("handles", "threads"),
                                   {"anonymous_kib": WINDOWS_MEMORY_LIMIT_KIB, "windows_side_kib": WINDOWS_SIDE_LIMIT_KIB})
        if windows_rows:
            first = next((r for r in windows_rows if r["changes"] >= WARMUP_CHANGES), windows_rows[0])
            print(f"windows: {results['windows'].get('changes')} mode changes; after the warm-up {first} -> {windows_rows[-1]}")
    for name, result in results.items():
        for check, what in (("alive", "still running at the end"), ("drawn", "still drawn at the end"),
                            ("ended", "ended cleanly")):
            if not result.get(check):
                findings.append(f"{name}: not {what}")
    for finding in findings:
        print("FAIL", finding)
    print(f"soak changes: {'passed' if not findings else 'failed'}; {out / 'changes.csv'}")
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())
