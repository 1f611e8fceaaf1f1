"""Runs Orlinde under Wine as Windows would start it, and keeps pictures of the run.

The host "Orlinde.scr /s" starts the renderer and the music; after --seconds the pointer is moved, as a
user would, which ends both. Screenshots (and an animated GIF) go to --out. Uses $DISPLAY when there is
one (pass --virtual to use a private virtual display anyway). --configure opens the settings dialog
("Orlinde.scr /c") instead: on a real display it stays until you close it, on a virtual one it is
photographed and closed after --seconds.
"""
import argparse
import os
import shutil
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "harness"))
from program_names import (DIALOG_TITLE, HOST_FILE, RENDERER_FILE, RENDERER_TITLE, SETTINGS_FILE,  # noqa: E402
                           built_host, built_in_texture, built_renderer)
from wine_session import WineSession  # noqa: E402
from x11_display import record_run  # noqa: E402


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=str(ROOT / "build" / "windows"))
    parser.add_argument("--out", default=str(ROOT / "out" / "run"))
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--music", help="an MP3 or WAV file to play during the run")
    parser.add_argument("--virtual", action="store_true", help="use a private virtual display")
    parser.add_argument("--configure", action="store_true", help="open the settings dialog instead of a run")
    args = parser.parse_args()

    build = Path(args.build)
    out = Path(args.out)
    if out.exists():
        shutil.rmtree(out)
    out.mkdir(parents=True)
    host = built_host(build)
    renderer = built_renderer(build)

    display = None if args.virtual else os.environ.get("DISPLAY") or None
    with WineSession(build / "wineprefix", locale="ja_JP.UTF-8", artifacts=out, display=display) as session:
        folder = session.drive_c / "Orlinde"
        folder.mkdir(exist_ok=True)
        shutil.copy2(renderer, folder / RENDERER_FILE)
        ini = folder / SETTINGS_FILE
        ini.unlink(missing_ok=True)
        if host.exists():
            shutil.copy2(host, folder / HOST_FILE)
            if args.music:
                music = folder / Path(args.music).name
                shutil.copy2(args.music, music)
                kind_key = "BGM区分".encode("cp932")
                repeat_key = "BGMﾘﾋﾟｰﾄ".encode("cp932")
                file_key = "BGMﾌｧｲﾙ".encode("cp932")
                ini.write_bytes(b"[Section]\r\n" + kind_key + b"= 2\r\n" + repeat_key + b"= 0\r\n" + file_key +
                                b"=" + session.windows_path(music).encode("cp932") + b"\r\n")
            if args.configure:
                return configure(session, folder, out, args.seconds, interactive=display is not None)
            process = session.start(folder / HOST_FILE, "/s")
            what = f"{HOST_FILE} /s"
        else:
            # Before the host exists, hand the texture over by hand and start the renderer alone.
            session.handover_path().write_bytes(built_in_texture(ROOT).read_bytes())
            process = session.start(folder / RENDERER_FILE)
            what = RENDERER_FILE
        print(f"run: started {what} on display {session.display}")
        session.wait_for_window(RENDERER_TITLE, timeout=60)
        time.sleep(1.5)
        start = session.mouse_position()

        frames = record_run(session, out, args.seconds)

        # End the run as a user does: move the mouse far enough on both axes.
        session.mouse_move(start[0] + 60, start[1] + 60)
        code = session.wait_exit(process, 30)
        print(f"run: {what} ended with exit code {code}")
        print(f"run: pictures in {out} (screenshot.png, rain.gif, {len(frames)} frames)")
        return 0 if code is not None else 1


def configure(session: WineSession, folder: Path, out: Path, seconds: float, interactive: bool) -> int:
    """Opens the settings dialog; keeps a screenshot; closes it on a virtual display."""
    process = session.start(folder / HOST_FILE, "/c")
    print(f"run: started {HOST_FILE} /c on display {session.display}")
    session.wait_for_window(DIALOG_TITLE, timeout=60)
    time.sleep(2)
    shot = session.screenshot("dialog.png")
    print(f"run: screenshot {shot}")
    if interactive:
        print("run: close the dialog (ｷｬﾝｾﾙ, 設定 or its close box) to end")
        code = session.wait_exit(process, 3600)
    else:
        time.sleep(seconds)
        closer = Path(session.prefix).parent / "tests" / "e2e" / "renderer" / "closewindow.exe"
        session.run(closer, DIALOG_TITLE, timeout=30)
        code = session.wait_exit(process, 30)
    print(f"run: {HOST_FILE} /c ended with exit code {code}")
    return 0 if code is not None else 1


if __name__ == "__main__":
    sys.exit(main())
