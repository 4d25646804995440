#!/usr/bin/env python3
"""measure_resume.py BUILD_DIR WORK_DIR

bench/resume's measurements (the test servers of WORK_DIR/test-servers
must be running): a 64 MiB package behind nginx's /resume/ location (2 MB/s
a connection, in 64 KiB steps), fetched by a downloader that is killed
(SIGKILL, as a power cut) once the file on the disk holds 25, 50 or 90 % of
the package, then started again until the package is whole. The figure is
what nginx sent over all the starts (the body bytes of the GETs in its
log) as a share of the package.

  ours     the real launcher under Wine (its update check), killed with
           every program of its install folder, then started again until
           the package is recorded; its disk progress is what its side
           file holds;
  aria2c   `aria2c -c -x5 -s5` with its control file, killed and run again
           with the same command until it ends with 0: once with its
           control file saved every second (the most often it can) and no
           disk cache, so that what is on the disk is what it has, the peer
           to beat; once at its defaults (saved every 60 s, 16 MiB of disk
           cache), shown.

Prints the table, then "ratio: X": the peer's mean share over ours (above
1 when ours fetches less).
"""
import hashlib
import os
import random
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from e2e_harness import LINE_DOWNLOADED, BuildTree, CaseFailure, check  # noqa: E402
from e2e_cases_resume import ResumeScenario  # noqa: E402

SIZE = 64 * 1024 * 1024
PARTS = 5  # the update check's most
KILL_POINTS = (25, 50, 90)
MOST_STARTS = 5
TEST_ARCH = os.environ.get("TARSEL_TEST_ARCH", "i686")
TITLE = "64 MiB package, nginx limit_rate 2m a connection, killed and started again"
ARIA2C_PEER = "aria2c -c -x5, control file every second, no disk cache"
ARIA2C_DEFAULTS = "aria2c -c -x5 at its defaults"
OURS = "ours (Wine, %s)" % TEST_ARCH


class BenchTree(BuildTree):
    """The build's programs, with the test servers' state and the install
    folders under the benchmark's own work folder."""

    def __init__(self, build_dir, work):
        super().__init__(build_dir)
        self.dir = os.path.abspath(work)


def held(path):
    """Bytes the file holds on the disk (its blocks: parts leave holes)."""
    try:
        return os.stat(path).st_blocks * 512
    except OSError:
        return 0


def ours(build, package, percent):
    s = ResumeScenario(build, "resume-bench-ours-%d" % percent, package=package)
    mark, _ = s.start_and_cut_off(percent / 100.0, parts=PARTS)
    starts = 1
    while True:
        _, result = s.start()
        starts += 1
        if result.debug_has(LINE_DOWNLOADED):
            break
        check(starts < MOST_STARTS, "ours: no package after %d starts" % starts)
    data = s.folder.data()
    recorded = s.folder.local_path(data.get("exe", ""))
    check(recorded is not None and data.get("md5") == hashlib.md5(package).hexdigest().upper(),
          "ours: the package was not recorded (%s)" % data)
    with open(recorded, "rb") as f:
        check(f.read() == package, "ours: the recorded package's bytes differ")
    return sum(r.body_bytes for r in s.package_gets(mark)), starts


def aria2c(build, package, percent, name, options):
    s = ResumeScenario(build, "resume-bench-%s-%d" % (name, percent), package=package)
    out = os.path.join(s.folder.root, "aria2c")
    os.makedirs(out)
    target = os.path.join(out, "package.bin")
    command = ["aria2c", "-c", "-q", "-x5", "-s5", "--file-allocation=none", "-d", out, "-o", "package.bin"]
    command += options + [s.url]
    mark = s.log_mark()
    killed = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        while held(target) < percent / 100.0 * len(package):
            check(killed.poll() is None, "%s ended before it held %d %% of the package" % (name, percent))
            time.sleep(0.01)
        killed.send_signal(signal.SIGKILL)
    finally:
        killed.wait()
    check(os.path.exists(target + ".aria2"), "%s left no control file" % name)
    starts = 1
    while True:
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=300)
        starts += 1
        if done.returncode == 0:
            break
        check(starts < MOST_STARTS, "%s: no package after %d starts: %s" % (name, starts, done.stdout[-500:]))
    with open(target, "rb") as f:
        check(f.read() == package, "%s: the package's bytes differ" % name)
    return sum(r.body_bytes for r in s.package_gets(mark)), starts


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    build = BenchTree(argv[1], argv[2])
    with open(build.stub_installer, "rb") as f:
        package = f.read()
    package += random.Random(64).randbytes(SIZE - len(package))
    runs = [(OURS, lambda p: ours(build, package, p))]
    runs.append((ARIA2C_PEER, lambda p: aria2c(build, package, p, "aria2c-peer",
                                               ["--auto-save-interval=1", "--disk-cache=0"])))
    runs.append((ARIA2C_DEFAULTS, lambda p: aria2c(build, package, p, "aria2c-defaults", [])))
    shares = {}
    rows = []
    try:
        for label, run in runs:
            for percent in KILL_POINTS:
                fetched, starts = run(percent)
                share = 100.0 * fetched / len(package)
                shares.setdefault(label, []).append(share)
                rows.append(("%s, killed at %d %%" % (label, percent), "%.1f" % share, "%d" % starts))
            rows.append(("%s, mean of the three" % label, "%.1f" % (sum(shares[label]) / 3), "-"))
            rows.append(("%s, worst of the three" % label, "%.1f" % max(shares[label]), "-"))
    except CaseFailure as failure:
        print("bench/resume: %s" % failure, file=sys.stderr)
        return 1
    width = max(len(TITLE), max(len(row[0]) for row in rows))
    print("%-*s %10s %7s" % (width, TITLE, "fetched %", "starts"))
    for label, share, starts in rows:
        print("%-*s %10s %7s" % (width, label, share, starts))
    print()
    mean = lambda label: sum(shares[label]) / len(shares[label])
    print("ratio: %.3f" % (mean(ARIA2C_PEER) / mean(OURS)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
