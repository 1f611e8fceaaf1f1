"""The release's installer under Wine, each case in a fresh prefix of its own (an install changes HKCU):
a silent install puts the two programs, the license, the three registry places and the shortcut in place; the installed
programs run and save their settings beside themselves; an upgrade keeps the settings; the uninstaller
removes what the installer added and nothing else, also when it runs a second time; a folder that cannot be
written fails cleanly; a folder with blanks and Japanese characters works under code page 932; the wizard's
welcome and finish pages show Orlinde's own picture."""
import json
import os
import numpy
import re
import shutil
import subprocess
import sys
import unittest
from pathlib import Path

from e2e_paths import BUILD, HOST, RENDERER, SOURCE, artifacts, fixture
from program_names import DIALOG_TITLE, HOST_FILE, RENDERER_FILE, SETTINGS_FILE
from wine_session import Picture, WineSession, ensure_prefix

sys.path.insert(0, str(SOURCE / "tests" / "e2e" / "host"))
from test_host import HostTestCase, XConnection  # noqa: E402  (the run and mouse-rule helpers)

ARTIFACTS = artifacts("installer")
SETUP = next((BUILD / "installer").glob("Orlinde-*-setup.exe"), BUILD / "installer" / "missing-setup.exe")
VERSION = re.sub(r"^Orlinde-(.*)-setup\.exe$", r"\1", SETUP.name)
DIALOG_PROBE = fixture("dialog", "dialogprobe.exe")
PREFIXES = BUILD / "wineprefix-installer"
PAGE_PICTURE = SOURCE / "assets" / "installer.bmp"
WIZARD = "Orlinde Setup"

UNINSTALL_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orlinde"
DESKTOP_KEY = "HKCU\\Control Panel\\Desktop"
DIALOG = DIALOG_TITLE
SAVE_BUTTON = (320 + 36, 180 + 12)  # the middle of 設定 in the dialog's client area


class InstallerTestCase(HostTestCase):
    """A fresh prefix per case; the host's run helpers work on the installed copy."""

    def setUp(self):
        self.assertTrue(SETUP.exists(), f"{SETUP} is built by the `installer` target")
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        prefix = PREFIXES / self.id().rsplit(".", 1)[-1]
        shutil.rmtree(prefix, ignore_errors=True)
        ensure_prefix(prefix)
        self.addCleanup(shutil.rmtree, prefix, True)
        # No menu entries in the Linux desktop of whoever runs the tests.
        overrides = {"WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d"}
        self.session = self.enterContext(WineSession(prefix, locale=self.locale, artifacts=ARTIFACTS,
                                                     env_extra=overrides))
        x = XConnection(self.session.display)
        self.addCleanup(x.close)
        self.profile = self.session.temp_dir().parent
        self.default_folder = self.profile / "AppData" / "Local" / "Programs" / "Orlinde"
        self.shortcut = self.profile / "AppData" / "Roaming" / "Microsoft" / "Windows" / "Start Menu" / "Programs" \
            / "Orlinde settings.lnk"
        self.handover = self.session.handover_path()
        self.probe("find", "-", timeout=60)

    # --- installing and removing ----------------------------------------------------------------
    def install(self, folder=None):
        """Runs the setup silently (into `folder` when given); returns its exit code."""
        args = ["/S"]
        if folder is not None:
            # /D= must come last and unquoted; Wine would quote one argument with blanks, so the path goes
            # as its blank-separated words, which Wine joins with single blanks.
            args += ("/D=" + self.session.windows_path(folder)).split(" ")
        code = self.session.run(SETUP, *args, timeout=120).returncode
        self.settle()
        return code

    def uninstall(self, uninstaller, *args):
        """Runs an uninstaller silently as Settings → Apps does; it continues from a copy in the temporary
        folder, so the whole prefix is waited for."""
        code = self.session.run(uninstaller, "/S", *args, timeout=120).returncode
        self.settle()
        return code

    def settle(self):
        subprocess.run(["wineserver", "-w"], env=self.session.env, timeout=120, check=False)

    def reg_values(self, key):
        """Every value of a registry key as text by name; empty when the key is missing."""
        result = self.session.run("reg", "query", key, timeout=60)
        # reg.exe prints in the ANSI code page (Shift-JIS under the Japanese locale).
        out = result.stdout.decode("cp932" if self.locale.startswith("ja") else "utf-8", "replace")
        found = re.findall(r"^\s+(\S+)\s+REG_\w+\s+(.*?)\r?$", out, re.MULTILINE)
        return dict(found) if result.returncode == 0 else {}

    def reg(self, key, name):
        """A registry value as text, None when it (or its key) is missing."""
        return self.reg_values(key).get(name)

    def set_reg(self, key, name, value):
        self.assertEqual(0, self.session.run("reg", "add", key, "/v", name, "/d", value, "/f", timeout=60).returncode)

    def assertInstalled(self, folder):
        windows = self.session.windows_path(folder)
        self.assertEqual(HOST.read_bytes(), (folder / HOST_FILE).read_bytes())
        self.assertEqual(RENDERER.read_bytes(), (folder / RENDERER_FILE).read_bytes())
        self.assertEqual((SOURCE / "LICENSE").read_bytes(), (folder / "LICENSE.txt").read_bytes(),
                         "the license lies beside the programs")
        self.assertTrue((folder / "Uninstall.exe").is_file())
        desktop = self.reg_values(DESKTOP_KEY)
        self.assertEqual(windows + "\\" + HOST_FILE, desktop.get("SCRNSAVE.EXE"))
        self.assertEqual("1", desktop.get("ScreenSaveActive"))
        expected = {"DisplayName": "Orlinde", "DisplayVersion": VERSION, "InstallLocation": windows,
                    "DisplayIcon": windows + "\\" + HOST_FILE + ",0",
                    "UninstallString": f'"{windows}\\Uninstall.exe"',
                    "QuietUninstallString": f'"{windows}\\Uninstall.exe" /S',
                    "NoModify": "0x1", "NoRepair": "0x1"}
        registration = self.reg_values(UNINSTALL_KEY)
        self.assertEqual(expected, {name: registration.get(name) for name in expected})
        self.assertTrue(registration.get("Publisher"))
        size_kb = int(registration["EstimatedSize"], 16)
        self.assertGreater(size_kb * 1024, HOST.stat().st_size + RENDERER.stat().st_size)
        link = self.shortcut.read_bytes()
        self.assertIn((windows + "\\" + HOST_FILE).encode("utf-16-le"), link, "the shortcut runs the program ...")
        self.assertIn("/c".encode("utf-16-le"), link, "... with the settings switch")

    def assertRemoved(self, folder):
        self.assertFalse(folder.exists(), f"{folder} is removed")
        self.assertIsNone(self.reg(UNINSTALL_KEY, "DisplayName"))
        self.assertIsNone(self.reg(DESKTOP_KEY, "SCRNSAVE.EXE"))
        self.assertFalse(self.shortcut.exists())

    # --- the installed programs -----------------------------------------------------------------
    def run_and_end_with_the_mouse(self):
        process, _ = self.start_run("/s")
        self.session.screenshot(f"{self.id().rsplit('.', 1)[-1]}-run.png")
        x, y = self.session.mouse_position()
        self.session.mouse_move(x + 31, y + 31)
        self.assertRunEnded(process)

    def save_settings(self):
        """Opens the settings dialog through the Start-menu shortcut's command and confirms it."""
        process = self.session.start(self.host, "/c")
        self.session.wait_for_window(DIALOG, timeout=60)
        # Shown means loaded: the click reaches 設定 through the X queue whenever the dialog reads it.
        geometry = self.wait_until(lambda: self.dialog_geometry(), 20, "the fixture finds the dialog")
        client = geometry["client"]
        self.session.mouse_move(client["x"] + SAVE_BUTTON[0], client["y"] + SAVE_BUTTON[1])
        self.session.xdotool("click", 1)
        self.assertEqual(0, self.session.wait_exit(process, 30), "the dialog closes on 設定")

    def dialog_geometry(self):
        result = self.session.run(DIALOG_PROBE, "window", DIALOG, timeout=30)
        return json.loads(result.stdout) if result.returncode == 0 else None


class InstallTest(InstallerTestCase):
    def test_silent_install_runs_from_its_folder_and_uninstalls_completely_twice_over(self):
        self.assertEqual(0, self.install())
        self.assertInstalled(self.default_folder)
        self.host = self.default_folder / HOST_FILE
        self.run_and_end_with_the_mouse()

        kept = self.session.drive_c / "kept-uninstaller"
        kept.mkdir()
        shutil.copy(self.default_folder / "Uninstall.exe", kept / "Uninstall.exe")
        self.assertEqual(0, self.uninstall(self.default_folder / "Uninstall.exe"))
        self.assertRemoved(self.default_folder)
        self.assertEqual("1", self.reg(DESKTOP_KEY, "ScreenSaveActive"), "the screen-saver switch stays the user's")

        # A second run (a copy kept elsewhere, pointed at the old folder) finds nothing of its own to remove
        # and leaves the screen saver the user has chosen since.
        self.set_reg(DESKTOP_KEY, "SCRNSAVE.EXE", "C:\\windows\\system32\\other.scr")
        self.assertEqual(0, self.uninstall(kept / "Uninstall.exe",
                                           "_?=" + self.session.windows_path(self.default_folder)))
        self.assertEqual("C:\\windows\\system32\\other.scr", self.reg(DESKTOP_KEY, "SCRNSAVE.EXE"))
        self.assertFalse(self.default_folder.exists())
        self.assertTrue((kept / "Uninstall.exe").exists())

    def test_settings_saved_beside_the_installed_program_survive_an_upgrade(self):
        self.assertEqual(0, self.install())
        self.host = self.default_folder / HOST_FILE
        self.save_settings()
        ini = self.default_folder / SETTINGS_FILE
        self.assertTrue(ini.is_file(), "the settings file is beside the installed program")
        settings = ini.read_bytes()

        # An older copy in place: the upgrade replaces the programs and keeps the settings as they are.
        (self.default_folder / RENDERER_FILE).write_bytes(b"an older renderer")
        self.assertEqual(0, self.install())
        self.assertInstalled(self.default_folder)
        self.assertEqual(settings, ini.read_bytes())

        self.assertEqual(0, self.uninstall(self.default_folder / "Uninstall.exe"))
        self.assertRemoved(self.default_folder)


class FolderTest(InstallerTestCase):
    def test_a_folder_that_cannot_be_written_fails_cleanly(self):
        folder = self.session.drive_c / "locked"
        folder.mkdir()
        os.chmod(folder, 0o555)
        if os.geteuid() == 0:
            # The superuser writes through file modes; the immutable flag stops it as well.
            if subprocess.run(["chattr", "+i", str(folder)], capture_output=True).returncode != 0:
                self.skipTest("cannot make a folder read-only for the superuser here")
            self.addCleanup(subprocess.run, ["chattr", "-i", str(folder)], check=False)
        self.set_reg(DESKTOP_KEY, "SCRNSAVE.EXE", "C:\\windows\\system32\\other.scr")

        self.assertNotEqual(0, self.install(folder / "Orlinde"), "the setup fails")
        self.assertNotEqual(0, self.install(folder), "the setup fails")
        self.assertEqual([], list(folder.iterdir()), "nothing is copied")
        self.assertIsNone(self.reg(UNINSTALL_KEY, "DisplayName"), "nothing is registered")
        self.assertEqual("C:\\windows\\system32\\other.scr", self.reg(DESKTOP_KEY, "SCRNSAVE.EXE"))
        self.assertFalse(self.shortcut.exists())


class JapaneseFolderTest(InstallerTestCase):
    locale = "ja_JP.UTF-8"

    def test_a_folder_with_blanks_and_japanese_characters_under_code_page_932(self):
        # ソ and 表 end in the byte 0x5C (a backslash) in Shift-JIS.
        folder = self.session.drive_c / "ユーザー プログラム" / "オルリンデ 表示ソフト"
        folder.mkdir(parents=True)
        (folder / "notes.txt").write_text("the user's own file")
        self.assertEqual(0, self.install(folder))
        self.assertInstalled(folder)
        self.host = folder / HOST_FILE
        self.run_and_end_with_the_mouse()

        self.assertEqual(0, self.uninstall(folder / "Uninstall.exe"))
        self.assertEqual(["notes.txt"], sorted(p.name for p in folder.iterdir()),
                         "the uninstaller removes its own files only, never the folder's other contents")
        self.assertIsNone(self.reg(UNINSTALL_KEY, "DisplayName"))
        self.assertIsNone(self.reg(DESKTOP_KEY, "SCRNSAVE.EXE"))


def pixels(path):
    picture = Picture(path)
    return numpy.frombuffer(picture.data, numpy.uint8).reshape(picture.height, picture.width, 3).astype(int)


def page_picture(screen, window):
    """The picture at the top-left corner of the wizard's page in `screen`, and its size: it reaches right to
    the first white pixel of a row in its dark sky, and down to the last row that is not a neutral grey or
    white, seen from the window's bottom edge up (the button bar and its separator line)."""
    x0, y0 = window["x"], window["y"]
    row = screen[y0 + 10, x0:x0 + window["width"]]
    width = next((i for i, p in enumerate(row) if tuple(p) == (255, 255, 255)), 0)
    column = screen[y0:y0 + window["height"], x0 + 1]
    neutral = [p[0] == p[1] == p[2] and p[0] >= 150 for p in column]
    height = len(neutral) - next((i for i, n in enumerate(reversed(neutral)) if not n), len(neutral))
    return screen[y0:y0 + height, x0:x0 + width]


def resembles(shown, picture):
    """Whether `shown` is `picture` as the wizard draws it: the same width, the height of the page (the
    wizard stretches the picture to its page, whose height follows the dialog font), and after scaling the
    rows the same colours within a small average difference."""
    h, w = picture.shape[:2]
    if shown.shape[1] != w or not 0.8 * h <= shown.shape[0] <= 1.2 * h:
        return False
    rows = ((numpy.arange(shown.shape[0]) + 0.5) * h / shown.shape[0]).astype(int)
    return numpy.abs(shown - picture[rows]).mean() < 12


class WizardTest(InstallerTestCase):
    def test_welcome_and_finish_pages_show_the_picture_and_the_wizard_installs(self):
        picture = pixels(PAGE_PICTURE)
        self.assertEqual((314, 164, 3), picture.shape)
        process = self.session.start(SETUP)
        window = self.session.wait_for_window(WIZARD, timeout=60)
        self.session.mouse_move(window["x"] + window["width"] // 2, window["y"] + window["height"] // 2)

        def page_shows_picture(name, wanted):
            shot = self.session.screenshot(name)
            return resembles(page_picture(pixels(shot), window), picture) == wanted

        self.wait_until(lambda: page_shows_picture("installer-welcome.png", True), 30,
                        "the welcome page shows the picture")
        # Enter takes the default button: on to the folder page (no picture), then Install.
        self.session.press_key("Return", window=window)
        self.wait_until(lambda: page_shows_picture("installer-folder.png", False), 30, "the folder page follows")
        self.session.press_key("Return", window=window)
        self.wait_until(lambda: (self.default_folder / "Uninstall.exe").is_file(), 60, "the wizard installs")
        self.wait_until(lambda: page_shows_picture("installer-finish.png", True), 60,
                        "the finish page shows the picture")
        self.assertEqual(HOST.read_bytes(), (self.default_folder / HOST_FILE).read_bytes())
        # Finish would open the control panel; the session's end stops the wizard instead.
        self.assertIsNone(process.poll(), "the wizard waits on its finish page")


if __name__ == "__main__":
    unittest.main()
