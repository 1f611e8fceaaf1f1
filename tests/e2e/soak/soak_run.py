"""Soak run: the real programs for a long time under Wine, their resource figures sampled from inside Wine.

Two runs side by side, each in its own Wine prefix and on its own virtual display (so that the host's
single-instance check, which looks for window titles, does not see the other):
  - "Orlinde.scr /s" with rain at its fastest rate (keypad plus pressed again and again);
  - "Orlinde.scr /c", the settings dialog with its about panel animating and the pointer crossing its buttons.
The procstat fixture prints each program's handles, threads, working set, private bytes and GDI/USER objects
every few seconds. At the end a screenshot of each proves that the rain, the panel and the buttons are still
drawn (a GDI leak ends in failed drawing). Writes soak.csv, soak.png and the screenshots to the output folder
and fails when a series grows after the warm-up: handles, threads and objects not at all, memory by more than
1 MiB.

The warm-up is the first two minutes; the run then goes on for N minutes. The renderer's memory takes one
step of about 1 MiB in its first minute or two (seen at 50 s and at 80 s) and then stays; in a 30-minute run
the only later changes were -320 KiB and +516 KiB at 106-108 s.

usage: soak_run.py --minutes N --build BUILD_DIR --prefix PREFIX --out DIR
"""
from __future__ import annotations

import argparse
import csv
import json
import os
import shutil
import sys
import threading
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent.parent / "harness"))
from program_names import (DIALOG_TITLE, HOST_FILE, RENDERER_FILE, RENDERER_TITLE, built_host,  # noqa: E402
                           built_renderer, install_programs)
from wine_session import Picture, WineSession, wait_until  # noqa: E402

NAMES = (HOST_FILE, RENDERER_FILE)
COUNTS = ("handles", "threads", "gdi_objects", "user_objects")
MEMORY = ("working_set", "private_bytes")
MEMORY_LIMIT = 1 << 20
SAMPLE_MS = 2000
WARMUP_S = 120.0

# The dialog's layout at 96 dots per inch (client pixels), as its end-to-end tests know it.
PANEL = (12, 180, 309, 25)
BUTTONS = ((320, 180, 73, 25), (396, 180, 69, 25))
LIVE_TEXT = (200, 200, 100)


class Sampler:
    """Runs the procstat fixture in a session and collects its lines as rows of one phase."""

    def __init__(self, session: WineSession, procstat: Path, phase: str):
        self.phase = phase
        self.rows: list[dict] = []
        self.process = session.start(procstat, "--interval", SAMPLE_MS, "--count", 0, *NAMES)
        self.thread = threading.Thread(target=self.read, daemon=True)
        self.thread.start()

    def read(self) -> None:
        fields = ("ms", "name", "pid", "handles", "threads", "working_set", "private_bytes", "gdi_objects",
                  "user_objects")
        for raw in self.process.stdout:
            values = raw.decode("ascii", "replace").strip().split(",")
            if len(values) != len(fields):
                continue
            row = dict(zip(fields, values))
            row = {k: (v if k == "name" else int(v)) for k, v in row.items()}
            row["phase"] = self.phase
            self.rows.append(row)

    def stop(self) -> None:
        self.process.kill()
        self.thread.join(timeout=10)


def install(session: WineSession, build: Path) -> Path:
    """The two programs in a fresh folder of the prefix; returns the host there."""
    folder = session.drive_c / "OrlindeSoak"
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir()
    return install_programs(built_host(build), built_renderer(build), folder)


def rain_phase(session: WineSession, build: Path, seconds: float, out: Path, result: dict) -> None:
    program = install(session, build)
    session.run(build / "tests" / "e2e" / "soak" / "procstat.exe", HOST_FILE, timeout=60)  # wineserver up
    session.mouse_move(300, 200)
    host = session.start(program, "/s")
    renderer = session.wait_for_window(RENDERER_TITLE, timeout=90)
    time.sleep(2.0)  # the first sample comes once the run is under way, as the published figures were taken
    sampler = Sampler(session, build / "tests" / "e2e" / "soak" / "procstat.exe", "run")
    session.xdotool("windowfocus", "--sync", renderer["id"])
    for _ in range(40):  # down to the shortest rain interval
        session.press_key("KP_Add", hold=0.08)
    began = time.monotonic()
    deadline = began + seconds
    reported = 0
    while time.monotonic() < deadline:
        session.press_key("KP_Add", hold=0.08)  # each press also sets the rain timer again
        time.sleep(1.0)  # the pace of the soak: one press a second
        minute = int((time.monotonic() - began) // 60)
        if minute > reported:  # a line a minute, so that a long run shows how far it has got
            reported = minute
            latest = {row["name"]: row for row in sampler.rows}
            levels = ", ".join(f"{name} {row['handles']} handles {row['working_set'] / 2**20:.1f} MiB"
                               for name, row in sorted(latest.items()))
            print(f"soak: {minute}/{seconds / 60:g} min, {len(sampler.rows)} samples of the run; {levels}",
                  flush=True)
    shot = session.screenshot("soak-run-end.png")
    sampler.stop()
    result["rows"] = sampler.rows
    result["alive"] = host.poll() is None and session.window_exists(RENDERER_TITLE)
    picture = Picture(shot)
    w, h = picture.width, picture.height
    result["drawn"] = picture.distinct_colours(w // 4, h // 4, 3 * w // 4, 3 * h // 4) > 200
    x, y = session.mouse_position()
    session.mouse_move(x + 100, y + 100)
    result["ended"] = session.wait_exit(host, 30) == 0


def dialog_phase(session: WineSession, build: Path, seconds: float, out: Path, result: dict) -> None:
    program = install(session, build)
    probe = build / "tests" / "e2e" / "dialog" / "dialogprobe.exe"
    session.run(probe, "windows", timeout=60)  # wineserver up
    host = session.start(program, "/c")
    session.wait_for_window(DIALOG_TITLE, timeout=90)

    def found():
        result = session.run(probe, "window", DIALOG_TITLE, timeout=30)
        return json.loads(result.stdout) if result.returncode == 0 else None

    geometry = wait_until(found, 20, "the fixture finds the dialog")
    ox, oy = geometry["client"]["x"], geometry["client"]["y"]
    sampler = Sampler(session, build / "tests" / "e2e" / "soak" / "procstat.exe", "dialog")
    stops = [(ox + x + w // 2, oy + y + h // 2) for x, y, w, h in BUTTONS] + [(ox + 200, oy + 20)]
    deadline = time.monotonic() + seconds
    n = 0
    while time.monotonic() < deadline:
        session.mouse_move(*stops[n % len(stops)])  # over a button, the other, then off both
        n += 1
        time.sleep(0.4)  # the pace of the soak: a few hover changes a second, each seen by the button's timer
    session.mouse_move(ox + 200, oy + 20)
    time.sleep(0.5)  # the button's timer sees the pointer gone and the faces return to normal for the picture
    shot = session.screenshot("soak-dialog-end.png")
    sampler.stop()
    result["rows"] = sampler.rows
    result["alive"] = host.poll() is None
    picture = Picture(shot)
    px, py, pw, ph = PANEL
    lit = sum(1 for p in picture.region(ox + px, oy + py, ox + px + pw, oy + py + ph) if p == LIVE_TEXT)
    faces = [picture.distinct_colours(ox + x, oy + y, ox + x + w, oy + y + h) for x, y, w, h in BUTTONS]
    result["drawn"] = lit > 100 and min(faces) > 8
    session.run(probe, "syscommand-close", DIALOG_TITLE, timeout=30)
    result["ended"] = session.wait_exit(host, 30) == 0


def growth(rows: list[dict], warmup_s: float) -> list[str]:
    """The series that grew after the warm-up, one text per finding."""
    findings = []
    series: dict[tuple, list[dict]] = {}
    for row in rows:
        series.setdefault((row["phase"], row["name"], row["pid"]), []).append(row)
    for (phase, name, _), samples in sorted(series.items()):
        start = samples[0]["ms"]
        late = [s for s in samples if s["ms"] - start >= warmup_s * 1000]
        if len(late) < 3:
            findings.append(f"{phase} {name}: only {len(late)} samples after the warm-up")
            continue
        base = late[0]
        for key in COUNTS:
            top = max(s[key] for s in late)
            if top > base[key]:
                findings.append(f"{phase} {name}: {key} grew from {base[key]} to {top}")
        for key in MEMORY:
            # The end level: the least of the last three samples, so that one passing peak does not count.
            end = min(s[key] for s in late[-3:])
            if end - base[key] > MEMORY_LIMIT:
                findings.append(f"{phase} {name}: {key} grew by {(end - base[key]) / 1024:.0f} KiB")
    return findings


def summary(rows: list[dict], warmup_s: float) -> list[str]:
    lines = []
    series: dict[tuple, list[dict]] = {}
    for row in rows:
        series.setdefault((row["phase"], row["name"]), []).append(row)
    for (phase, name), samples in sorted(series.items()):
        start = samples[0]["ms"]
        late = [s for s in samples if s["ms"] - start >= warmup_s * 1000] or samples
        first, last = late[0], late[-1]
        lines.append(
            f"{phase:6} {name:11} samples={len(samples):4} "
            f"handles {first['handles']}->{last['handles']} (max {max(s['handles'] for s in late)}), "
            f"threads {first['threads']}->{last['threads']}, "
            f"working set {first['working_set'] / 2**20:.1f}->{last['working_set'] / 2**20:.1f} MiB, "
            f"private {first['private_bytes'] / 2**20:.1f}->{last['private_bytes'] / 2**20:.1f} MiB, "
            f"gdi {last['gdi_objects']}, user {last['user_objects']}")
    return lines


def plot(rows: list[dict], path: Path, minutes: float) -> None:
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    fig, axes = plt.subplots(2, 2, figsize=(11, 7), sharex=True)
    panels = (("handles", "handles (Wine's handle table)", 1), ("threads", "threads", 1),
              ("working_set", "working set (MiB)", 2**20), ("private_bytes", "private bytes (MiB)", 2**20))
    series: dict[tuple, list[dict]] = {}
    for row in rows:
        series.setdefault((row["phase"], row["name"]), []).append(row)
    for ax, (key, title, scale) in zip(axes.flat, panels):
        for (phase, name), samples in sorted(series.items()):
            start = samples[0]["ms"]
            ax.plot([(s["ms"] - start) / 60000 for s in samples], [s[key] / scale for s in samples],
                    label=f"{name} ({'/s rain' if phase == 'run' else '/c dialog'})")
        ax.set_title(title)
        ax.grid(True, alpha=0.3)
        ax.set_ylim(bottom=0)
    for ax in axes[1]:
        ax.set_xlabel("minutes")
    axes[0][0].legend(fontsize=8)
    fig.suptitle(f"Orlinde soak under Wine, {minutes:g} minutes, sampled every {SAMPLE_MS / 1000:g} s")
    fig.tight_layout()
    fig.savefig(path, dpi=90)


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--minutes", type=float, default=1.0, help="minutes measured after the warm-up")
    parser.add_argument("--build", type=Path, required=True)
    parser.add_argument("--prefix", type=Path, required=True)
    parser.add_argument("--out", type=Path, required=True)
    args = parser.parse_args()
    build, out = args.build.resolve(), args.out.resolve()
    out.mkdir(parents=True, exist_ok=True)
    warmup = WARMUP_S
    seconds = warmup + args.minutes * 60

    results = {"run": {}, "dialog": {}}
    errors: list[str] = []

    def phase(fn, prefix: Path, locale: str, size: tuple[int, int], result: dict) -> None:
        try:
            with WineSession(prefix, locale=locale, artifacts=out, width=size[0], height=size[1]) as session:
                fn(session, build, seconds, out, result)
        except Exception as error:  # reported below; the other phase goes on
            errors.append(f"{fn.__name__}: {error!r}")

    # The rain on a small screen (the software renderer draws it at a high frame rate), the dialog on its
    # own prefix and display.
    threads = [threading.Thread(target=phase, args=(rain_phase, args.prefix, "C.UTF-8", (640, 480), results["run"])),
               threading.Thread(target=phase, args=(dialog_phase, args.prefix.parent / (args.prefix.name + "-dialog"),
                                                    "ja_JP.UTF-8", (1024, 768), results["dialog"]))]
    for t in threads:
        t.start()
        time.sleep(5)  # the two prefixes' first starts apart: two at once can stall Wine's start-up
    for t in threads:
        t.join()

    rows = results["run"].get("rows", []) + results["dialog"].get("rows", [])
    with open(out / "soak.csv", "w", newline="") as f:
        writer = csv.writer(f)
        writer.writerow(["phase", "seconds", "process", "pid"] + list(COUNTS) + list(MEMORY))
        for r in rows:
            writer.writerow([r["phase"], r["ms"] / 1000, r["name"], r["pid"]] + [r[k] for k in COUNTS + MEMORY])
    if rows:
        plot(rows, out / "soak.png", seconds / 60)
    for line in summary(rows, warmup):
        print(line)

    findings = errors + growth(rows, warmup)
    for name, result in results.items():
        for check, what in (("alive", "still running at the end"), ("drawn", "still drawn at the end"),
                            ("ended", "ended cleanly")):
            if not result.get(check):
                findings.append(f"{name}: not {what}")
    expected = {("run", HOST_FILE), ("run", RENDERER_FILE), ("dialog", HOST_FILE)}
    missing = expected - {(r["phase"], r["name"]) for r in rows}
    findings += [f"{p}: no samples of {n}" for p, n in sorted(missing)]
    for finding in findings:
        print("FAIL", finding)
    print(f"soak: {seconds / 60:g} min, {len(rows)} samples, warm-up {warmup:.0f} s, "
          f"{'passed' if not findings else 'failed'}; {out / 'soak.csv'}, {out / 'soak.png'}")
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())
