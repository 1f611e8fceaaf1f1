"""The run's background music under Wine: which media calls the host makes for each source chosen in
"Orlinde.ini", observed through Wine's trace channels (+mci prints every MCI command string, +winmm the
sound calls)."""
import math
import os
import re
import struct
import subprocess
import time
import unittest
import wave
from pathlib import Path

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
        (self.folder / "Orlinde.ini").write_bytes(text.encode("cp932"))

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

    def sound_device(self) -> tuple[dict, Path]:
        """Environment that gives Wine a sound device (ALSA's default device writing into a file), and the
        file. Without a device the system has no wave output and cannot play an MP3 file either."""
        home = self.folder / "home"
        home.mkdir(exist_ok=True)
        sink = self.folder / "sound.raw"
        (home / ".asoundrc").write_text(
            f'pcm.!default {{ type file; slave.pcm "null"; file "{sink}"; format "raw" }}\n')
        return {"HOME": str(home)}, sink

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

    def test_mp3_file_is_opened_played_watched_and_closed(self):
        tone = self.folder / "tone.wav"
        write_tone(tone)
        mp3 = self.folder / "Tune.Mp3"
        subprocess.run(["lame", "--quiet", str(tone), str(mp3)], check=True, timeout=60)
        path = self.session.windows_path(mp3)
        self.write_ini(" 2", " 0", path)
        env, _ = self.sound_device()
        process = self.start_traced_run("+mci", env=env)
        # The watch timer asks for the mode once a second.
        self.wait_until(lambda: self.mci_commands().count("status MP3Play mode") >= 2, 20, "two MP3 watch ticks")
        self.end_run(process)
        commands = self.mci_commands()
        self.assertEqual(f'open "{path}" type MPEGVideo Alias MP3Play', commands[0])
        self.assertEqual("play MP3Play", commands[1], "the file plays once it opened")
        self.assertEqual(["stop MP3Play", "close MP3Play"], commands[-2:], "the run end stops and closes it")
        self.assertNotIn("open cdaudio", commands)

    def test_wav_file_loops_through_the_sound_api_and_stops_at_the_end(self):
        tone = self.folder / "Tone.wav"
        write_tone(tone)
        env, sink = self.sound_device()
        self.write_ini(" 2", " 0", self.session.windows_path(tone))
        process = self.start_traced_run("+winmm,+mci", env=env)
        self.wait_until(lambda: sink.exists() and sink.stat().st_size > 0, 20, "sound reaches the device")
        self.end_run(process)
        trace = self.trace.read_text("utf-8", "replace")
        self.assertEqual([], self.mci_commands(), "no MCI device for a WAV file")
        SND_ASYNC_LOOP = 0x0009
        calls = self.sound_calls()
        self.assertEqual((True, SND_ASYNC_LOOP), calls[0], "the file loops asynchronously")
        self.assertIn(f'SoundName=L"{self.session.windows_path(tone)}"'.replace("\\", "\\\\"), trace)
        self.assertFalse(calls[-1][0], "the run end stops every sound")
        self.assertEqual(2, len(calls))

    def test_music_cd_without_a_drive_keeps_the_run_going(self):
        self.write_ini(" 1", " 3", "")
        process = self.start_traced_run("+mci")
        self.wait_until(lambda: "open cdaudio" in self.mci_commands(), 20, "the CD is opened")
        time.sleep(1.5)
        self.assertIsNone(process.poll(), "the run goes on")
        self.assertTrue(self.session.window_exists(RENDERER_TITLE))
        self.end_run(process)
        commands = self.mci_commands()
        self.assertEqual(["open cdaudio", "set cdaudio time format tmsf"], commands[:2])
        # Without a disc the first watch tick fails and the watch stops itself; the run end then leaves the
        # device alone.
        self.assertEqual(1, commands.count("status cdaudio current track"), "one watch tick, then no more")
        self.assertNotIn("close cdaudio", commands)
        self.assertFalse([c for c in commands if "MP3Play" in c], "no file is opened")

    def test_other_file_endings_and_sources_play_nothing(self):
        for kind, name in ((" 2", "Tune.mid"), (" 5", "Tune.wav"), (" 0", "Tune.wav")):
            with self.subTest(kind=kind, name=name):
                music = self.folder / name
                write_tone(music, seconds=0.5)
                self.write_ini(kind, " 0", self.session.windows_path(music))
                process = self.start_traced_run("+mci,+winmm")
                time.sleep(1.5)
                self.end_run(process)
                trace = self.trace.read_text("utf-8", "replace")
                self.assertEqual([], self.mci_commands())
                self.assertEqual([], self.sound_calls())
                self.wait_until(lambda: not self.session.window_exists(RENDERER_TITLE), 20, "the renderer ends")


if __name__ == "__main__":
    unittest.main()
