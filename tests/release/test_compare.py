"""The comparison step of tools/verify-release.sh on two prepared release folders: it passes identical
releases and fails, naming the file, when one byte moved, when a release holds a file its SHA256SUMS does
not list, or when a listed sum is wrong."""
import hashlib
import os
import subprocess
import tempfile
import unittest
from pathlib import Path

VERIFY = Path(os.environ["ORLINDE_SOURCE_DIR"]) / "tools" / "verify-release.sh"
FILES = {"Orlinde-1.0.0-setup.exe": b"MZ setup" * 300, "Orlinde-1.0.0-win64.zip": b"PK zip" * 300,
         "BUILDINFO.txt": b"commit: 0123\n"}


def write_release(folder: Path, files: dict, listed=None) -> None:
    folder.mkdir(parents=True)
    for name, data in files.items():
        (folder / name).write_bytes(data)
    names = sorted(files if listed is None else listed)
    (folder / "SHA256SUMS").write_text(
        "".join(f"{hashlib.sha256(files[n]).hexdigest()}  {n}\n" for n in names))


class CompareTest(unittest.TestCase):
    def setUp(self):
        self.root = Path(tempfile.mkdtemp())
        self.addCleanup(subprocess.run, ["rm", "-rf", str(self.root)], check=False)
        write_release(self.root / "a", FILES)

    def compare(self, files=FILES, listed=None):
        write_release(self.root / "b", files, listed)
        result = subprocess.run([str(VERIFY), "--compare", str(self.root / "a"), str(self.root / "b")],
                                capture_output=True, text=True, timeout=300)
        return result.returncode, result.stdout + result.stderr

    def test_identical_releases_pass(self):
        code, out = self.compare()
        self.assertEqual(0, code, out)
        self.assertIn("identical: 3 files", out)

    def test_one_moved_byte_fails_and_names_the_file(self):
        changed = dict(FILES)
        data = bytearray(changed["Orlinde-1.0.0-win64.zip"])
        data[1000] ^= 1
        changed["Orlinde-1.0.0-win64.zip"] = bytes(data)
        code, out = self.compare(changed)
        self.assertNotEqual(0, code, out)
        self.assertIn("differs: Orlinde-1.0.0-win64.zip", out)
        self.assertNotIn("differs: Orlinde-1.0.0-setup.exe", out)

    def test_a_file_left_out_of_the_sums_fails(self):
        code, out = self.compare(listed=["Orlinde-1.0.0-setup.exe", "Orlinde-1.0.0-win64.zip"])
        self.assertNotEqual(0, code, out)
        self.assertIn("does not list exactly the files", out)

    def test_a_file_that_does_not_match_its_sum_fails(self):
        # Both releases list the same sums, but one file in the second is not what its line says.
        write_release(self.root / "b", FILES)
        (self.root / "b" / "BUILDINFO.txt").write_bytes(b"commit: 4567\n")
        result = subprocess.run([str(VERIFY), "--compare", str(self.root / "a"), str(self.root / "b")],
                                capture_output=True, text=True, timeout=300)
        self.assertNotEqual(0, result.returncode, result.stdout)
        self.assertIn("does not match its line", result.stdout)

if __name__ == "__main__":
    unittest.main()
