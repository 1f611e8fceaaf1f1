"""The run's background music under Wine, observed through Wine's trace channels (+mci prints every MCI
command string, +winmm the sound calls). The sources that play are proven in tests/e2e/music; here: a source
value other than 1 and 2 plays nothing, whatever file is named."""
import math
import re
import struct
import subprocess
import time
import unittest
import wave
from pathlib import Path

from program_names import SETTINGS_FILE
from test_host import HostTestCase, RENDERER_TITLE, RUN_FORM

INI_SECTION = "Section"
KIND_KEY = "BGM区分"
REPEAT_KEY = "BGMﾘﾋﾟｰﾄ"
FILE_KEY = "BGMﾌｧｲﾙ"


def write_tone(path: Path, seconds: float = 3.0, rate: int = 22050) -> None:
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(rate)
        frames = b"".join(struct.pack("<h", int(8000 * math.sin(2 * math.pi * 440 * i / rate)))
                          for i in range(int(seconds * rate)))
        out.writeframes(frames)


class MusicTest(HostTestCase):
    # The keys are Japanese and stored in the ANSI code page: Shift-JIS under the Japanese locale.
    locale = "ja_JP.UTF-8"

    def write_ini(self, kind: str, repeat: str, file: str) -> None:
        text = f"[{INI_SECTION}]\r\n{KIND_KEY}={kind}\r\n{REPEAT_KEY}={repeat}\r\n{FILE_KEY}={file}\r\n"
        (self.folder / SETTINGS_FILE).write_bytes(text.encode("cp932"))

    def start_traced_run(self, channels: str, env: dict | None = None):
        """Starts "/s" with the trace channels on; the trace goes to a file (a pipe could fill and stall)."""
        self.trace = self.folder.parent / (self.folder.name + "-trace.log")
        self.addCleanup(lambda: self.trace.unlink(missing_ok=True))
        self.session.mouse_move(500, 400)
        full_env = {**self.session.env, "WINEDEBUG": channels, **(env or {})}
        with open(self.trace, "wb") as log:
            process = subprocess.Popen(["wine", str(self.host), "/s"], env=full_env, stdout=subprocess.DEVNULL,
                                       stderr=log)
        self.session.processes.append(process)
        self.session.wait_for_window(RENDERER_TITLE, timeout=60)
        self.wait_until(lambda: self.find(RUN_FORM), 30, "the run form appears")
        return process

    def mci_commands(self) -> list[str]:
        """The MCI command strings sent, in order. Wine traces them at mciSendStringW (the ANSI call goes
        through it); the "open <device> wait" it sends itself to open a device on first use is left out."""
        text = self.trace.read_text("utf-8", "replace")
        commands = re.findall(r'trace:mci:mciSendStringW \(L"(.*?)", ', text)
        commands = [re.sub(r"\\(.)", r"\1", c) for c in commands]  # the trace escapes quotes and backslashes
        return [c for c in commands if not re.fullmatch(r"open \S+ wait", c)]

    def sound_calls(self) -> list[tuple[bool, int]]:
        """PlaySound calls in order: (a sound was named, flags)."""
        text = self.trace.read_text("utf-8", "replace")
        return [(int(name, 16) != 0, int(flags, 16)) for name, flags in
                re.findall(r"MULTIMEDIA_PlaySound pszSound='([0-9A-Fa-f]+)' hmod=\S+ fdwSound=([0-9A-Fa-f]+)", text)]

    def end_run(self, process) -> None:
        self.session.mouse_move(531, 431)
        self.assertEqual(0, self.session.wait_exit(process, 20))
        self.assertFalse(self.handover.exists())

    def test_sources_other_than_cd_and_file_play_nothing_even_with_a_wav_file(self):
        for kind, name in ((" 5", "Tune.wav"), (" 0", "Tune.wav")):
            with self.subTest(kind=kind, name=name):
                music = self.folder / name
                write_tone(music, seconds=0.5)
                self.write_ini(kind, " 0", self.session.windows_path(music))
                process = self.start_traced_run("+mci,+winmm")
                time.sleep(1.5)  # the run's time to play, were it going to: what is checked is that nothing plays
                self.end_run(process)
                trace = self.trace.read_text("utf-8", "replace")
                self.assertEqual([], self.mci_commands())
                self.assertEqual([], self.sound_calls())
                self.wait_until(lambda: not self.session.window_exists(RENDERER_TITLE), 20, "the renderer ends")


if __name__ == "__main__":
    unittest.main()
