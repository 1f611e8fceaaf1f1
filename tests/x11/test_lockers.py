"""The Linux package installed on this machine, under the two other screen lockers of Debian that run
screen-saver programs: xsecurelock runs the saver module saver_orlinde, and MATE's screen saver runs the
entry it lists. Installing needs root (CI runs as root): the package is built by tools/package_linux.sh,
installed with dpkg for each case and purged afterwards, whatever the outcome."""
import contextlib
import os
import shutil
import signal
import subprocess
import tempfile
import unittest
from pathlib import Path

from x11_display import Picture, X11Session, wait_until

SOURCE = Path(os.environ["ORLINDE_SOURCE_DIR"])
ARTIFACTS = Path(os.environ["ORLINDE_ARTIFACTS_DIR"]) / "x11"
INSTALLED = "/usr/libexec/xscreensaver/orlinde"
SCREEN = (640, 480)
LOWER_MIDDLE = (200, 340, 440, 470)  # where the near half of the surface lies on a 640 x 480 screen


def installed_pids() -> list[int]:
    """The processes running the installed program."""
    pids = []
    for entry in Path("/proc").iterdir():
        if entry.name.isdigit():
            with contextlib.suppress(OSError):
                if os.readlink(entry / "exe") == INSTALLED:
                    pids.append(int(entry.name))
    return pids


def command_line(pid: int) -> list[str]:
    return Path(f"/proc/{pid}/cmdline").read_text(errors="replace").rstrip("\0").split("\0")


def environment(pid: int) -> dict:
    text = Path(f"/proc/{pid}/environ").read_text(errors="replace")
    return dict(item.split("=", 1) for item in text.split("\0") if "=" in item)


def package_known() -> bool:
    """Whether dpkg holds a package orlinde in any state but purged."""
    result = subprocess.run(["dpkg-query", "-W", "-f=${Status}", "orlinde"], capture_output=True, text=True,
                            timeout=60, check=False)
    return result.returncode == 0 and result.stdout not in ("", "unknown ok not-installed")


class InstalledPackageTest(unittest.TestCase):
    """Each case runs with the freshly built package installed and a private display."""

    @classmethod
    def setUpClass(cls):
        if os.geteuid() != 0:
            raise unittest.SkipTest("installing the package needs root")
        cls.packages = Path(tempfile.mkdtemp(prefix="orlinde-lockers-"))
        cls.addClassCleanup(shutil.rmtree, cls.packages, True)
        built = subprocess.run([str(SOURCE / "tools" / "package_linux.sh"), str(cls.packages)], capture_output=True,
                               text=True, timeout=1200, check=False)
        if built.returncode != 0:
            raise AssertionError(f"package_linux.sh failed:\n{built.stdout}\n{built.stderr}")
        cls.deb = next(cls.packages.glob("orlinde_*_amd64.deb"))

    def setUp(self):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        self.assertFalse(package_known(), "a package orlinde is on this machine already; the test would replace "
                                          "it (dpkg --purge orlinde, then run it again)")
        self.addCleanup(self.purge)
        installing = subprocess.run(["dpkg", "-i", str(self.deb)], capture_output=True, text=True, timeout=300,
                                    check=False, env={**os.environ, "DEBIAN_FRONTEND": "noninteractive"})
        self.assertEqual(0, installing.returncode, installing.stdout + installing.stderr)
        self.assertTrue(Path(INSTALLED).is_file())
        self.session = self.enterContext(X11Session(ARTIFACTS, *SCREEN))

    def purge(self):
        for pid in installed_pids():  # only the installed program, should a case have failed half-way
            with contextlib.suppress(OSError):
                os.kill(pid, signal.SIGKILL)
        subprocess.run(["dpkg", "--purge", "orlinde"], capture_output=True, timeout=300, check=False)
        self.assertFalse(package_known(), "the package is purged")
        self.assertFalse(Path(INSTALLED).exists())

    def started_by_the_locker(self) -> int:
        """The one installed program the locker started, once it is running; its command line is the one the
        package gave the locker."""
        pids = wait_until(installed_pids, 30, "the locker starts the installed program", interval=0.2)
        self.assertEqual(1, len(pids), "one program for the one monitor")
        self.assertEqual([INSTALLED, "--root"], command_line(pids[0]))
        return pids[0]

    def assertRainShows(self, name: str) -> None:
        """Waits for the textured surface on the screen (the lower middle lit, blue-green and not flat), then
        for the rain to move it: a later screenshot, kept as `name`, differs from the first."""
        first_name = name.replace(".png", "-first.png")

        def drawn():
            picture = Picture(self.session.screenshot(first_name))
            pixels = list(picture.region(*LOWER_MIDDLE))
            lit = sum(1 for p in pixels if p != (0, 0, 0)) / len(pixels)
            return picture if lit > 0.9 else None
        first = wait_until(drawn, 30, f"the surface is on the screen ({first_name})", interval=0.5)
        lit = [p for p in first.region(*LOWER_MIDDLE) if p != (0, 0, 0)]
        self.assertGreater(sum(p[2] for p in lit), sum(p[0] for p in lit), "the blue-green picture")
        self.assertGreater(first.distinct_colours(*LOWER_MIDDLE), 100, "a textured surface, not a flat colour")

        def moved():
            later = Picture(self.session.screenshot(name))
            return later.differs(first) > 1000
        wait_until(moved, 30, f"the rain moves the surface ({name})", interval=0.5)


class XSecureLockTest(InstalledPackageTest):
    def test_xsecurelock_runs_the_saver_module_and_the_rain_shows_until_it_ends(self):
        # Locking asks for no password: xsecurelock starts its authentication only on a key or the pointer,
        # and nothing moves on this display. No compositing manager runs here, so it need not cover the
        # composite overlay.
        log = open(ARTIFACTS / "xsecurelock-stderr.txt", "wb")
        self.addCleanup(log.close)
        env = {**self.session.env, "XSECURELOCK_SAVER": "saver_orlinde", "XSECURELOCK_NO_COMPOSITE": "1"}
        locker = subprocess.Popen(["xsecurelock"], env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        self.session.processes.append(locker)

        pid = self.started_by_the_locker()
        window = environment(pid).get("XSCREENSAVER_WINDOW", "")
        self.assertTrue(window.isdigit(), f"xsecurelock names the monitor's window in decimal: {window!r}")
        self.assertRainShows("xsecurelock.png")
        self.assertIsNone(locker.poll(), "the screen is still locked")

        locker.send_signal(signal.SIGTERM)
        locker.wait(timeout=15)
        wait_until(lambda: not installed_pids(), 15, "nothing is left running once the lock ends", interval=0.2)


class MateScreenSaverTest(InstalledPackageTest):
    def setUp(self):
        super().setUp()
        self.home = Path(tempfile.mkdtemp(prefix="orlinde-mate-"))
        self.addCleanup(shutil.rmtree, self.home, True)
        # The settings in a key file of this home, which gsettings and the daemon share; no accessibility
        # bus, which would start more programs in the session.
        self.env = {**self.session.env, "HOME": str(self.home), "XDG_CONFIG_HOME": str(self.home / "config"),
                    "XDG_CACHE_HOME": str(self.home / "cache"), "GSETTINGS_BACKEND": "keyfile",
                    "XDG_CURRENT_DESKTOP": "MATE", "NO_AT_BRIDGE": "1"}
        self.env.pop("DBUS_SESSION_BUS_ADDRESS", None)

    def gsettings(self, *args) -> str:
        result = subprocess.run(["gsettings", *args], env=self.env, capture_output=True, text=True, timeout=30,
                                check=False)
        self.assertEqual(0, result.returncode, result.stderr)
        return result.stdout.strip()

    def command(self, *args) -> subprocess.CompletedProcess:
        return subprocess.run(["mate-screensaver-command", *args], env=self.env, capture_output=True, text=True,
                              timeout=30, check=False)

    def start_daemon(self) -> None:
        """mate-screensaver in a D-Bus session of its own; the session's address comes first on stdout."""
        log = open(ARTIFACTS / "mate-screensaver-stderr.txt", "wb")
        self.addCleanup(log.close)
        session = subprocess.Popen(
            ["dbus-run-session", "--", "sh", "-c", 'echo "$DBUS_SESSION_BUS_ADDRESS"; exec mate-screensaver --no-daemon'],
            env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=log, start_new_session=True)
        self.session.processes.append(session)
        # The session's bus and the daemon form one process group, ended together.
        self.addCleanup(self.end_group, session)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = session.stdout.readline().decode().strip()
        self.assertTrue(self.env["DBUS_SESSION_BUS_ADDRESS"], "the D-Bus session's address")
        wait_until(lambda: self.command("--query").returncode == 0, 30, "mate-screensaver answers", interval=0.5)

    @staticmethod
    def end_group(session: subprocess.Popen) -> None:
        with contextlib.suppress(ProcessLookupError):
            os.killpg(session.pid, signal.SIGTERM)
        with contextlib.suppress(subprocess.TimeoutExpired):
            session.wait(timeout=10)

    def test_mate_screen_saver_shows_the_rain_and_deactivating_ends_it(self):
        self.gsettings("set", "org.mate.screensaver", "mode", "single")
        self.gsettings("set", "org.mate.screensaver", "themes", "['screensavers-orlinde']")
        self.gsettings("set", "org.mate.screensaver", "lock-enabled", "false")
        self.assertEqual("['screensavers-orlinde']", self.gsettings("get", "org.mate.screensaver", "themes"))
        self.start_daemon()
        self.assertFalse(installed_pids(), "nothing runs before the screen saver is activated")

        self.assertEqual(0, self.command("--activate").returncode)
        pid = self.started_by_the_locker()
        self.assertTrue(environment(pid).get("XSCREENSAVER_WINDOW", "").startswith("0x"),
                        "it draws on the screen saver's window")
        self.assertRainShows("mate.png")

        self.assertEqual(0, self.command("--deactivate").returncode)
        wait_until(lambda: not installed_pids(), 15, "nothing is left running once it is deactivated",
                   interval=0.2)
        self.assertIn("inactive", self.command("--query").stdout)


if __name__ == "__main__":
    unittest.main()
