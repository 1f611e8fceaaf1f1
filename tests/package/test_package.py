"""The Linux packages as a user gets them: tools/package_linux.sh builds them, the .deb and the tarball hold
exactly their files, the .deb passes lintian, a second build gives the same bytes, and the program unpacked
from the .deb takes the options its settings page produces and draws the rain on a virtual display."""
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

import numpy as np

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
    ("drwxr-xr-x", "./usr/share/"),
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
        # The dependencies come from the program's own libraries: X11, GL and the C and C++ runtimes.
        depends = run("dpkg-deb", "-f", str(deb), "Depends").stdout
        for library in ("libc6 (>= ", "libgl1", "libx11-6", "libstdc++6"):
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
        self.assertEqual(sorted(tag for tag, _ in args), ["boolean", "command", "file", "number", "number"])
        for _, arg in args:
            self.assertRegex(text, rf"(?m)^\s+{re.escape(arg.split()[0])}\b")

        # The command line the settings app makes with every setting moved off its default (each slider at
        # its end farthest from the default, a texture file, the frame rate shown), in its own window.
        command = [str(program), "--window"]
        for element in page.iter("number"):
            low, default, high = (int(element.get(a)) for a in ("low", "default", "high"))
            value = low if default - low > high - default else high
            command += element.get("arg").replace("%", str(value)).split()
        command += [page.find("file").get("arg").split()[0], str(SOURCE / "assets" / "caustics.bmp")]
        command += [page.find("boolean").get("arg-set")]
        with VirtualDisplay() as display:
            process = subprocess.Popen(command, env={**os.environ, "DISPLAY": display.name},
                                       stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
            try:
                window = display.wait_for_window("Orlinde", process)
                lit, colours = display.wait_for_drawing(window, ARTIFACTS / "unpacked-program.png")
                self.assertGreater(lit, 0.4, f"only {lit:.0%} of the window is drawn")
                self.assertGreater(colours, 1000)
                process.send_signal(signal.SIGTERM)
                _, errors = process.communicate(timeout=10)
                self.assertEqual(process.returncode, 0, errors)
            finally:
                if process.poll() is None:
                    process.kill()
                    process.wait()


class VirtualDisplay:
    """A private Xvfb screen (black, 1024 x 768), ended on exit."""

    def __enter__(self) -> "VirtualDisplay":
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24",
                                      "-nolisten", "tcp", "-noreset", "+extension", "GLX"],
                                     pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()  # Xvfb writes it once it listens, or closes the pipe
        if not number:
            self.xvfb.kill()
            raise RuntimeError("Xvfb did not report a display")
        self.name = ":" + number
        return self

    def __exit__(self, *exc) -> None:
        self.xvfb.terminate()
        self.xvfb.wait(timeout=10)

    def wait_for_window(self, title: str, process: subprocess.Popen, timeout: float = 30.0) -> tuple:
        """(x, y, width, height) of the mapped window titled `title`."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if process.poll() is not None:
                raise AssertionError(f"the program ended with {process.returncode}: {process.stderr.read()}")
            tree = run("xwininfo", "-display", self.name, "-root", "-tree", timeout=30).stdout
            found = re.search(rf'^\s+(0x[0-9a-f]+) "{re.escape(title)}": \(.*?\)\s+(\d+)x(\d+)\+-?\d+\+-?\d+'
                              rf'\s+\+(-?\d+)\+(-?\d+)', tree, re.M)
            if found:
                info = run("xwininfo", "-display", self.name, "-id", found.group(1), timeout=30).stdout
                if "IsViewable" in info:
                    width, height, x, y = (int(found.group(i)) for i in (2, 3, 4, 5))
                    return x, y, width, height
            time.sleep(0.2)
        raise AssertionError(f'no window "{title}" within {timeout} s')

    def wait_for_drawing(self, window: tuple, shot: Path, timeout: float = 30.0) -> tuple[float, int]:
        """Screenshots until the window is drawn on: the share of its pixels that are lit and how many
        colours they have, from the last screenshot (kept as `shot`)."""
        x, y, width, height = window
        deadline = time.monotonic() + timeout
        while True:
            run("import", "-display", self.name, "-window", "root", str(shot), timeout=30, check=True)
            data = run("convert", str(shot), "-depth", "8", "rgb:-", text=False, timeout=30, check=True).stdout
            pixels = np.frombuffer(data, np.uint8).reshape(768, 1024, 3)[y:y + height, x:x + width]
            lit = float(np.count_nonzero(pixels.max(axis=2) > 16)) / (width * height)
            colours = len(np.unique(pixels.reshape(-1, 3), axis=0))
            if lit > 0.4 or time.monotonic() > deadline:
                return lit, colours
            time.sleep(0.5)


if __name__ == "__main__":
    unittest.main()
