"""Frames counted from outside a GL program by Mesa's HUD: with GALLIUM_HUD=fps and GALLIUM_HUD_DUMP_DIR
set, Mesa appends the frame rate of each period (GALLIUM_HUD_PERIOD seconds) as one line to the file `fps`
in that folder. It works for native programs and for Windows programs under Wine alike (the HUD is also
drawn on the picture: not for screenshots)."""
from __future__ import annotations

import shutil
import tempfile
from pathlib import Path

from x11_display import wait_until


class HudDump:
    """A dump folder of its own and the samples Mesa writes into it; use as a context manager to remove
    the folder afterwards. Give the program `env()` in its environment."""

    def __init__(self, period: float = 0.5, folder: Path | None = None):
        self.period = period
        self.folder = Path(folder) if folder else Path(tempfile.mkdtemp(prefix="orlinde-hud-"))
        self.folder.mkdir(parents=True, exist_ok=True)
        self.file = self.folder / "fps"

    def __enter__(self) -> "HudDump":
        return self

    def __exit__(self, *exc) -> None:
        shutil.rmtree(self.folder, ignore_errors=True)

    def env(self) -> dict[str, str]:
        return {"GALLIUM_HUD": "fps", "GALLIUM_HUD_PERIOD": f"{self.period:g}",
                "GALLIUM_HUD_DUMP_DIR": str(self.folder)}

    def samples(self, since: int = 0) -> list[float]:
        """The frame rates written so far (none before the first period ends), from sample `since` on.
        A line still being written is left for the next read."""
        try:
            text = self.file.read_text()
        except FileNotFoundError:
            return []
        lines = text.split("\n")[:-1]  # the part after the last newline is incomplete or empty
        return [float(line) for line in lines[since:] if line.strip()]

    def count(self) -> int:
        """How many samples have been written: a mark for samples(since=...)."""
        return len(self.samples())

    def wait_for(self, count: int, timeout: float, what: str = "") -> list[float]:
        """Waits until at least `count` samples have been written; returns them all."""
        def enough():
            samples = self.samples()
            return samples if len(samples) >= max(1, count) else None
        return wait_until(enough, timeout, what or f"{count} frame-rate samples from Mesa's HUD")

    def frames(self, samples: list[float]) -> float:
        """How many frames a run of samples counts."""
        return sum(samples) * self.period
