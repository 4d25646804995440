#!/usr/bin/env python3
"""The test run's skipped-tests summary: each kind of skip gives its own
reason, and a damaged JUnit file gives a clean refusal, never a crash."""
import contextlib
import io
import os
import random
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPTS = os.path.join(os.path.dirname(os.path.dirname(HERE)), "scripts")
SCRIPT = os.path.join(SCRIPTS, "skipped_tests.py")
sys.path.insert(0, SCRIPTS)
import skipped_tests  # noqa: E402


def testcase(name, status, out, skipped_message=None):
    skipped = '<skipped message="%s"/>' % skipped_message if skipped_message else ""
    return ('<testcase name="%s" classname="%s" time="0.1" status="%s">%s<system-out>%s</system-out></testcase>'
            % (name, name, status, skipped, out))


def junit(*cases):
    return '<?xml version="1.0" encoding="UTF-8"?><testsuite name="t" tests="%d">%s</testsuite>' % (
        len(cases), "".join(cases))


GTEST_SKIP_OUTPUT = """[ RUN      ] Links.Followed
C:\\t\\staging_folder_test.cpp(185): Skipped
this system makes no symbolic links (error 1)

[  SKIPPED ] Links.Followed (0 ms)
"""

CASES = [
    ("nothing skipped", junit(testcase("a", "run", "passed")), ["skipped tests: 0"]),
    ("a case's own reason", junit(testcase("e2e.disk_full", "notrun",
                                           "skipped: `mount -t tmpfs` was refused (exit 32): permission denied",
                                           "SKIP_RETURN_CODE=77"), testcase("b", "run", "x")),
     ["skipped tests: 1", "  e2e.disk_full: `mount -t tmpfs` was refused (exit 32): permission denied"]),
    ("a GoogleTest skip", junit(testcase("staging.Links", "notrun", GTEST_SKIP_OUTPUT, "SKIP_REGULAR_EXPRESSION")),
     ["skipped tests: 1", "  staging.Links: this system makes no symbolic links (error 1)"]),
    ("only CTest's reason", junit(testcase("c", "notrun", "", "Fixture required but failed")),
     ["skipped tests: 1", "  c: Fixture required but failed"]),
    ("a script's last words", junit(testcase("scripts.layout", "notrun", "this kernel refuses\n",
                                             "SKIP_RETURN_CODE=77")),
     ["skipped tests: 1", "  scripts.layout: this kernel refuses"]),
    ("disabled", junit(testcase("d", "disabled", "")), ["skipped tests: 1", "  d: no reason given"]),
]


def run(text):
    with tempfile.NamedTemporaryFile("w", suffix=".xml", delete=False) as f:
        f.write(text)
    try:
        done = subprocess.run([sys.executable, SCRIPT, f.name], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              text=True, timeout=30)
    finally:
        os.unlink(f.name)
    return done


class SkippedTestsSummary(unittest.TestCase):
    def test_each_skip_gives_its_reason(self):
        for what, text, expected in CASES:
            with self.subTest(what):
                done = run(text)
                self.assertEqual(done.returncode, 0, done.stderr)
                self.assertEqual(done.stdout.splitlines(), expected)

    def test_damaged_files_are_refused_cleanly(self):
        whole = junit(testcase("e2e.disk_full", "notrun", "skipped: `mount` was refused", "SKIP_RETURN_CODE=77"),
                      testcase("staging.Links", "notrun", GTEST_SKIP_OUTPUT), testcase("b", "run", "passed"))
        rng = random.Random(26)
        outcomes = {0: 0, 1: 0}
        for _ in range(300):
            damaged = list(whole)
            for _ in range(rng.randrange(1, 4)):
                damaged[rng.randrange(len(damaged))] = rng.choice('<>"&x \n')
            if rng.random() < 0.2:
                damaged = damaged[:rng.randrange(len(damaged))]
            with tempfile.TemporaryDirectory() as folder:
                path = os.path.join(folder, "junit.xml")
                with open(path, "w") as f:
                    f.write("".join(damaged))
                out = io.StringIO()
                with contextlib.redirect_stdout(out):
                    status = skipped_tests.main(["skipped_tests.py", path])
            self.assertIn(status, outcomes)
            self.assertTrue(out.getvalue().startswith("skipped tests: "), out.getvalue())
            outcomes[status] += 1
        # The damage reaches both a readable and an unreadable file.
        self.assertGreater(outcomes[0], 10)
        self.assertGreater(outcomes[1], 10)


if __name__ == "__main__":
    unittest.main()
