"""The registration of Python test cases with ctest (cmake/PythonTests.cmake): which cases a module holds,
and that a case or a module left out of the registration fails the configure step and the build, on small
projects of their own configured with the real helper."""
import os
import re
import shutil
import subprocess
import tempfile
import textwrap
import unittest
from pathlib import Path

from unittest_cases import cases

SOURCE = Path(os.environ["ORLINDE_SOURCE_DIR"])

MODULE = textwrap.dedent('''\
    import unittest

    class Base(unittest.TestCase):
        def setUp(self):
            pass

        def test_shared(self):
            pass

    class FirstTest(Base):
        def test_one(self):
            pass

        def helper_test(self):
            pass

    class SecondTest(FirstTest):
        def testTwo(self):
            pass

    class Checks:
        def test_in_a_mixin(self):
            pass

    class MixedTest(Checks, Base):
        def test_three(self):
            pass
    ''')

EXPECTED = ["Base.test_shared", "FirstTest.test_one", "FirstTest.test_shared", "MixedTest.test_in_a_mixin",
            "MixedTest.test_shared", "MixedTest.test_three", "SecondTest.testTwo", "SecondTest.test_one",
            "SecondTest.test_shared"]


class ListingTest(unittest.TestCase):
    def test_a_case_is_each_test_method_under_every_test_class_that_has_it(self):
        self.assertEqual(EXPECTED, cases(MODULE))

    def test_classes_of_another_module_count_as_test_bases_and_their_cases_stay_theirs(self):
        source = textwrap.dedent('''\
            import test_other
            from test_other import OtherBase

            class Here(OtherBase):
                def test_here(self):
                    pass

            class There(test_other.Base):
                pass

            class Plain:
                def test_never_run(self):
                    pass
            ''')
        self.assertEqual(["Here.test_here"], cases(source))


class RegistrationCheckTest(unittest.TestCase):
    """A project with one folder of Python tests, configured and built with Ninja."""

    def setUp(self):
        self.work = Path(tempfile.mkdtemp(prefix="orlinde-cases-"))
        self.addCleanup(shutil.rmtree, self.work, True)
        (self.work / "CMakeLists.txt").write_text(
            "cmake_minimum_required(VERSION 3.25)\nproject(Cases NONE)\nenable_testing()\n"
            f"include({SOURCE}/cmake/PythonTests.cmake)\nadd_subdirectory(tests)\n")
        self.tests = self.work / "tests"
        self.tests.mkdir()
        (self.tests / "test_sample.py").write_text(MODULE)
        self.build = self.work / "build"

    def register(self, cases_line: str, extra: str = "") -> None:
        (self.tests / "CMakeLists.txt").write_text(
            f"orlinde_add_python_cases(PREFIX sample MODULE test_sample KEEP_CLASS LABELS unit CASES {cases_line})\n"
            + extra)

    def configure(self) -> subprocess.CompletedProcess:
        return subprocess.run(["cmake", "-S", str(self.work), "-B", str(self.build), "-G", "Ninja"],
                              capture_output=True, text=True, timeout=120, check=False)

    def build_step(self) -> subprocess.CompletedProcess:
        return subprocess.run(["cmake", "--build", str(self.build)], capture_output=True, text=True, timeout=120,
                              check=False)

    def registered_tests(self) -> list[str]:
        out = subprocess.run(["ctest", "-N", "--test-dir", str(self.build)], capture_output=True, text=True,
                             timeout=60, check=True).stdout
        return sorted(re.findall(r"(?m)^\s*Test\s+#\d+: (\S+)", out))

    def test_every_case_registered_gives_one_test_a_case(self):
        self.register(" ".join(EXPECTED))
        result = self.configure()
        self.assertEqual(0, result.returncode, result.stderr)
        self.assertEqual(sorted(f"sample_{case.replace('.test_', '_').replace('.test', '_')}" for case in EXPECTED),
                         self.registered_tests())

    def test_a_case_left_out_fails_the_configure_step_and_names_it(self):
        self.register(" ".join(case for case in EXPECTED if case != "MixedTest.test_in_a_mixin"))
        result = self.configure()
        self.assertNotEqual(0, result.returncode)
        self.assertIn("not registered with ctest", result.stderr)
        self.assertIn("MixedTest.test_in_a_mixin", result.stderr)

    def test_a_registered_case_the_module_does_not_hold_fails_too(self):
        self.register(" ".join(EXPECTED) + " FirstTest.test_renamed")
        result = self.configure()
        self.assertNotEqual(0, result.returncode)
        self.assertIn("does not hold", result.stderr)
        self.assertIn("FirstTest.test_renamed", result.stderr)

    def test_a_module_nobody_registers_fails_the_configure_step(self):
        self.register(" ".join(EXPECTED))
        (self.tests / "test_forgotten.py").write_text("import unittest\n")
        result = self.configure()
        self.assertNotEqual(0, result.returncode)
        self.assertIn("test_forgotten.py", result.stderr)

    def test_a_case_added_later_fails_the_next_build(self):
        self.register(" ".join(EXPECTED))
        self.assertEqual(0, self.configure().returncode)
        self.assertEqual(0, self.build_step().returncode)
        with open(self.tests / "test_sample.py", "a") as module:
            module.write("\n\nclass LaterTest(Base):\n    def test_later(self):\n        pass\n")
        result = self.build_step()
        self.assertNotEqual(0, result.returncode, "the build re-runs the check and fails")
        self.assertIn("LaterTest.test_later", result.stdout + result.stderr)

    def test_a_module_added_later_fails_the_next_build(self):
        self.register(" ".join(EXPECTED))
        self.assertEqual(0, self.configure().returncode)
        self.assertEqual(0, self.build_step().returncode)
        (self.tests / "test_new.py").write_text("import unittest\n")
        result = self.build_step()
        self.assertNotEqual(0, result.returncode, "the build re-runs the check and fails")
        self.assertIn("test_new.py", result.stdout + result.stderr)


if __name__ == "__main__":
    unittest.main()
