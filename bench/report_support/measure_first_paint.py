#!/usr/bin/env python3
"""measure_first_paint.py BUILD_DIR WORK_DIR [RUNS]

The update box's first paint for bench/report, beside its floor: from
CreateProcess until the question is on screen, measured by
first_paint_probe.exe inside Wine.

- ours: the launcher started with an installer recorded and verified (the
  stub installer, so the digest check reads a real file), until its update
  box is up with its shadow (which comes up after the paint that laid the
  box out); the probe then answers "下次再说" and the client starts;
- floor: message_box_floor.exe, which only shows the system's message box
  with the same question.

RUNS of each (default 15), taking turns, after one uncounted warm-up each,
while desktop_keeper.exe holds Wine's desktop process up, as Windows
always has one.
Target: the median no more than 100 ms above the floor's median, a
difference a user does not notice when a box appears.

Prints "key value" lines: first_paint_ms, first_paint_worst_ms,
floor_first_paint_ms and first_paint_target_ms.
"""
import hashlib
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from e2e_harness import CLIENT_VERSION, NEW_VERSION, encode_data_file, launcher_turn, wine_path  # noqa: E402
from desktop import desktop_kept_up  # noqa: E402

TARGET_ABOVE_FLOOR_MS = 100.0


class Bench:
    def __init__(self, build, work):
        self.build = os.path.abspath(build)
        self.work = os.path.abspath(os.path.join(work, "first-paint"))
        shutil.rmtree(self.work, ignore_errors=True)
        self.wine_run = os.path.join(ROOT, "scripts", "wine-run.sh")
        self.probe = os.path.join(self.build, "bench", "first_paint_probe.exe")
        self.floor = os.path.join(self.build, "bench", "message_box_floor.exe")
        self.install = os.path.join(self.work, "install")
        self.temp = os.path.join(self.work, "temp")
        self.launcher = os.path.join(self.install, "TarselMainLauncher.exe")
        client = os.path.join(self.install, CLIENT_VERSION, "bin", "32bit", "Tarsel32.exe")
        os.makedirs(os.path.join(self.install, "Common"))
        os.makedirs(os.path.dirname(client))
        os.makedirs(self.temp)
        shutil.copy(os.path.join(self.build, "src", "launcher", "TarselMainLauncher.exe"), self.launcher)
        shutil.copy(os.path.join(self.build, "tools", "stub_client.exe"), client)
        # Where the update check leaves a verified installer: the staging
        # folder beside the launcher, the only place it starts one from.
        os.makedirs(os.path.join(self.install, "Temp"))
        self.installer = os.path.join(self.install, "Temp", "~rq1A2B.tmp.exe")
        shutil.copy(os.path.join(self.build, "tools", "stub_installer.exe"), self.installer)
        with open(self.installer, "rb") as f:
            self.installer_md5 = hashlib.md5(f.read()).hexdigest().upper()
        self.stub_log = os.path.join(self.work, "started.log")

    def record_installer(self):
        # As a first launch leaves it; rewritten before every run. The
        # server is never asked: "下次再说" starts the client only.
        keys = {
            "server": "http://127.0.0.1:9/unused", "ver": CLIENT_VERSION, "action": "toupdate",
            "exe": wine_path(self.installer), "md5": self.installer_md5, "type": "Prompt",
            "newver": NEW_VERSION, "imgs": "", "desc": "全新的直播间", "url": "http://127.0.0.1:9/unused",
        }
        text = "[base]\n" + "".join("%s=%s\n" % kv for kv in keys.items())
        with open(os.path.join(self.install, "TarselMainLauncher.dat"), "wb") as f:
            f.write(encode_data_file(text))

    def first_paint_ms(self, mode, exe):
        env = dict(os.environ, WINEDEBUG="-all", TARSEL_STUB_LOG=wine_path(self.stub_log))
        done = subprocess.run([self.wine_run, self.probe, "--temp", wine_path(self.temp), mode, wine_path(exe)],
                              env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
        text = done.stdout.decode("latin-1")
        fields = dict(part.split("=") for part in text.split() if "=" in part)
        if done.returncode != 0 or fields.get("exit_code") != "0":
            raise SystemExit("%s run failed: %s %s" % (mode, text, done.stderr.decode("latin-1")[-1000:]))
        return float(fields["first_paint_ms"])

    def ours(self):
        self.record_installer()
        ms = self.first_paint_ms("box", self.launcher)
        time.sleep(0.3)  # the client it started ends on its own
        return ms


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    runs = int(argv[3]) if len(argv) > 3 else 15
    bench = Bench(argv[1], argv[2])
    ours, floor = [], []
    with desktop_kept_up(bench.wine_run, bench.build, bench.work), launcher_turn():
        bench.ours()
        bench.first_paint_ms("dialog", bench.floor)
        for _ in range(runs):
            ours.append(bench.ours())
            floor.append(bench.first_paint_ms("dialog", bench.floor))
    print("runs %d" % runs)
    print("first_paint_ms %.1f" % statistics.median(ours))
    print("first_paint_worst_ms %.1f" % max(ours))
    print("floor_first_paint_ms %.1f" % statistics.median(floor))
    print("floor_first_paint_worst_ms %.1f" % max(floor))
    print("first_paint_target_ms %.1f" % (statistics.median(floor) + TARGET_ABOVE_FLOOR_MS))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
