"""The Linux packages as a user gets them: tools/package_linux.sh builds them, the .deb and the tarball hold
exactly their files, the .deb passes lintian, a second build gives the same bytes, and the program unpacked
from the .deb takes the options its settings page produces and draws the rain on a virtual display."""
import configparser
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path

from program_names import BUILT_IN_TEXTURE, LINUX_TITLE
from surface_outline import fitted_turn
from x11_display import Picture, X11Session

SOURCE = Path(os.environ["ORLINDE_SOURCE_DIR"])
ARTIFACTS = Path(os.environ["ORLINDE_ARTIFACTS_DIR"]) / "package"
VERSION = re.search(r"^project\(Orlinde VERSION ([0-9.]+)", (SOURCE / "CMakeLists.txt").read_text(),
                    re.M).group(1)
DEB = f"orlinde_{VERSION}_amd64.deb"
TARBALL = f"orlinde-{VERSION}-linux-x86_64.tar.gz"
TOP = f"orlinde-{VERSION}-linux-x86_64"
EPOCH = "1700000000"
EPOCH_TEXT = "2023-11-14 22:13"  # how dpkg-deb and tar list that time in UTC

DEB_FILES = [
    ("drwxr-xr-x", "./"),
    ("drwxr-xr-x", "./usr/"),
    ("drwxr-xr-x", "./usr/libexec/"),
    ("drwxr-xr-x", "./usr/libexec/xscreensaver/"),
    ("-rwxr-xr-x", "./usr/libexec/xscreensaver/orlinde"),
    ("drwxr-xr-x", "./usr/libexec/xsecurelock/"),
    ("-rwxr-xr-x", "./usr/libexec/xsecurelock/saver_orlinde"),
    ("drwxr-xr-x", "./usr/share/"),
    ("drwxr-xr-x", "./usr/share/applications/"),
    ("drwxr-xr-x", "./usr/share/applications/screensavers/"),
    ("-rw-r--r--", "./usr/share/applications/screensavers/orlinde.desktop"),
    ("drwxr-xr-x", "./usr/share/doc/"),
    ("drwxr-xr-x", "./usr/share/doc/orlinde/"),
    ("-rw-r--r--", "./usr/share/doc/orlinde/changelog.Debian.gz"),
    ("-rw-r--r--", "./usr/share/doc/orlinde/copyright"),
    ("drwxr-xr-x", "./usr/share/man/"),
    ("drwxr-xr-x", "./usr/share/man/man6/"),
    ("-rw-r--r--", "./usr/share/man/man6/orlinde.6.gz"),
    ("drwxr-xr-x", "./usr/share/xscreensaver/"),
    ("drwxr-xr-x", "./usr/share/xscreensaver/config/"),
    ("-rw-r--r--", "./usr/share/xscreensaver/config/orlinde.xml"),
]
TARBALL_FILES = [
    ("drwxr-xr-x", f"{TOP}/"),
    ("-rw-r--r--", f"{TOP}/INSTALL"),
    ("-rw-r--r--", f"{TOP}/LICENSE"),
    ("-rwxr-xr-x", f"{TOP}/orlinde"),
    ("-rw-r--r--", f"{TOP}/orlinde.6"),
    ("-rw-r--r--", f"{TOP}/orlinde.xml"),
]


def run(*args, **kwargs) -> subprocess.CompletedProcess:
    kwargs.setdefault("text", True)
    return subprocess.run(args, capture_output=True, timeout=kwargs.pop("timeout", 120), **kwargs)


def listing(output: str) -> list[tuple]:
    """(mode, owner, time, name) of each line of `dpkg-deb -c` or `tar tv`."""
    rows = []
    for line in output.splitlines():
        mode, owner, _size, day, minute, name = line.split(None, 5)
        rows.append((mode, owner, f"{day} {minute}", name))
    return rows


def package(out: Path) -> None:
    result = run(str(SOURCE / "tools" / "package_linux.sh"), str(out), timeout=1200,
                 env={**os.environ, "SOURCE_DATE_EPOCH": EPOCH})
    if result.returncode != 0:
        raise AssertionError(f"package_linux.sh failed:\n{result.stdout}\n{result.stderr}")


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        cls.temp = Path(tempfile.mkdtemp(prefix="orlinde-package-"))
        cls.first, cls.second = cls.temp / "first", cls.temp / "second"
        package(cls.first)
        package(cls.second)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.temp, ignore_errors=True)

    def test_packages_hold_exactly_their_files_pass_lintian_and_rebuild_to_the_same_bytes(self):
        deb, tarball = self.first / DEB, self.first / TARBALL
        self.assertEqual(sorted(p.name for p in self.first.iterdir()), sorted([DEB, TARBALL]))
        for name in (DEB, TARBALL):
            self.assertEqual((self.first / name).read_bytes(), (self.second / name).read_bytes(), name)

        rows = listing(run("dpkg-deb", "-c", str(deb), env={**os.environ, "TZ": "UTC"}).stdout)
        self.assertEqual([(mode, name) for mode, _, _, name in rows], DEB_FILES)
        self.assertEqual({(owner, when) for _, owner, when, _ in rows}, {("root/root", EPOCH_TEXT)})
        rows = listing(run("tar", "tvzf", str(tarball), "--numeric-owner", env={**os.environ, "TZ": "UTC"}).stdout)
        self.assertEqual([(mode, name) for mode, _, _, name in rows], TARBALL_FILES)
        self.assertEqual({(owner, when) for _, owner, when, _ in rows}, {("0/0", EPOCH_TEXT)})

        fields = dict(line.split(": ", 1) for line in
                      run("dpkg-deb", "-f", str(deb), "Package", "Version", "Architecture", "Section",
                          "Priority", "Recommends").stdout.splitlines())
        self.assertEqual(fields, {"Package": "orlinde", "Version": VERSION, "Architecture": "amd64",
                                  "Section": "x11", "Priority": "optional", "Recommends": "xscreensaver"})
        # The dependencies come from the program's own libraries: X11, GL, Wayland with EGL and xkbcommon, and
        # the C and C++ runtimes.
        depends = run("dpkg-deb", "-f", str(deb), "Depends").stdout
        for library in ("libc6 (>= ", "libgl1", "libx11-6", "libstdc++6", "libwayland-client0", "libwayland-egl1",
                        "libegl1", "libxkbcommon0"):
            self.assertIn(library, depends)
        md5sums = run("dpkg-deb", "-I", str(deb), "md5sums").stdout
        self.assertEqual(sorted(line.split()[1] for line in md5sums.splitlines()),
                         sorted(name[2:] for mode, name in DEB_FILES if mode.startswith("-")))

        # lintian reports no error (its warnings are kept with the artefacts), and the manual page reads
        # without a warning from man.
        lint = run("lintian", "--no-cfg", str(deb), timeout=300)
        (ARTIFACTS / "lintian.txt").write_text(lint.stdout + lint.stderr)
        self.assertEqual(lint.returncode, 0, lint.stdout + lint.stderr)  # 1: an error, 2: lintian failed
        self.assertNotRegex(lint.stdout, r"(?m)^E: ")
        page = SOURCE / "packaging" / "linux" / "orlinde.6"
        man = run("man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", str(page),
                  env={**os.environ, "MANWIDTH": "80", "LC_ALL": "C.UTF-8"})
        self.assertEqual((man.returncode, man.stderr), (0, ""))

    def test_program_from_the_package_takes_its_settings_page_options_and_draws(self):
        root = self.temp / "unpacked"
        run("dpkg-deb", "-x", str(self.first / DEB), str(root), check=True)
        program = root / "usr/libexec/xscreensaver/orlinde"
        page = ElementTree.parse(root / "usr/share/xscreensaver/config/orlinde.xml").getroot()
        self.assertEqual((page.tag, page.get("name"), page.get("gl")), ("screensaver", "orlinde", "yes"))
        self.assertEqual(page.find("command").get("arg"), "--root")

        # Each option the settings app can put on the command line is one the program knows.
        usage = run(str(program), "--help")
        text = usage.stdout + usage.stderr
        args = [(e.tag, e.get(a)) for e in page.iter() for a in ("arg", "arg-set", "arg-unset") if e.get(a)]
        self.assertEqual(sorted(tag for tag, _ in args),
                         ["boolean", "command", "file", "number", "number", "option", "option"])
        for _, arg in args:
            self.assertRegex(text, rf"(?m)^\s+{re.escape(arg.split()[0])}\b")

        # The monitors choice offers the three modes; the first, which adds nothing to the command line, is
        # the program's default, and the program takes each of the others' values.
        choice = page.find("select[@id='monitors']")
        self.assertIsNotNone(choice, "the settings page offers the monitors choice")
        options = choice.findall("option")
        self.assertEqual([(o.get("id"), o.get("arg-set")) for o in options],
                         [("each", None), ("primary", "--monitors primary"), ("span", "--monitors span")])
        self.assertTrue(all(o.get("_label") for o in options))
        self.assertIn("--monitors MODE", text)
        self.assertRegex(text, r"each \(the default\)")
        for option in options[1:]:
            taken = run(str(program), *option.get("arg-set").split(), "--help")
            self.assertEqual((taken.returncode, taken.stderr), (0, ""), option.get("arg-set"))

        # The command line the settings app makes with every setting moved off its default (each slider at
        # its end farthest from the default, a texture file, the frame rate shown), in its own window.
        command = [str(program), "--window"]
        for element in page.iter("number"):
            low, default, high = (int(element.get(a)) for a in ("low", "default", "high"))
            value = low if default - low > high - default else high
            command += element.get("arg").replace("%", str(value)).split()
        command += [page.find("file").get("arg").split()[0], str(SOURCE / BUILT_IN_TEXTURE)]
        command += [page.find("boolean").get("arg-set")]
        command += options[-1].get("arg-set").split()
        with X11Session(ARTIFACTS) as session:
            process = session.start(*command)
            window = session.wait_for_window(LINUX_TITLE)
            match, deadline = 0.0, time.monotonic() + 30
            while match <= 0.85 and time.monotonic() < deadline and process.poll() is None:
                time.sleep(0.5)  # the pace of the polling: a screenshot every half second until the square fits
                shot = Picture(session.screenshot("unpacked-program.png"))
                _, match = fitted_turn(shot, window)
            self.assertIsNone(process.poll(), "the program ended while it should draw")
            self.assertGreater(match, 0.85, "the outline of the square surface is seen in unpacked-program.png")
            self.assertGreater(shot.distinct_colours(window["x"], window["y"], window["x"] + 320,
                                                     window["y"] + 240), 100)
            process.send_signal(signal.SIGTERM)
            _, errors = process.communicate(timeout=10)
            self.assertEqual(process.returncode, 0, errors)

    def test_every_locker_finds_it_and_the_license_is_mit_as_expat(self):
        root = self.temp / "lockers"
        run("dpkg-deb", "-x", str(self.first / DEB), str(root), check=True)
        program = "/usr/libexec/xscreensaver/orlinde"

        # MATE's screen saver: an entry of the Screensaver category that runs the program on its window.
        entry_file = root / "usr/share/applications/screensavers/orlinde.desktop"
        validated = run("desktop-file-validate", str(entry_file))
        self.assertEqual(validated.returncode, 0, validated.stdout + validated.stderr)
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read_string(entry_file.read_text())
        fields = dict(entry["Desktop Entry"])
        self.assertEqual({k: fields.get(k) for k in ("Type", "Name", "Exec", "TryExec", "Categories")},
                         {"Type": "Application", "Name": "Orlinde", "Exec": f"{program} --root",
                          "TryExec": program, "Categories": "Screensaver;"})

        # xsecurelock's saver module: a shell script that hands over to the packaged program with --root.
        saver = root / "usr/libexec/xsecurelock/saver_orlinde"
        script = saver.read_text()
        self.assertTrue(script.startswith("#!/bin/sh\n"), script)
        self.assertEqual(run("sh", "-n", str(saver)).returncode, 0)
        self.assertRegex(script, rf"(?m)^exec {re.escape(program)} --root$")
        self.assertTrue((root / program.lstrip("/")).is_file(), "the program it runs is in the package")

        # The license: MIT at the top of the tree, named Expat with its whole text in the package's copyright,
        # and the very file in the tarball.
        license_text = (SOURCE / "LICENSE").read_text()
        lines = license_text.splitlines()
        self.assertEqual(lines[:3], ["MIT License", "", "Copyright (c) 2026 The Orlinde developers"])
        self.assertIn('THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND', license_text)
        paragraphs = [dict(re.findall(r"(?m)^(\S[^:]*): ?(.*(?:\n .*)*)", block))
                      for block in (root / "usr/share/doc/orlinde/copyright").read_text().split("\n\n")]
        files = next(p for p in paragraphs if p.get("Files") == "*")
        self.assertEqual((files["Copyright"], files["License"]), ("2026 The Orlinde developers", "Expat"))
        expat = next(p["License"] for p in paragraphs if "Files" not in p and p.get("License", "").startswith("Expat"))
        body = [line[1:] for line in expat.splitlines()[1:]]
        self.assertEqual(["" if line == "." else line for line in body], lines[4:],
                         "the copyright file carries the license's whole text")
        extracted = self.temp / "tarball"
        extracted.mkdir(exist_ok=True)
        run("tar", "xzf", str(self.first / TARBALL), "-C", str(extracted), check=True)
        self.assertEqual((extracted / TOP / "LICENSE").read_text(), license_text)

        # The manual page explains the three monitor modes and what becomes of them under a daemon that runs
        # one program per monitor.
        man = run("man", "--nh", "--nj", "-l", str(root / "usr/share/man/man6/orlinde.6.gz"),
                  env={**os.environ, "MANWIDTH": "200", "LC_ALL": "C.UTF-8"}).stdout
        section = man.split("\nMONITORS\n", 1)[-1].split("\nKEYS\n", 1)[0]
        self.assertNotEqual(section, man, "the manual page has a MONITORS section")
        flat = " ".join(section.split())
        for mode in ("each", "primary", "span"):
            self.assertRegex(section, rf"(?m)^\s+{mode}\b", mode)
        self.assertIn("primary leaves the other monitors black", flat)
        self.assertIn("span behaves as each", flat)
        self.assertIn("saver_orlinde", man)
        self.assertIn("/usr/share/applications/screensavers/orlinde.desktop", man)


if __name__ == "__main__":
    unittest.main()
