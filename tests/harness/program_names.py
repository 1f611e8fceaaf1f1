"""The names by which the tests and tools find the programs and what they show: the programs' file names,
where a build puts them, the files they exchange and the titles of their windows. Written out here as a
user sees them (not read from the sources), so that a program showing another title fails its tests."""
from __future__ import annotations

import shutil
from pathlib import Path

# Files
HOST_FILE = "Orlinde.scr"                  # the Windows host
RENDERER_FILE = "Orlinde.xy"               # the Windows renderer, beside the host
SETTINGS_FILE = "Orlinde.ini"              # the host's settings, beside the host
HANDOVER_FILE = "Velsora.bmp"              # the picture the host hands the renderer, in the user's %TEMP%
LINUX_PROGRAM_FILE = "orlinde"             # the Linux program
BUILT_IN_TEXTURE = Path("assets") / "caustics.bmp"  # the built-in picture, in the source tree

# Window titles
RUN_FORM_TITLE = "Velsora_Main"            # the host's hidden run form
DIALOG_TITLE = "<Orlinde>"                 # the settings dialog
RENDERER_TITLE = "Velsora_Delphi"          # the renderer's full-screen window
APP_TITLE = "Orlinde(ScreenSaver)"         # the host's application title: its message boxes' caption
LINUX_TITLE = "Orlinde"                    # the Linux program's own window


def built_host(build: Path) -> Path:
    return Path(build) / "host" / HOST_FILE


def built_renderer(build: Path) -> Path:
    return Path(build) / "renderer" / RENDERER_FILE


def built_linux_program(build: Path) -> Path:
    return Path(build) / "linux" / LINUX_PROGRAM_FILE


def built_in_texture(source: Path) -> Path:
    return Path(source) / BUILT_IN_TEXTURE


def install_programs(host: Path, renderer: Path, folder: Path) -> Path:
    """Puts the host and the renderer side by side into `folder`, as a user installs them by hand;
    returns the host's path there."""
    folder = Path(folder)
    shutil.copy(host, folder / HOST_FILE)
    shutil.copy(renderer, folder / RENDERER_FILE)
    return folder / HOST_FILE
