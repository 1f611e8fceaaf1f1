"""Runs one Windows test program under Wine on a private virtual display and returns its exit code.

usage: wine_run.py --prefix DIR [--locale LOCALE] [--artifacts DIR] -- PROGRAM [ARGS...]
"""
import argparse
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from wine_session import WineSession  # noqa: E402


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--locale", default="C.UTF-8")
    parser.add_argument("--artifacts")
    parser.add_argument("--timeout", type=float, default=300)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command and args.command[0] == "--" else args.command
    with WineSession(Path(args.prefix), locale=args.locale, artifacts=args.artifacts) as session:
        result = session.run(command[0], *command[1:], timeout=args.timeout)
        sys.stdout.write(result.stdout.decode("utf-8", "replace"))
        sys.stderr.write(result.stderr.decode("utf-8", "replace"))
        return result.returncode


if __name__ == "__main__":
    sys.exit(main())
