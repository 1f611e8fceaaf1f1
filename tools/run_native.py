"""Runs the Linux program `orlinde` in a window of its own, and keeps pictures of the run.

Inside a Wayland session ($WAYLAND_DISPLAY) or on $DISPLAY, unless --virtual is given, it runs until you end
it: Escape, q or the window's close button. Otherwise it runs full screen on a private virtual display for --seconds, with
screenshots and an animated GIF in --out, and is then ended with SIGTERM, as XScreenSaver ends a hack.
Arguments after "--" go to the program (for example -- --fps --rain-interval 200).
"""
import argparse
import os
import shutil
import signal
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "harness"))
from program_names import LINUX_TITLE, built_linux_program  # noqa: E402
from x11_display import X11Session, record_run  # noqa: E402


def main() -> int:
    argv = sys.argv[1:]
    program_args = argv[argv.index("--") + 1:] if "--" in argv else []
    argv = argv[:argv.index("--")] if "--" in argv else argv
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=str(ROOT / "build" / "native"))
    parser.add_argument("--out", default=str(ROOT / "out" / "run"))
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--virtual", action="store_true", help="use a private virtual display")
    args = parser.parse_args(argv)
    program = built_linux_program(Path(args.build))

    # Inside a Wayland session the program draws through the compositor itself (a window of its own there).
    session_name = os.environ.get("WAYLAND_DISPLAY") or os.environ.get("DISPLAY")
    if session_name and not args.virtual:
        what = "Wayland compositor" if os.environ.get("WAYLAND_DISPLAY") else "X display"
        print(f"run: orlinde in a window on the {what} {session_name}; Escape, q or the close button ends it")
        code = subprocess.run([str(program), "--window", *program_args], check=False).returncode
        print(f"run: orlinde ended with exit code {code}")
        return code

    out = Path(args.out)
    if out.exists():
        shutil.rmtree(out)
    out.mkdir(parents=True)
    with X11Session(out, 1024, 768) as session:
        process = session.start(program, "--window", "--fullscreen", *program_args)
        print(f"run: started orlinde on virtual display {session.display}")
        session.wait_for_window(LINUX_TITLE, timeout=30)
        frames = record_run(session, out, args.seconds)
        process.send_signal(signal.SIGTERM)
        code = process.wait(timeout=10)
        errors = process.stderr.read().decode(errors="replace").strip()
        print(f"run: orlinde ended with exit code {code}" + (f": {errors}" if errors else ""))
        print(f"run: pictures in {out} (screenshot.png, rain.gif, {len(frames)} frames)")
        return 0 if code == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
