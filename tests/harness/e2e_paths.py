"""Where an end-to-end test finds the built programs, the sources, the shared prefix and its artefact
folder; ctest hands these over in the environment (cmake/WineTests.cmake)."""
import os
from pathlib import Path

from program_names import built_host, built_in_texture, built_renderer

BUILD = Path(os.environ["ORLINDE_BUILD_DIR"])
SOURCE = Path(os.environ["ORLINDE_SOURCE_DIR"])
PREFIX = Path(os.environ["ORLINDE_WINEPREFIX"])
# The prefix of the tests on Xorg's changing monitors, beside the shared one: Wine's own view of the monitors,
# through XRandR, kept apart from the single-screen tests'.
XORG_PREFIX = PREFIX.parent / (PREFIX.name + "-xorg")
HOST = built_host(BUILD)
RENDERER = built_renderer(BUILD)
TEXTURE = built_in_texture(SOURCE)


def artifacts(area: str) -> Path:
    """The folder for one test area's screenshots and logs."""
    return Path(os.environ["ORLINDE_ARTIFACTS_DIR"]) / f"e2e-{area}"


def fixture(area: str, program: str) -> Path:
    """A Windows fixture program built beside one test area's tests."""
    return BUILD / "tests" / "e2e" / area / program
