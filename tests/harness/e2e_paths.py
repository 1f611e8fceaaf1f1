"""Where an end-to-end test finds the built programs, the sources, the shared prefix and its artefact
folder; ctest hands these over in the environment (cmake/WineTests.cmake)."""
import os
from pathlib import Path

BUILD = Path(os.environ["ORLINDE_BUILD_DIR"])
SOURCE = Path(os.environ["ORLINDE_SOURCE_DIR"])
PREFIX = Path(os.environ["ORLINDE_WINEPREFIX"])
HOST = BUILD / "host" / "Orlinde.scr"
RENDERER = BUILD / "renderer" / "Orlinde.xy"


def artifacts(area: str) -> Path:
    """The folder for one test area's screenshots and logs."""
    return Path(os.environ["ORLINDE_ARTIFACTS_DIR"]) / f"e2e-{area}"


def fixture(area: str, program: str) -> Path:
    """A Windows fixture program built beside one test area's tests."""
    return BUILD / "tests" / "e2e" / area / program
