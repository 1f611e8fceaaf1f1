"""Faults a user can meet, each driven end to end under Wine with its safe outcome: a temporary folder that
cannot be written, a renderer killed mid-run or not a program at all, music files that are missing, empty or
garbage, no sound device, damaged settings files, a settings file held open by another program during a save,
and a second start while the dialog or a run is open. After each case no program of ours and no window of
ours is left (the processes are listed from inside Wine by the soak's sampling fixture)."""
import os
import random
import shutil
import subprocess
import sys
import time
import unittest

from e2e_paths import SOURCE, fixture
from program_names import HOST_FILE, RENDERER_FILE, SETTINGS_FILE
from wine_session import HarnessError, wait_until, write_alsa_file_sink

# The host's and the dialog's test cases bring the session, the copied programs and the observation helpers.
sys.path[:0] = [str(SOURCE / "tests" / "e2e" / "host"), str(SOURCE / "tests" / "e2e" / "dialog")]
import test_dialog  # noqa: E402
import test_host  # noqa: E402
import test_host_music  # noqa: E402
from test_host import APP_TITLE, DIALOG, RENDERER_TITLE, RUN_FORM  # noqa: E402

PROCSTAT = fixture("soak", "procstat.exe")
HOLDFILE = fixture("faults", "holdfile.exe")
OUR_PROGRAMS = (HOST_FILE, RENDERER_FILE)
OUR_TITLES = {RUN_FORM, DIALOG, RENDERER_TITLE, APP_TITLE, "Error"}
KIND, REPEAT, FILE = test_dialog.KIND, test_dialog.REPEAT, test_dialog.FILE


def garbage(size, seed):
    """Reproducible random bytes without NUL, CR or LF (so that a profile line stays one line)."""
    rng = random.Random(seed)
    return bytes(rng.choice([b for b in range(1, 256) if b not in (10, 13)]) for _ in range(size))


def text_garbage(size, seed):
    """Reproducible nonsense that is still text in code page 932 (ASCII, half-width katakana, a few kanji):
    the profile functions read and write such a file through the code page, and any byte that is not text in
    it comes back as the code page's replacement character, whoever writes the file."""
    rng = random.Random(seed)
    alphabet = [chr(c) for c in range(0x20, 0x7F)] + [chr(c) for c in range(0xFF61, 0xFFA0)] + list("雨音楽設定区分")
    return "".join(rng.choice(alphabet) for _ in range(size)).encode("cp932")


def set_immutable(path, on):
    """Makes a folder unwritable, also for the superuser (who writes through file modes)."""
    if os.geteuid() == 0:
        subprocess.run(["chattr", "+i" if on else "-i", str(path)], check=True, capture_output=True)
    else:
        os.chmod(path, 0o555 if on else 0o755)


def profile_entries(data):
    """Every (section, key) -> value of a profile file's bytes, and its other non-empty lines, in order."""
    entries, others, section = {}, [], None
    for line in data.split(b"\r\n" if b"\r\n" in data else b"\n"):
        stripped = line.strip()
        if stripped.startswith(b"[") and stripped.endswith(b"]"):
            section = stripped[1:-1]
        elif b"=" in line:
            key, value = line.split(b"=", 1)
            entries[(section, key.strip())] = value.strip()
        elif stripped:
            others.append(stripped)
    return entries, others


class LeftoverChecks:
    """Mixed into a test case with a `session`: the end of every fault case leaves nothing of ours."""

    def assertNothingLeft(self):
        left = {}

        def nothing_left():
            left["listed"] = self.session.run(PROCSTAT, *OUR_PROGRAMS, timeout=30).stdout.decode().strip()
            left["titles"] = {w["title"] for w in self.session.x_windows()} & OUR_TITLES
            return not left["listed"] and not left["titles"]

        try:
            wait_until(nothing_left, 20, "everything of ours gone", interval=0.5)
        except HarnessError:
            pass  # the assertions below say what is left
        self.assertEqual("", left["listed"], "no program of ours is left running")
        self.assertEqual(set(), left["titles"], "no window of ours is left")


class RunFaultTest(LeftoverChecks, test_host.HostTestCase):
    def start_run_without_renderer_window(self, *args):
        self.session.mouse_move(500, 400)
        process = self.session.start(self.host, *args)
        self.wait_until(lambda: self.find(RUN_FORM), 60, "the run form appears")
        # The host starts no renderer when it could not write the hand-over picture, and a renderer file
        # that is no program never runs; nothing on screen says so. The tests check what is absent
        # afterwards (no error box, no renderer window), so they first give such a window this time.
        time.sleep(3.0)  # bound: no renderer window or error box may appear within it
        return process

    def test_an_unwritable_temporary_folder_ends_the_run_cleanly_on_the_pointer(self):
        temp = self.session.temp_dir()
        set_immutable(temp, True)
        self.addCleanup(set_immutable, temp, False)
        process = self.start_run_without_renderer_window("/s")
        self.assertFalse(self.handover.exists(), "no file, not even a partial one")
        titles = {w["title"] for w in self.session.x_windows()}
        self.assertNotIn("Error", titles, "the renderer shows no error box")
        self.assertNotIn(RENDERER_TITLE, titles, "without the hand-over picture the host starts no renderer")
        self.assertStillRunning(process, renderer_too=False)
        self.session.screenshot("fault-unwritable-temp.png")
        self.session.mouse_move(531, 431)
        self.assertRunEnded(process)
        self.assertNothingLeft()

    def test_a_renderer_file_that_is_not_a_program_neither_crashes_nor_hangs_the_host(self):
        (self.folder / RENDERER_FILE).write_bytes(garbage(8192, seed=1))
        process = self.start_run_without_renderer_window("/s")
        self.assertStillRunning(process, renderer_too=False)
        self.assertEqual(set(), {w["title"] for w in self.session.x_windows()} & {RENDERER_TITLE, APP_TITLE, "Error"})
        self.session.mouse_move(531, 431)
        self.assertRunEnded(process)
        self.assertNotIn(b"page fault", process.stderr.read())
        self.assertNothingLeft()

    def test_a_second_start_is_refused_while_the_dialog_or_a_run_is_open(self):
        dialog = self.session.start(self.host, "/c")
        self.wait_until(lambda: self.find(DIALOG), 60, "the dialog opens")
        self.assertQuietExit("/s")
        self.assertQuietExit("/p", "0")
        self.assertEqual(0, self.probe("close", DIALOG)[0])
        self.assertEqual(0, self.session.wait_exit(dialog, 20))

        process, _ = self.start_run("/s")
        second = self.session.start(self.host, "/c")
        def second_ended():
            self.assertFalse(self.session.window_exists(DIALOG), "no dialog opens during a run")
            return second.poll() is not None

        wait_until(second_ended, 30, "the second start ends")
        self.assertEqual(0, self.session.wait_exit(second, 5), "/c during a run ends quietly")
        self.assertStillRunning(process)
        self.session.mouse_move(531, 431)
        self.assertRunEnded(process)
        self.assertNothingLeft()


class MusicFaultTest(LeftoverChecks, test_host_music.MusicTest):
    # The inherited case belongs to the host's music tests.
    test_sources_other_than_cd_and_file_play_nothing_even_with_a_wav_file = None

    def sound_device(self):
        """A home folder whose .asoundrc gives Wine a sound device: an ALSA sink writing into a file."""
        home = self.folder.parent / (self.folder.name + "-home")
        if not home.exists():
            write_alsa_file_sink(home, home / "sound.raw")
            self.addCleanup(shutil.rmtree, home, True)
        return home

    def run_with_music(self, name, content, env=None):
        music = self.folder / name
        if content is not None:
            music.write_bytes(content)
        self.write_ini(" 2", " 0", self.session.windows_path(music))
        process = self.start_traced_run("+mci,+winmm", env=env)
        self.assertStillRunning(process, seconds=2.5)
        self.end_run(process)
        self.assertNotIn("page fault", self.trace.read_text("utf-8", "replace"))
        self.assertNothingLeft()
        music.unlink(missing_ok=True)
        return process

    def test_a_killed_renderer_leaves_the_host_watching_and_the_music_stops_at_the_end(self):
        wav = self.folder / "Tune.wav"
        test_host_music.write_tone(wav, seconds=1.0)
        self.write_ini(" 2", " 0", self.session.windows_path(wav))
        home = self.sound_device()
        process = self.start_traced_run("+winmm", env={"HOME": str(home)})
        result = self.session.run("taskkill", "/f", "/im", RENDERER_FILE, timeout=30)
        self.assertEqual(0, result.returncode, result.stdout + result.stderr)
        self.wait_until(lambda: not self.session.window_exists(RENDERER_TITLE), 20, "the renderer is gone")
        self.assertStillRunning(process, renderer_too=False)
        self.assertTrue(self.handover.exists())
        self.end_run(process)  # the pointer ends the host, which deletes the hand-over file
        calls = self.sound_calls()
        self.assertEqual((True, 9), calls[0], "the tone looped")
        self.assertEqual((False, 0), calls[-1], "the run end stopped it")
        self.assertGreater((home / "sound.raw").stat().st_size, 44100, "the tone was heard")
        self.assertNothingLeft()

    def test_missing_empty_and_garbage_music_files_leave_the_run_silent(self):
        for name, content in (("Missing.mp3", None), ("Missing.wav", None), ("Empty.mp3", b""),
                              ("Empty.wav", b""), ("Noise.mp3", garbage(20000, seed=2)),
                              ("Noise.wav", b"RIFF" + garbage(20000, seed=3))):
            with self.subTest(name=name):
                self.run_with_music(name, content, env={"HOME": str(self.sound_device())})

    def test_without_any_sound_device_the_run_goes_on(self):
        # No audio driver at all: Wine then has no wave device and no MCI sound output.
        env = {"WINEDLLOVERRIDES": "mscoree,mshtml=;winealsa.drv,winepulse.drv,wineoss.drv,winecoreaudio.drv=d"}
        for name in ("Tune.wav", "Tune.mp3"):
            with self.subTest(name=name):
                source = self.folder / "tone.wav"
                test_host_music.write_tone(source, seconds=1.0)
                if name.endswith(".mp3"):
                    subprocess.run(["lame", "--quiet", str(source), str(self.folder / name)], check=True, timeout=60)
                    source.unlink()
                else:
                    source.rename(self.folder / name)
                self.run_with_music(name, (self.folder / name).read_bytes(), env=env)


# Damaged settings files: each must open the run and the dialog with usable values, and a save from the
# dialog writes the three keys and the display mode and keeps every other line of the file.
OTHER = ("[Other]\r\nname=value\r\n; a comment line\r\n[Section]\r\nkept=yes\r\n").encode("cp932")
DAMAGED = {
    "garbage": OTHER + KIND.encode("cp932") + b"=" + garbage(40, seed=4) + b"\r\n"
    + REPEAT.encode("cp932") + b"= 3x\x81\r\n" + text_garbage(300, seed=5) + b"\r\n[Tail]\r\nlast=1\r\n",
    "overlong": OTHER + KIND.encode("cp932") + b"=" + b"1" * 5000 + b"\r\n"
    + b"long=" + b"x" * 70000 + b"\r\n" + REPEAT.encode("cp932") + b"= 4\r\n",
    "huge-and-negative": OTHER + KIND.encode("cp932") + b"=99999999999999999999999\r\n"
    + REPEAT.encode("cp932") + b"=-32769\r\n" + FILE.encode("cp932") + b"=-1\r\n",
    # The settings written in UTF-8: their keys do not match the code page's, so they read as missing. On
    # a save, the profile functions rewrite these lines through code page 932, in which UTF-8 is not text:
    # they are the file's own settings in the wrong code page, so only the other lines are held to be kept.
    "utf-8": OTHER + "BGM区分= 1\r\nBGMﾘﾋﾟｰﾄ= 5\r\nBGMﾌｧｲﾙ=C:\\音楽\\雨音.mp3\r\n".encode("utf-8"),
}


def is_code_page_text(data):
    try:
        return data.decode("cp932").encode("cp932") == data
    except UnicodeError:
        return False


class SettingsFaultTest(LeftoverChecks, test_dialog.DialogTestCase):
    def assertOtherLinesKept(self, before, after):
        before_entries, before_others = profile_entries(before)
        after_entries, after_others = profile_entries(after)
        ours = {(b"Section", key.encode("cp932")) for key in (KIND, REPEAT, FILE)} | {(b"Display", b"Monitors")}
        kept = {k: v for k, v in before_entries.items()
                if k not in ours and all(is_code_page_text(part) for part in (k[0], k[1], v))}
        self.assertEqual(kept, {k: v for k, v in after_entries.items() if k in kept}, "every other key and value")
        before_other_keys = set(before_entries) - set(kept) - ours
        self.assertEqual(set(), {k for k in set(after_entries) - set(kept) - ours if is_code_page_text(k[1])}
                         - before_other_keys, "nothing added but the three keys and the display mode")
        for line in filter(is_code_page_text, before_others):
            self.assertIn(line, after_others, "the other lines are kept")
        return after_entries

    def test_damaged_settings_open_the_dialog_with_no_music_and_a_save_keeps_the_rest(self):
        for name, content in DAMAGED.items():
            with self.subTest(file=name):
                self.start(content)
                self.assertSourceShown(0, f"damaged-{name}")
                self.click(test_dialog.CMD_SET)
                self.assertEqual(0, self.wait_closed())
                entries = self.assertOtherLinesKept(content, self.ini.read_bytes())
                self.assertEqual(b"0", entries[(b"Section", KIND.encode("cp932"))])
                self.assertIn((b"Section", FILE.encode("cp932")), entries)
                self.assertEqual(b"each", entries[(b"Display", b"Monitors")])
                self.assertNothingLeft()

    def test_a_settings_file_held_open_by_another_program_fails_the_save_and_the_dialog_stays(self):
        original = test_dialog.ini_bytes(" 1", " 5")
        self.start(original)
        holder = subprocess.Popen(["wine", str(HOLDFILE), self.windows_folder + "\\" + SETTINGS_FILE, "120"],
                                  env=self.session.env, stdout=subprocess.PIPE)
        self.session.processes.append(holder)
        self.assertEqual(b"held\n", holder.stdout.readline().replace(b"\r", b""))
        self.click(test_dialog.in_panel(test_dialog.OPTION_LABEL[0]), dx=6)
        self.click(test_dialog.CMD_SET)
        self.wait_top_window(APP_TITLE)
        self.shot("held-message")
        self.assertIn(test_dialog.SAVE_FAILED, [c["text"] for c in self.controls(APP_TITLE)])
        self.assertIsNone(self.process.poll(), "the dialog stays open")
        self.assertIsNone(holder.poll(), "the file was held all along")
        (self.folder / (SETTINGS_FILE + ".release")).write_bytes(b"")
        self.assertEqual(0, self.session.wait_exit(holder, 20))
        self.assertEqual(original, self.ini.read_bytes(), "the held file is unchanged")
        self.click_screen(next(c for c in self.controls(APP_TITLE) if c["class"] == "Button"))
        self.session.wait_window_gone(APP_TITLE)
        self.click(test_dialog.CMD_SET)
        self.assertEqual(0, self.wait_closed())
        self.assertEqual(test_dialog.ini_bytes("0", "5", "", monitors="each"), self.ini.read_bytes(),
                         "saved once released")
        self.assertNothingLeft()


class DamagedSettingsRunTest(LeftoverChecks, test_host.HostTestCase):
    locale = "ja_JP.UTF-8"

    def test_damaged_settings_start_the_run_which_ends_on_the_pointer(self):
        for name, content in DAMAGED.items():
            with self.subTest(file=name):
                (self.folder / SETTINGS_FILE).write_bytes(content)
                process, _ = self.start_run("/s")
                self.assertStillRunning(process)
                self.session.mouse_move(531, 431)
                self.assertRunEnded(process)
                self.assertNothingLeft()
                self.session.mouse_move(500, 400)


if __name__ == "__main__":
    unittest.main()
