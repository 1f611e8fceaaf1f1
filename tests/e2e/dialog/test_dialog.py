"""The settings dialog: "Orlinde.scr /c" under Wine with code page 932 (Shift-JIS), driven with the mouse and
the keyboard and watched from outside: window structure through a fixture program, pixels through
screenshots, the settings file byte for byte, and the exact profile calls through Wine's +profile trace.
"""
import json
import os
import re
import shutil
import subprocess
import unittest
import zlib

from e2e_paths import BUILD, HOST, PREFIX, RENDERER, SOURCE, artifacts, fixture
from program_names import APP_TITLE, DIALOG_TITLE, HOST_FILE, SETTINGS_FILE, install_programs
from wine_session import Picture, WineSession, wait_until

ARTIFACTS = artifacts("dialog")
PROBE = fixture("dialog", "dialogprobe.exe")

TITLE = DIALOG_TITLE
OPEN_TITLE = "ﾌｧｲﾙを開く"
KIND, REPEAT, FILE = "BGM区分", "BGMﾘﾋﾟｰﾄ", "BGMﾌｧｲﾙ"
SAVE_FAILED = ("設定を保存できませんでした。\n"
               "Orlinde.ini またはそのﾌｫﾙﾀﾞが書き込み禁止になっていないか確かめてください。")



def read_layout():
    """The dialog's layout as the program has it: every control's place (x, y, width, height at 96 dots
    per inch, within its container), whether it keeps its size at every setting, and the client size, read
    from the layout table in the dialog's header."""
    text = (SOURCE / "host" / "dialog" / "DialogLayout.h").read_text(encoding="utf-8")
    places = {}
    for m in re.finditer(r"\{DialogControl::(\w+), ControlKind::\w+, Container::\w+, "
                         r"\{(\d+), (\d+), (\d+), (\d+)\}, \"[^\"]*\"(, true)?\}", text):
        places[m.group(1)] = (tuple(int(m.group(i)) for i in range(2, 6)), m.group(6) is not None)
    client = tuple(int(re.search(rf"kClient{side} = (\d+);", text).group(1)) for side in ("Width", "Height"))
    if len(places) != 25:
        raise AssertionError(f"read {len(places)} controls from DialogLayout.h, expected 25")
    return places, client


LAYOUT, CLIENT = read_layout()


def place(name):
    return LAYOUT[name][0]


# Client pixels at 96 dots per inch; the music panel's controls are within Pic_C.
PIC_C = place("Pic_C")
MARK = {source: place(f"Img_BGM_{source}") for source in (0, 1, 2)}
OPTION_LABEL = {source: place(f"lbl_BGM_{source}") for source in (0, 1, 2)}
# The display modes, from the top: each monitor its own rain, the primary alone, one rain across all.
MODES = ("each", "primary", "span")
MODE_MARK = {mode: place(f"Img_Mon_{i}") for i, mode in enumerate(MODES)}
MODE_LABEL = {mode: place(f"lbl_Mon_{i}") for i, mode in enumerate(MODES)}
MODE_HEADER = place("lbl_16")
TRACK_BOX = place("BGM_Repeat")
CMD_BGM = place("Cmd_BGM")
LBL_FNAME = place("lbl_Fname")
PANEL = place("picDisplay")
CMD_SET = place("Cmd_Set")
CMD_CAN = place("Cmd_Can")


def scaled(length, dpi):
    """A length at 96 dots per inch for another setting, to the nearest pixel, halves up."""
    return (length * dpi * 2 + 96) // (96 * 2)


def scaled_place(name, dpi):
    (x, y, w, h), fixed = LAYOUT[name]
    return (scaled(x, dpi), scaled(y, dpi)) + ((w, h) if fixed else (scaled(w, dpi), scaled(h, dpi)))

TICKED_CENTRE = (0x20, 0x60, 0xF0)  # the ticked mark's blue
LIVE_TEXT = (200, 200, 100)
WS_CAPTION, WS_SYSMENU, WS_THICKFRAME = 0x00C00000, 0x00080000, 0x00040000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX = 0x00020000, 0x00010000


def in_panel(rect):
    return (PIC_C[0] + rect[0], PIC_C[1] + rect[1]) + tuple(rect[2:])


def ini_bytes(kind=None, repeat=None, file=None, extra="", monitors=None):
    """A settings file: [Section] with the keys given, then `extra`, then [Display] when `monitors` is given."""
    lines = ["[Section]"]
    for key, value in ((KIND, kind), (REPEAT, repeat), (FILE, file)):
        if value is not None:
            lines.append(f"{key}={value}")
    display = f"[Display]\r\nMonitors={monitors}\r\n" if monitors is not None else ""
    return ("\r\n".join(lines) + "\r\n" + extra + display).encode("cp932")


def debugstr(text):
    """A string as Wine's debugstr_w prints it in a trace."""
    out = []
    for ch in text:
        code = ord(ch)
        if ch in "\\\"":
            out.append("\\" + ch)
        elif ch == "\n":
            out.append("\\n")
        elif ch == "\r":
            out.append("\\r")
        elif ch == "\t":
            out.append("\\t")
        elif code < 0x20 or code >= 0x7F:
            out.append("\\%04x" % code)
        else:
            out.append(ch)
    return "".join(out)


class DialogTestCase(unittest.TestCase):
    """One dialog per test, in its own folder inside the prefix's drive C."""

    def setUp(self):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        self.name = self.id().rsplit(".", 1)[-1]
        self.session = self.enterContext(WineSession(PREFIX, locale="ja_JP.UTF-8", artifacts=ARTIFACTS))
        # A short folder per test, so that a whole path fits in the path label.
        self.folder = self.session.drive_c / "orlinde-dialog" / ("%08x" % zlib.crc32(self.id().encode()))
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir(parents=True)
        install_programs(HOST, RENDERER, self.folder)
        self.ini = self.folder / SETTINGS_FILE
        self.windows_folder = self.session.windows_path(self.folder)

    # --- running the dialog ---------------------------------------------------------------------
    def start(self, ini=None, trace=False):
        if ini is not None:
            self.ini.write_bytes(ini)
        env = dict(self.session.env)
        if trace:
            env["WINEDEBUG"] = trace if isinstance(trace, str) else "+profile"
        self.stderr_path = ARTIFACTS / f"{self.name}.stderr.txt"
        stderr = open(self.stderr_path, "wb")
        self.addCleanup(stderr.close)
        self.process = subprocess.Popen(["wine", self.windows_folder + "\\" + HOST_FILE, "/c"], env=env,
                                        stdout=subprocess.DEVNULL, stderr=stderr)
        self.session.processes.append(self.process)
        self.xwindow = self.session.wait_for_window(TITLE, timeout=60)

        def found():
            result = self.session.run(PROBE, "window", TITLE, timeout=30)
            return json.loads(result.stdout) if result.returncode == 0 else None

        self.geometry = wait_until(found, 20, "the fixture finds the dialog")
        self.origin = (self.geometry["client"]["x"], self.geometry["client"]["y"])
        # The display setting the dialog was laid out for, known by its client width.
        dpi = next(d for d in (96, 120, 144, 192) if scaled(CLIENT[0], d) == self.geometry["client"]["w"])
        self.panel = scaled_place("picDisplay", dpi)
        # Ready once the about panel shows its letters: the load has run to its end and the timers tick.
        self.wait_shot("ready", lambda picture: self.panel_text_pixels(picture) > 100, "the about panel's text")

    def controls(self, title=TITLE, required=True):
        """The child windows of the window titled `title`. While waiting for a window (required=False),
        a fixture run that does not find it yet gives None: the list can miss a window whose program is
        busy, and a fixture started while Wine is busy can fail to start."""
        result = self.session.run(PROBE, "controls", title, timeout=30)
        if result.returncode != 0 and not required:
            return None
        self.assertEqual(0, result.returncode, f"the fixture finds {title!r}")
        return [json.loads(line) for line in result.stdout.decode().splitlines() if line.strip()]

    def control_at(self, rect):
        """The child window whose screen rectangle is `rect` (client pixels)."""
        x, y = self.origin[0] + rect[0], self.origin[1] + rect[1]
        found = [c for c in self.controls() if (c["x"], c["y"], c["w"], c["h"]) == (x, y, rect[2], rect[3])]
        self.assertEqual(1, len(found), f"one child window at {rect}")
        return found[0]

    def top_windows(self):
        result = self.session.run(PROBE, "windows", timeout=30)
        return [json.loads(line) for line in result.stdout.decode().splitlines() if line.strip()]

    def point(self, rect, dx=None, dy=None):
        dx = rect[2] // 2 if dx is None else dx
        dy = rect[3] // 2 if dy is None else dy
        return self.origin[0] + rect[0] + dx, self.origin[1] + rect[1] + dy

    # The pointer and the keys reach the dialog through the X server's queue, in order; what a test checks
    # after them it waits for (a window, a pixel, a control's state), each wait bounded.
    def move_to(self, rect, dx=None, dy=None):
        self.session.mouse_move(*self.point(rect, dx, dy))

    def click(self, rect, button=1, dx=None, dy=None):
        self.move_to(rect, dx, dy)
        self.session.xdotool("click", button)

    def type_into_track_box(self, text):
        self.click(in_panel(TRACK_BOX), dx=10)
        self.session.xdotool("windowfocus", "--sync", self.xwindow["id"])
        self.session.xdotool("key", "End")
        for _ in range(4):
            self.session.xdotool("key", "BackSpace")
        if text:
            self.session.xdotool("type", "--delay", "60", text)
        wait_until(lambda: self.control_at(in_panel(TRACK_BOX))["text"] == text, 10, f"the track box shows {text!r}")

    def click_screen(self, control):
        """Clicks the middle of a window the fixture listed (screen pixels)."""
        self.session.mouse_move(control["x"] + control["w"] // 2, control["y"] + control["h"] // 2)
        self.session.xdotool("click", 1)

    def wait_shot(self, label, condition, what, timeout=10.0):
        """A screenshot once `condition(picture)` holds; bounded."""
        def taken():
            picture = self.shot(label)
            return picture if condition(picture) else None
        return wait_until(taken, timeout, what)

    def wait_top_window(self, title, timeout=20.0):
        """The Windows top-level windows titled `title`, once there is one; bounded."""
        return wait_until(lambda: [w for w in self.top_windows() if w["title"] == title], timeout,
                          f"a window titled {title!r}")

    def wait_top_window_gone(self, title, timeout=20.0):
        # The X window first: the fixture's list can miss a window whose program is busy.
        self.session.wait_window_gone(title, timeout)
        wait_until(lambda: not [w for w in self.top_windows() if w["title"] == title], timeout,
                   f"the window titled {title!r} gone")

    def wait_open_file_dialog(self):
        """The open-file dialog once it is shown and filled, given the keyboard: its child windows."""
        self.wait_top_window(OPEN_TITLE)
        self.session.xdotool("windowfocus", "--sync", self.session.wait_for_window(OPEN_TITLE, 10)["id"])

        def filled():
            # The dialog fills its lists and its name box after it shows: ready once the name box is there.
            children = self.controls(OPEN_TITLE, required=False) or []
            return children if any(c["class"] == "Edit" and c["visible"] for c in children) else None

        return wait_until(filled, 20, "the open-file dialog's name box")

    def panel_text_pixels(self, picture):
        return sum(1 for row in self.crop(picture, self.panel) for p in row[:280] if p == LIVE_TEXT)

    def wait_closed(self, timeout=30):
        code = self.session.wait_exit(self.process, timeout)
        self.assertIsNotNone(code, "the process ends when the dialog closes")
        return code

    def shot(self, label):
        return Picture(self.session.screenshot(f"{self.name}-{label}.png"))

    def crop(self, picture, rect):
        x0, y0 = self.origin[0] + rect[0], self.origin[1] + rect[1]
        return [[picture.pixel(x0 + x, y0 + y) for x in range(rect[2])] for y in range(rect[3])]

    def profile_writes(self):
        """The arguments of every WritePrivateProfileStringW call in the trace, in order."""
        text = self.stderr_path.read_text(encoding="utf-8", errors="replace")
        return re.findall(r"trace:profile:WritePrivateProfileStringW \((.*)\)\s*$", text, re.MULTILINE)

    def expected_write(self, key, value, section="Section"):
        path = self.windows_folder + "\\" + SETTINGS_FILE
        return f'L"{section}", L"{debugstr(key)}", L"{debugstr(value)}", L"{debugstr(path)}"'

    def expected_writes(self, kind, repeat, file, monitors):
        """What 設定 passes to the profile writer: the three music keys, then the display mode."""
        return [self.expected_write(KIND, kind), self.expected_write(REPEAT, repeat), self.expected_write(FILE, file),
                self.expected_write("Monitors", monitors, section="Display")]

    # --- what the dialog shows --------------------------------------------------------------------
    def ticked_marks(self, picture):
        ticked = []
        for source, (x, y, _, _) in MARK.items():
            centre = picture.pixel(self.origin[0] + PIC_C[0] + x + 6, self.origin[1] + PIC_C[1] + y + 6)
            self.assertIn(centre, (TICKED_CENTRE, (0, 0, 0)), f"mark {source} is an option mark")
            if centre == TICKED_CENTRE:
                ticked.append(source)
        return ticked

    def ticked_modes(self, picture):
        ticked = []
        for mode, (x, y, _, _) in MODE_MARK.items():
            centre = picture.pixel(self.origin[0] + PIC_C[0] + x + 6, self.origin[1] + PIC_C[1] + y + 6)
            self.assertIn(centre, (TICKED_CENTRE, (0, 0, 0)), f"the {mode} mark is an option mark")
            if centre == TICKED_CENTRE:
                ticked.append(mode)
        return ticked

    def assertModeShown(self, mode, label):
        return self.wait_shot(label, lambda picture: self.ticked_modes(picture) == [mode],
                              f"only the {mode} mark ticked")

    def assertSourceShown(self, source, label):
        self.wait_shot(label, lambda picture: self.ticked_marks(picture) == [source], f"only mark {source} ticked")
        track_box = self.control_at(in_panel(TRACK_BOX))
        file_button = self.control_at(in_panel(CMD_BGM))
        self.assertEqual(source == 1, track_box["enabled"], "the track box is usable with the CD source only")
        self.assertEqual(source == 2, file_button["enabled"], "the file button is usable with the file source only")
        return track_box

    def path_pixels(self, picture):
        x, y, w, h = in_panel(LBL_FNAME)
        return [row[2:-2] for row in self.crop(picture, (x, y + 2, w, h - 4))]

    def path_pixels_settle(self, label, same_as=None, timeout=10.0):
        """The path label's pixels once the window above it has gone and the dialog has repainted: until
        they equal `same_as` (when given) or two screenshots in a row agree; bounded."""
        seen = []

        def settled():
            seen.append(self.path_pixels(self.shot(label)))
            return seen[-1] == same_as if same_as is not None else len(seen) > 1 and seen[-1] == seen[-2]

        wait_until(settled, timeout, "the path label settles")
        return seen[-1]


class OpenTest(DialogTestCase):
    def test_opens_centred_at_one_third_of_the_free_height(self):
        self.start()
        outer, client = self.geometry["outer"], self.geometry["client"]
        screen_w, screen_h = self.geometry["screen_w"], self.geometry["screen_h"]
        self.assertEqual((screen_w - outer["w"]) // 2, outer["x"])
        self.assertEqual((screen_h - outer["h"]) // 3, outer["y"])
        self.assertEqual(CLIENT, (client["w"], client["h"]))
        style = self.geometry["style"]
        self.assertEqual(WS_CAPTION | WS_SYSMENU, style & (WS_CAPTION | WS_SYSMENU))
        self.assertEqual(0, style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), "fixed border, no min/max")

        # No settings file: no music, both source controls disabled, the track box empty with its list; the
        # display mode is the default, each monitor its own rain.
        track_box = self.assertSourceShown(0, "no-settings")
        self.assertModeShown("each", "no-settings-mode")
        self.assertEqual("", track_box["text"])
        self.assertEqual([""] + [str(n) for n in range(1, 31)], track_box["entries"])
        for rect, caption in ((CMD_SET, "設定"), (CMD_CAN, "ｷｬﾝｾﾙ"), (in_panel(CMD_BGM), "...")):
            self.assertEqual(caption, self.control_at(rect)["text"])
        self.control_at(PANEL)
        picture = self.shot("layout")
        self.assertEqual((0, 0, 0), picture.pixel(self.origin[0] + 2, self.origin[1] + 2), "black background")

    def test_cd_settings_open_with_the_track_box_showing_the_track(self):
        self.start(ini_bytes(" 1", " 5"))
        track_box = self.assertSourceShown(1, "cd")
        self.assertEqual("5", track_box["text"])

    def test_file_settings_open_with_the_path_shown(self):
        music = self.folder / "音楽"
        music.mkdir()
        (music / "雨音.mp3").write_bytes(b"ID3")
        self.start(ini_bytes(" 2", " 0", self.windows_folder + "\\音楽\\雨音.mp3"))
        track_box = self.assertSourceShown(2, "file")
        self.assertEqual("", track_box["text"], "0 shows as the empty text")
        lit = [p for row in self.path_pixels(self.shot("file-path")) for p in row if min(p) > 200]
        self.assertGreater(len(lit), 40, "the path's white letters")


class DpiTest(DialogTestCase):
    """At 120 dots per inch the layout grows by a quarter; the about panel keeps its pixel size."""

    DESKTOP = "HKCU\\Control Panel\\Desktop"

    def set_dpi(self, dpi):
        if dpi is None:
            self.session.run("reg", "delete", self.DESKTOP, "/v", "LogPixels", "/f", timeout=60)
        else:
            result = self.session.run("reg", "add", self.DESKTOP, "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                                      str(dpi), "/f", timeout=60)
            self.assertEqual(0, result.returncode, "the display setting is stored")

    def test_layout_scales_with_the_display_setting(self):
        self.set_dpi(120)
        self.addCleanup(self.set_dpi, None)
        self.start()
        client = self.geometry["client"]
        self.assertEqual(tuple(scaled(length, 120) for length in CLIENT), (client["w"], client["h"]))
        self.control_at(scaled_place("Cmd_Set", 120))
        self.control_at(scaled_place("picDisplay", 120))  # the about panel keeps its size
        self.shot("120dpi")


class SelectTest(DialogTestCase):
    def test_marks_labels_and_any_button_select_exactly_one_source(self):
        self.start(ini_bytes(" 1", " 5"))
        self.click(in_panel(OPTION_LABEL[0]), dx=6)  # the label "無し"
        self.assertSourceShown(0, "label-none")
        self.click(in_panel(MARK[2]), button=3)  # right button on the file source's mark
        self.assertSourceShown(2, "right-click-file")
        self.click(in_panel(OPTION_LABEL[1]), button=2, dx=8)  # middle button on "音楽CD"
        track_box = self.assertSourceShown(1, "middle-click-cd")
        self.assertEqual("5", track_box["text"], "changing the source keeps the track text")


class FileTest(DialogTestCase):
    OPEN_TITLE = OPEN_TITLE

    def open_file_dialog(self):
        """Clicks the file button; returns the open-file dialog's child windows."""
        self.click(in_panel(CMD_BGM))
        return self.wait_open_file_dialog()

    def test_cancel_keeps_the_path_and_a_chosen_file_is_shown_and_saved(self):
        music = self.folder / "音楽"
        music.mkdir()
        (music / "雨音.mp3").write_bytes(b"ID3")
        (self.folder / "rain.wav").write_bytes(b"RIFF")
        first = self.windows_folder + "\\音楽\\雨音.mp3"
        self.start(ini_bytes(" 2", " 0", first), trace=True)
        before = self.path_pixels(self.shot("before"))

        children = self.open_file_dialog()
        file_types = [c for c in children if c["class"] == "ComboBox" and c.get("entries") == ["BGMﾌｧｲﾙ (MP3 WAV)"]]
        self.assertEqual(1, len(file_types), "the one filter pair")
        self.click_screen(next(c for c in children if c["class"] == "Button" and c["text"] == "キャンセル"))
        self.wait_top_window_gone(self.OPEN_TITLE)
        self.assertTrue(before == self.path_pixels_settle("after-cancel", same_as=before), "cancel keeps the path")

        chosen = self.windows_folder + "\\rain.wav"
        children = self.open_file_dialog()
        name_boxes = [c for c in children if c["class"] == "Edit" and c["visible"]]
        self.assertEqual(1, len(name_boxes), "one file name box")
        self.click_screen(name_boxes[0])
        self.session.xdotool("type", "--delay", "40", chosen)
        self.session.xdotool("key", "Return")
        self.wait_top_window_gone(self.OPEN_TITLE)
        self.assertTrue(before != self.path_pixels_settle("after-choice"), "the new path is shown")

        self.click(CMD_SET)
        self.assertEqual(0, self.wait_closed())
        self.assertEqual(self.expected_write(FILE, chosen), self.profile_writes()[2])
        self.assertEqual(ini_bytes("2", "0", chosen, monitors="each"), self.ini.read_bytes())


class SaveTest(DialogTestCase):
    def test_save_writes_the_three_keys_in_order_with_sign_column_values(self):
        music = self.folder / "音楽"
        music.mkdir()
        (music / "雨音.mp3").write_bytes(b"ID3")
        path = self.windows_folder + "\\音楽\\雨音.mp3"
        self.start(ini_bytes(" 2", " 0", path), trace=True)
        self.click(in_panel(MARK[1]))
        self.type_into_track_box("12")
        self.click(CMD_SET)
        self.assertEqual(0, self.wait_closed())
        # What the program passed (Windows stores these values as they are, blank included), the display mode
        # last (the file had none: the default) ...
        self.assertEqual(self.expected_writes(" 1", " 12", path, "each"), self.profile_writes())
        # ... and what Wine's profile writer made of it: Shift-JIS keys and path, the blank dropped.
        self.assertEqual(ini_bytes("1", "12", path, monitors="each"), self.ini.read_bytes())

    def test_file_source_without_a_file_saves_2_and_an_empty_path(self):
        self.start(trace=True)
        self.click(in_panel(MARK[2]))
        self.click(CMD_SET)
        self.assertEqual(0, self.wait_closed())
        self.assertEqual(self.expected_writes(" 2", " 0", "", "each"), self.profile_writes())
        self.assertEqual(ini_bytes("2", "0", "", monitors="each"), self.ini.read_bytes())

    def test_track_text_without_digits_saves_0(self):
        self.start(ini_bytes(" 1", " 5"), trace=True)
        self.type_into_track_box("abc")
        self.click(CMD_SET)
        self.assertEqual(0, self.wait_closed())
        self.assertEqual(self.expected_write(REPEAT, " 0"), self.profile_writes()[1])
        self.assertEqual(ini_bytes("1", "0", "", monitors="each"), self.ini.read_bytes())


class CloseWithoutSavingTest(DialogTestCase):
    # Unusual spacing and a comment: any rewrite of the file would change these bytes.
    ORIGINAL = ini_bytes(" 1", "  7", extra="; kept as it is\r\n", monitors=" Span ")

    def change_everything(self):
        self.click(in_panel(OPTION_LABEL[0]), dx=6)
        self.click(in_panel(MARK[1]))
        self.type_into_track_box("9")
        self.assertModeShown("span", "mode-before-change")
        self.click(in_panel(MODE_LABEL["primary"]), dx=6)
        self.assertModeShown("primary", "mode-changed")

    def test_cancel_writes_nothing(self):
        self.start(self.ORIGINAL, trace=True)
        self.change_everything()
        self.click(CMD_CAN)
        self.assertEqual(0, self.wait_closed())
        self.assertEqual([], self.profile_writes())
        self.assertEqual(self.ORIGINAL, self.ini.read_bytes())

    def test_close_box_writes_nothing(self):
        self.start(self.ORIGINAL, trace=True)
        self.change_everything()
        self.assertEqual(0, self.session.run(PROBE, "syscommand-close", TITLE, timeout=30).returncode)
        self.assertEqual(0, self.wait_closed())
        self.assertEqual([], self.profile_writes())
        self.assertEqual(self.ORIGINAL, self.ini.read_bytes())


class SaveFailureTest(DialogTestCase):
    def lock(self, locked):
        if locked:
            os.chmod(self.ini, 0o444)
        if os.geteuid() == 0:
            # The superuser writes through file modes; the immutable flag stops it as well.
            result = subprocess.run(["chattr", "+i" if locked else "-i", str(self.ini)], capture_output=True)
            if locked and result.returncode != 0:
                self.skipTest("cannot make the file read-only for the superuser here")
        if not locked:
            os.chmod(self.ini, 0o644)

    def test_read_only_ini_shows_the_message_and_keeps_the_dialog_open(self):
        original = ini_bytes(" 1", " 5")
        self.ini.write_bytes(original)
        self.lock(True)
        self.addCleanup(self.lock, False)
        self.start(trace=True)
        self.click(in_panel(OPTION_LABEL[0]), dx=6)
        self.click(CMD_SET)

        self.wait_top_window(APP_TITLE)  # a message box says the settings were not saved
        self.shot("message")
        texts = [c["text"] for c in self.controls(APP_TITLE)]
        self.assertIn(SAVE_FAILED, texts)
        self.assertIsNone(self.process.poll(), "the dialog stays open")
        self.assertEqual(original, self.ini.read_bytes())

        # Dismiss the message, make the file writable and confirm again: the choice was kept.
        self.click_screen(next(c for c in self.controls(APP_TITLE) if c["class"] == "Button"))
        self.wait_top_window_gone(APP_TITLE)
        self.assertIsNone(self.process.poll(), "the dialog is still open")
        self.lock(False)
        self.click(CMD_SET)
        self.shot("saved-after-unlock")
        self.assertEqual(0, self.wait_closed())
        self.assertEqual(ini_bytes("0", "5", "", monitors="each"), self.ini.read_bytes())


def mode_file(monitors):
    """A file with the CD source, track 5, another section and a display mode. [Section] is written as Wine's
    profile writer leaves it (no blank in front of a number), so that a save keeping its values keeps its
    bytes."""
    return ini_bytes("1", "5", "", extra="[Other]\r\nKey=value\r\n", monitors=monitors)


class DisplayModeTest(DialogTestCase):
    """The display modes in the music panel: shown from [Display] Monitors=, chosen with the mouse, saved by
    設定 after the music keys into [Display], every other byte of the file as it was."""

    def keep_dialog_picture(self, picture_path):
        """The dialog's client area, cut out of a screenshot, among the artefacts (the README's picture of it)."""
        client = self.geometry["client"]
        crop = f"{client['w']}x{client['h']}+{client['x']}+{client['y']}"
        subprocess.run(["convert", str(picture_path), "-crop", crop, "+repage", str(ARTIFACTS / "dialog-display-modes.png")],
                       check=True)

    def test_the_mode_is_shown_from_the_file_changed_with_the_mouse_and_saved_into_display(self):
        self.start(mode_file("span"), trace=True)
        self.assertModeShown("span", "from-file")
        self.assertSourceShown(1, "source-from-file")
        self.keep_dialog_picture(ARTIFACTS / f"{self.name}-from-file.png")
        header = [p for row in self.crop(self.shot("header"), in_panel(MODE_HEADER)) for p in row if min(p) > 200]
        self.assertGreater(len(header), 20, "the header's white letters")

        self.click(in_panel(MODE_MARK["primary"]))
        self.assertModeShown("primary", "mark-primary")
        self.click(in_panel(MODE_LABEL["each"]), button=3, dx=6)  # any button, on the label
        self.assertModeShown("each", "label-each")
        self.click(in_panel(MODE_LABEL["primary"]), dx=6)
        self.assertModeShown("primary", "label-primary")
        self.assertSourceShown(1, "source-unchanged")  # the two groups are independent

        self.click(CMD_SET)
        self.assertEqual(0, self.wait_closed())
        self.assertEqual(self.expected_writes(" 1", " 5", "", "primary"), self.profile_writes())
        self.assertEqual(mode_file("primary"), self.ini.read_bytes())

    def test_an_unknown_mode_shows_each_and_a_save_writes_each(self):
        self.start(mode_file("sideways"), trace=True)
        self.assertModeShown("each", "unknown")
        self.click(CMD_SET)
        self.assertEqual(0, self.wait_closed())
        self.assertEqual(self.expected_write("Monitors", "each", section="Display"), self.profile_writes()[3])
        self.assertEqual(mode_file("each"), self.ini.read_bytes())


class AboutPanelTest(DialogTestCase):
    def test_panel_animates_pale_yellow_text_on_black(self):
        self.start()
        frames = [self.crop(self.shot(f"panel-{n}"), PANEL) for n in range(3)]
        self.assertTrue(frames[0] != frames[1] or frames[1] != frames[2], "the streak moves")
        for frame in frames:
            pixels = [p for row in frame for p in row[:280]]  # left of the sparkle
            self.assertGreater(sum(1 for p in pixels if p == LIVE_TEXT), 100, "pale yellow letters")
            for r, g, b in pixels:
                # Black, the pale yellow, or the yellow lit toward white by the streak: never a lit background
                # of another hue.
                self.assertTrue((r, g, b) == (0, 0, 0) or (r == g and r >= 200 and b >= 100), (r, g, b))


    def test_click_opens_the_home_page_and_the_panel_goes_on(self):
        cache = (BUILD / "CMakeCache.txt").read_text()
        address = re.search(r"^ORLINDE_HOME_PAGE:STRING=(.*)$", cache, re.MULTILINE).group(1)
        self.start(trace="+exec")
        self.click(PANEL, dx=100)

        def calls():
            return re.findall(r"trace:exec:ShellExecuteA [0-9A-Fa-f]+,(.*)$",
                              self.stderr_path.read_text(encoding="utf-8", errors="replace"), re.MULTILINE)

        wait_until(calls, 10, "a ShellExecuteA call in the trace")
        # The frames go on after the call, so any second call would have come before them.
        frames = [self.crop(self.shot(f"after-click-{n}"), PANEL) for n in range(3)]
        self.assertTrue(frames[0] != frames[1] or frames[1] != frames[2], "the frames go on")
        calls = calls()
        self.assertEqual([f'"open","{address}","","",1'], [c.strip() for c in calls])
        self.assertIsNone(self.process.poll(), "the dialog stays open")


def left_band(face):
    """The left frame band of a 25-pixel-high face, which takes the image's side band without stretching."""
    return [row[:4] for row in face[4:21]]


def image_band(name):
    image = Picture(SOURCE / "assets" / f"button_{name}.bmp")
    return [[image.pixel(x, y) for x in range(4)] for y in range(4, 21)]


class ButtonTest(DialogTestCase):
    def assertFace(self, state, label):
        self.wait_shot(label, lambda picture: left_band(self.crop(picture, CMD_CAN)) == image_band(state),
                       f"ｷｬﾝｾﾙ shows its {state} face")

    def test_hover_press_drag_off_and_return_change_the_face(self):
        self.start()
        self.session.mouse_move(self.origin[0] + 200, self.origin[1] + 20)
        self.assertFace("normal", "button-normal")
        self.move_to(CMD_CAN)
        self.assertFace("highlight", "button-highlight")
        self.session.xdotool("mousedown", 1)
        self.assertFace("pressed", "button-pressed")
        # Dragged off with the button held: the timer sees the pointer outside, the focused face stays.
        self.session.mouse_move(self.origin[0] + 200, self.origin[1] + 20)
        self.assertFace("selected", "button-selected")
        self.session.xdotool("mouseup", 1)
        # Back over the button after the release: the face changes, so the release was handled, and it was
        # not a click.
        self.move_to(CMD_CAN)
        self.assertFace("highlightselect", "button-highlightselect")
        self.assertIsNone(self.process.poll(), "releasing off the button does not click it")
        # The file button is disabled with no music: the grey frame of the disabled face.
        disabled = self.crop(self.shot("button-disable"), in_panel(CMD_BGM))
        self.assertEqual((0xC9, 0xC7, 0xBA), disabled[10][1])


class KeyboardTest(DialogTestCase):
    """The dialog without the mouse: the keyboard given to its window, then only keys."""

    WHITE = (255, 255, 255)

    def give_keyboard(self):
        # The pointer rests on the window's black background, away from every button, so that a face shows
        # the focus alone and not the hover.
        self.session.mouse_move(self.origin[0] + 200, self.origin[1] + 14)
        self.session.xdotool("windowfocus", "--sync", self.xwindow["id"])

    def key(self, name):
        self.session.xdotool("key", name)

    def wait_face(self, label, rect, state, what):
        return self.wait_shot(label, lambda picture: self.face(picture, rect) == self.image(state), what)

    # The about panel reaches one pixel into 設定 (12 + 309 > 320): the faces are compared from their second
    # column on.
    def face(self, picture, rect):
        return [row[1:] for row in left_band(self.crop(picture, rect))]

    def image(self, state):
        return [row[1:] for row in image_band(state)]

    def cue_dots(self, picture, source, labels=OPTION_LABEL):
        """White pixels of the dotted focus frame's left side, two pixels left of the option's label."""
        x, y = in_panel(labels[source])[:2]
        return sum(1 for dy in range(-1, 15) if picture.pixel(self.origin[0] + x - 2, self.origin[1] + y + dy) == self.WHITE)

    def mode_cue_dots(self, picture, mode):
        return self.cue_dots(picture, mode, MODE_LABEL)

    def test_tab_reaches_save_showing_its_focused_face_and_enter_saves(self):
        self.start(ini_bytes(" 1", " 5"), trace=True)
        self.give_keyboard()
        picture = self.shot("no-focus")
        self.assertEqual(0, self.cue_dots(picture, 1), "no focus cue before the keyboard is used")
        self.assertEqual(self.image("normal"), self.face(picture, CMD_SET))

        self.key("Tab")  # the sources: the chosen option's label shows the focus cue
        picture = self.wait_shot("tab-1-sources", lambda p: self.cue_dots(p, 1) > 4, "the dotted frame around 音楽CD")
        self.assertEqual(0, self.cue_dots(picture, 0) + self.cue_dots(picture, 2))

        self.key("Tab")  # the display modes: the cue moves to the chosen mode's label
        picture = self.wait_shot("tab-2-modes", lambda p: self.mode_cue_dots(p, "each") > 4,
                                 "the dotted frame around the chosen mode")
        self.assertEqual(0, self.cue_dots(picture, 1), "the sources' cue is gone")

        self.key("Tab")  # the track box, its text selected: typing replaces the track
        self.session.xdotool("type", "--delay", "60", "12")
        wait_until(lambda: self.control_at(in_panel(TRACK_BOX))["text"] == "12", 10, "the track box shows 12")
        self.wait_shot("tab-3-track-box", lambda p: self.mode_cue_dots(p, "each") == 0, "the cue goes with the focus")

        self.key("Tab")  # the file button is disabled with the CD source: 設定 is next
        picture = self.wait_face("tab-4-save", CMD_SET, "selected", "設定 shows its focused face")
        self.assertEqual(self.image("normal"), self.face(picture, CMD_CAN))

        self.key("Return")
        self.assertEqual(0, self.wait_closed())
        self.assertEqual(self.expected_writes(" 1", " 12", "", "each"), self.profile_writes())
        self.assertEqual(ini_bytes("1", "12", "", monitors="each"), self.ini.read_bytes())

    def test_arrows_change_the_source_and_escape_writes_nothing(self):
        original = CloseWithoutSavingTest.ORIGINAL
        self.start(original, trace=True)
        self.give_keyboard()
        self.key("Tab")
        self.key("Down")  # rows from the top: 音楽CD, 無し, MP3、WAV
        self.assertSourceShown(0, "down-none")
        self.wait_shot("down-none-cue", lambda p: self.cue_dots(p, 0) > 4, "the cue follows the choice")
        self.key("Down")
        self.assertSourceShown(2, "down-file")
        self.key("Down")
        self.assertSourceShown(1, "down-wraps-to-cd")
        self.key("Up")
        self.assertSourceShown(2, "up-wraps-to-file")

        # Shift+Tab from the sources goes round to ｷｬﾝｾﾙ; Tab forward again past the sources and the display
        # modes reaches the file button, usable now, and Space on it opens the open-file dialog.
        self.key("shift+Tab")
        self.wait_face("shift-tab-cancel", CMD_CAN, "selected", "ｷｬﾝｾﾙ shows its focused face")
        self.key("Tab")
        self.key("Tab")
        self.key("Tab")
        # Past the sources and the display modes (their cues gone) and off ｷｬﾝｾﾙ: the file button has the
        # focus.
        self.wait_shot("tab-file-button",
                       lambda p: self.face(p, CMD_CAN) == self.image("normal") and self.cue_dots(p, 2) == 0
                       and self.mode_cue_dots(p, "each") == 0,
                       "the focus past ｷｬﾝｾﾙ, the sources and the display modes")
        self.key("space")
        self.wait_open_file_dialog()
        self.shot("space-opens-file-dialog")
        self.key("Escape")  # the open-file dialog's own Escape cancels it
        self.session.wait_window_gone(OPEN_TITLE)
        self.assertIsNone(self.process.poll(), "the settings dialog is still open")

        # Back in the dialog the file button has the focus again, so Tab goes on to 設定.
        self.give_keyboard()
        self.key("Tab")
        self.wait_face("focus-back-then-tab", CMD_SET, "selected", "設定 shows its focused face")
        self.key("Escape")
        self.assertEqual(0, self.wait_closed())
        self.assertFalse(self.session.window_exists(TITLE), "the dialog is gone")
        self.assertEqual([], self.profile_writes())
        self.assertEqual(original, self.ini.read_bytes())

    def test_the_display_modes_are_one_stop_whose_arrows_choose_and_enter_saves(self):
        original = mode_file("primary")
        self.start(original, trace=True)
        self.give_keyboard()
        self.key("Tab")
        self.key("Tab")  # right after the sources: the chosen mode's label shows the cue
        picture = self.wait_shot("modes-focused", lambda p: self.mode_cue_dots(p, "primary") > 4,
                                 "the dotted frame around the chosen mode")
        self.assertEqual(0, self.cue_dots(picture, 1), "the sources' cue is gone")
        self.key("Down")  # rows from the top: each, primary, span
        self.assertModeShown("span", "down-span")
        self.wait_shot("down-span-cue", lambda p: self.mode_cue_dots(p, "span") > 4, "the cue follows the choice")
        self.key("Right")
        self.assertModeShown("each", "right-wraps-to-each")
        self.key("Up")
        self.assertModeShown("span", "up-wraps-to-span")
        self.key("Left")
        self.assertModeShown("primary", "left-primary")
        self.key("Up")
        self.assertModeShown("each", "up-each")
        self.assertSourceShown(1, "source-unchanged")  # the arrows moved the modes only
        self.key("Return")
        self.assertEqual(0, self.wait_closed())
        self.assertEqual(self.expected_writes(" 1", " 5", "", "each"), self.profile_writes())
        self.assertEqual(mode_file("each"), self.ini.read_bytes())

    def test_a_mode_chosen_from_the_keyboard_is_discarded_by_escape(self):
        original = CloseWithoutSavingTest.ORIGINAL  # Monitors= Span
        self.start(original, trace=True)
        self.give_keyboard()
        self.key("Tab")
        self.key("Tab")
        self.key("Down")
        self.assertModeShown("each", "down-wraps-to-each")
        self.key("Escape")
        self.assertEqual(0, self.wait_closed())
        self.assertEqual([], self.profile_writes())
        self.assertEqual(original, self.ini.read_bytes())

    def test_escape_closes_the_open_track_list_before_the_dialog(self):
        self.start(ini_bytes(" 1", " 5"), trace=True)
        self.give_keyboard()
        self.key("Tab")  # the sources
        self.key("Tab")  # the display modes
        self.key("Tab")  # the track box
        self.key("alt+Down")  # opens the track list

        def lists():
            return [w for w in self.top_windows() if w["class"] == "ComboLBox"]

        wait_until(lambda: len(lists()) == 1, 10, "the track list open")
        self.shot("list-open")
        self.key("Escape")
        wait_until(lambda: not lists(), 10, "Escape closes the list")
        self.assertIsNone(self.process.poll(), "and left the dialog open")
        self.key("Escape")
        self.assertEqual(0, self.wait_closed())
        self.assertEqual([], self.profile_writes())


if __name__ == "__main__":
    unittest.main()
