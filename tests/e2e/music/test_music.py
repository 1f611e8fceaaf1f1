"""Music during a real run of "Orlinde.scr /s" under Wine.

Wine gets a sound device from an ALSA "file" sink in the test's own .asoundrc, so the test can hear what
was played; the exact system calls are read from Wine's +mci and +winmm trace channels.
"""
import array
import re
import shutil
import subprocess
import time
import unittest
from pathlib import Path

from e2e_paths import HOST, PREFIX, RENDERER, artifacts
from program_names import RENDERER_TITLE, SETTINGS_FILE, install_programs
from wine_session import WineSession, write_alsa_file_sink

ARTIFACTS = artifacts("music")


def ini_bytes(kind: str, repeat: str, path: str) -> bytes:
    def line(key: str, value: str) -> bytes:
        return key.encode("cp932") + b"=" + value.encode("cp932") + b"\r\n"
    return b"[Section]\r\n" + line("BGM区分", kind) + line("BGMﾘﾋﾟｰﾄ", repeat) + line("BGMﾌｧｲﾙ", path)


def peak_level(raw: Path) -> int:
    """The loudest 16-bit sample the sink received (0 for silence)."""
    data = raw.read_bytes() if raw.exists() else b""
    samples = array.array("h", data[: len(data) - len(data) % 2])
    return max((abs(s) for s in samples), default=0)


class MusicTest(unittest.TestCase):
    def setUp(self):
        self.work = ARTIFACTS / self.id().rsplit(".", 1)[-1]
        shutil.rmtree(self.work, ignore_errors=True)
        self.sink = self.work / "sound.raw"
        write_alsa_file_sink(self.work / "home", self.sink)
        self.session = self.enterContext(
            WineSession(PREFIX, locale="ja_JP.UTF-8", artifacts=self.work,
                        env_extra={"WINEDEBUG": "+mci,+winmm", "HOME": str(self.work / "home")}))
        self.folder = self.session.drive_c / "OrlindeMusic"
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir()
        self.host = install_programs(HOST, RENDERER, self.folder)

    def make_tone(self, name: str, seconds: float) -> Path:
        wav = self.folder / (Path(name).stem + ".wav")
        subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", str(wav), "synth", str(seconds),
                        "sine", "440", "vol", "0.5"], check=True, timeout=60)
        if name.lower().endswith(".mp3"):
            mp3 = self.folder / name
            subprocess.run(["lame", "--quiet", str(wav), str(mp3)], check=True, timeout=60)
            wav.unlink()
            return mp3
        target = self.folder / name
        if target != wav:
            wav.rename(target)
        return target

    def run_for(self, seconds: float, ini: bytes) -> str:
        """Runs the screen saver for a while, ends it by moving the mouse, returns Wine's trace."""
        (self.folder / SETTINGS_FILE).write_bytes(ini)
        process = self.session.start(self.host, "/s")
        self.session.wait_for_window(RENDERER_TITLE, timeout=60)
        time.sleep(seconds)  # the time the music plays is what the tests hear
        self.assertIsNone(process.poll(), "the host is still running before the mouse moves")
        x, y = self.session.mouse_position()
        self.session.mouse_move(x + 60, y + 60)
        self.assertEqual(0, self.session.wait_exit(process, 30))
        trace = process.stderr.read().decode("utf-8", "replace")
        (self.work / "trace.log").write_text(trace)
        return trace

    @staticmethod
    def mci_commands(trace: str) -> list:
        return re.findall(r'mciSendStringW \(L"([^"\\]*(?:\\.[^"\\]*)*)"', trace)

    def test_wav_file_loops_through_the_sound_api_and_is_heard(self):
        wav = self.make_tone("rain.wav", 1.0)
        trace = self.run_for(4.0, ini_bytes(" 2", " 0", self.session.windows_path(wav)))
        self.assertRegex(trace, r"MULTIMEDIA_PlaySound pszSound='[0-9A-Fa-f]+' hmod=0+ fdwSound=00000009")
        self.assertIn('SoundName=L"C:\\\\OrlindeMusic\\\\rain.wav"', trace)
        # The one-second tone loops: more than one second of sound reached the sink.
        self.assertGreater(self.sink.stat().st_size, 2 * 44100 * 4)
        self.assertGreater(peak_level(self.sink), 8000)
        # The run end stops it: PlaySound with no sound and no flags.
        self.assertRegex(trace, r"MULTIMEDIA_PlaySound pszSound='0+' hmod=0+ fdwSound=00000000")

    def test_mp3_file_plays_restarts_when_it_ends_and_is_heard(self):
        mp3 = self.make_tone("a song.mp3", 1.5)
        trace = self.run_for(5.0, ini_bytes(" 2", " 0", self.session.windows_path(mp3)))
        commands = self.mci_commands(trace)
        opening = 'open \\"C:\\\\OrlindeMusic\\\\a song.mp3\\" type MPEGVideo Alias MP3Play'
        self.assertEqual(opening, commands[0])
        self.assertEqual("play MP3Play", commands[1])
        self.assertIn("status MP3Play mode", commands)
        # When the short file has ended, the watch restarts it from the beginning.
        restart = commands.index("play MP3Play from 0")
        self.assertEqual("stop MP3Play", commands[restart - 1])
        self.assertEqual(["stop MP3Play", "close MP3Play"], [c for c in commands if "wait" not in c][-2:])
        self.assertGreater(peak_level(self.sink), 8000)

    def test_cd_without_a_drive_stops_its_watch_and_the_run_goes_on(self):
        trace = self.run_for(3.0, ini_bytes(" 1", " 3", ""))
        commands = [c for c in self.mci_commands(trace) if not c.endswith(" wait")]
        self.assertEqual(["open cdaudio", "set cdaudio time format tmsf", "status cdaudio current track"],
                         commands[:3])
        # The first tick's failure turned the watch off for good: no further queries, and the run end
        # neither stops nor closes the device.
        self.assertEqual(1, commands.count("status cdaudio current track"))
        self.assertNotIn("stop cdaudio", commands)

    def test_other_file_endings_play_nothing(self):
        midi = self.folder / "song.mid"
        midi.write_bytes(b"MThd\0\0\0\6\0\0\0\1\0\x60")
        trace = self.run_for(2.0, ini_bytes(" 2", " 0", self.session.windows_path(midi)))
        self.assertEqual([], self.mci_commands(trace))
        self.assertNotIn("MULTIMEDIA_PlaySound", trace)


if __name__ == "__main__":
    unittest.main()
