#!/usr/bin/env python3
"""measure_launch.py BUILD_DIR WORK_DIR [RUNS]

The launcher's own figures for bench/report, each beside the floor program
(shell_open_client.exe, which only asks the shell to open the client):

- start to client start: launch_probe.exe stamps QueryPerformanceCounter
  just before CreateProcess, the stub client stamps it first thing
  (TARSEL_STUB_TIMESTAMP=1); the difference, RUNS times each, launcher and
  floor runs taking turns so both see the same machine. desktop_keeper.exe
  holds Wine's desktop process up meanwhile, as Windows always has one;
- peak committed memory (PeakPagefileUsage): the launcher while its update
  check downloads a 64 MiB package from nginx on loopback, the floor while
  it opens the client. The probe reads each process's own peak counter
  once it has ended, which on Windows is the true peak; Wine keeps none
  (its peak is the current value, and an ended process reads 0), so there
  the figure is the largest the probe saw sampling while it ran. Both are
  printed: end_counter_mib_* is 0 under Wine.

- the start-up timeline: the launcher's own milestones in the same runs
  (TARSEL_STARTUP_TIMELINE names a file the launcher writes its
  QueryPerformanceCounter marks to when it ends), in ms after the probe's
  CreateProcess, median of the runs, ending with the client's own stamp.

Prints "key value" lines: start_ms_{ours,floor}_{median,worst} and
peak_mib_{ours,floor}; then "timeline NAME MS" lines in the order of the
flow.
"""
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from e2e_harness import (CLIENT_VERSION, NEW_VERSION, decode_data_file, encode_data_file,  # noqa: E402
                         launcher_turn, md5_upper, parse_ini, update_document, wine_path)
from desktop import desktop_kept_up  # noqa: E402

PACKAGE_MIB = 64

# The launcher's marks in the order of the flow (src/launcher/main.cpp and
# main_frame.cpp); the client's stamp comes last.
MILESTONES = ["runtime_start", "entry_point", "single_instance_test", "frame_create", "frame_wm_create",
              "skin_built", "do_launch", "frame_created"]


class Bench:
    def __init__(self, build, work):
        self.build = os.path.abspath(build)
        self.work = os.path.abspath(work)
        self.wine_run = os.path.join(ROOT, "scripts", "wine-run.sh")
        self.probe = os.path.join(self.build, "tests", "e2e", "launch_probe.exe")
        self.floor = os.path.join(self.build, "bench", "shell_open_client.exe")
        self.install = os.path.join(self.work, "install")
        self.temp = os.path.join(self.work, "temp")
        self.client = os.path.join(self.install, CLIENT_VERSION, "bin", "32bit", "Tarsel32.exe")
        self.launcher = os.path.join(self.install, "TarselMainLauncher.exe")
        self.data = os.path.join(self.install, "TarselMainLauncher.dat")
        os.makedirs(os.path.join(self.install, "Common"))
        os.makedirs(os.path.dirname(self.client))
        os.makedirs(self.temp)
        shutil.copy(os.path.join(self.build, "src", "launcher", "TarselMainLauncher.exe"), self.launcher)
        shutil.copy(os.path.join(self.build, "tools", "stub_client.exe"), self.client)
        self.runs = 0

    def serve(self, servers):
        with open(os.path.join(servers, "ports.txt")) as f:
            port = dict(line.strip().split("=") for line in f if "=" in line)["nginx"]
        docroot = os.path.join(servers, "docroot")
        base = "http://127.0.0.1:%s" % port
        # No rule applies: the check ends after fetching the document.
        os.makedirs(os.path.join(docroot, "quiet", "pc"))
        with open(os.path.join(docroot, "quiet", "pc", "Update.cfg"), "wb") as f:
            f.write(update_document([], {}))
        self.quiet_server = base + "/quiet"
        # A 64 MiB package for the client's version.
        package = os.urandom(PACKAGE_MIB * 1024 * 1024)
        md5 = md5_upper(package)
        os.makedirs(os.path.join(docroot, "big", "pc"))
        with open(os.path.join(docroot, "big", "package.exe"), "wb") as f:
            f.write(package)
        with open(os.path.join(docroot, "big", "pc", "Update.cfg"), "wb") as f:
            f.write(update_document([(md5, "Prompt", "1.1.*.*")], {md5: (base + "/big/package.exe", NEW_VERSION)}))
        self.big_server = base + "/big"
        self.big_md5 = md5

    def write_data(self, server):
        # Rewritten before every run: a recorded package would make the
        # next launch ask the user instead.
        with open(self.data, "wb") as f:
            f.write(encode_data_file("[base]\nserver=%s\nver=%s\n" % (server, CLIENT_VERSION)))
        for name in os.listdir(self.temp):
            os.remove(os.path.join(self.temp, name))

    def probe_run(self, program_args, memory=False):
        """Runs one program under the probe; returns (probe fields, client stamp or None)."""
        self.runs += 1
        log = os.path.join(self.work, "started-%d.log" % self.runs)
        self.timeline_file = os.path.join(self.work, "timeline-%d.txt" % self.runs)
        env = dict(os.environ, WINEDEBUG="-all", TARSEL_STUB_TIMESTAMP="1", TARSEL_STUB_LOG=wine_path(log),
                   TARSEL_STARTUP_TIMELINE=wine_path(self.timeline_file))
        options = ["--temp", wine_path(self.temp)] + (["--memory"] if memory else [])
        done = subprocess.run([self.wine_run, self.probe] + options + program_args,
                              env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=150)
        text = done.stdout.decode("latin-1")
        fields = dict(part.split("=") for part in text.split() if "=" in part)
        if done.returncode != 0 or fields.get("exit_code") != "0":
            raise SystemExit("run failed: %s %s" % (text, done.stderr.decode("latin-1")[-1000:]))
        stamp = None
        for _ in range(200):  # the client starts after its starter has gone
            if os.path.exists(log):
                with open(log, encoding="utf-8") as f:
                    lines = [line for line in f if line.endswith("\n")]
                if lines:
                    stamp = int(lines[0].rstrip("\n").split("|")[4])
                    break
            time.sleep(0.02)
        return fields, stamp

    def start_ms(self, program_args):
        fields, stamp = self.probe_run(program_args)
        if stamp is None:
            raise SystemExit("the client never started")
        return (stamp - int(fields["start_qpc"])) * 1000.0 / int(fields["qpc_frequency"]), fields

    def timeline_ms(self, fields):
        """The launcher's marks of the last run in ms after CreateProcess, or {}."""
        try:
            with open(self.timeline_file) as f:
                marks = dict(line.split() for line in f if len(line.split()) == 2)
        except OSError:
            return {}
        start, frequency = int(fields["start_qpc"]), int(marks.pop("frequency", fields["qpc_frequency"]))
        return {name: (int(counter) - start) * 1000.0 / frequency for name, counter in marks.items()}

    def launcher_recorded_package(self):
        with open(self.data, "rb") as f:
            return parse_ini(decode_data_file(f.read())).get("base", {}).get("md5") == self.big_md5


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    runs = int(argv[3]) if len(argv) > 3 else 20
    bench = Bench(argv[1], argv[2])
    bench.serve(os.path.join(bench.work, "servers"))

    # One turn for the whole measurement: no other launcher may run between
    # (or during) the timed runs.
    with launcher_turn():
        return measure(bench, runs)


def measure(bench, runs):
    floor_args = [wine_path(bench.floor), wine_path(bench.client)]
    ours, floor = [], []
    timeline = {name: [] for name in MILESTONES}
    with desktop_kept_up(bench.wine_run, bench.build, bench.work):
        bench.write_data(bench.quiet_server)
        bench.start_ms([wine_path(bench.launcher)])  # warm the caches once, uncounted
        for _ in range(runs):
            bench.write_data(bench.quiet_server)
            ms, fields = bench.start_ms([wine_path(bench.launcher)])
            ours.append(ms)
            for name, at in bench.timeline_ms(fields).items():
                timeline.setdefault(name, []).append(at)
            ms, _ = bench.start_ms(floor_args)
            floor.append(ms)

    peaks, floor_peaks, end_peaks, floor_end_peaks = [], [], [], []
    for _ in range(3):
        bench.write_data(bench.big_server)
        fields, _ = bench.probe_run([wine_path(bench.launcher)], memory=True)
        if not bench.launcher_recorded_package():
            raise SystemExit("the launcher did not download and record the 64 MiB package")
        peaks.append(int(fields["peak_pagefile"]))
        end_peaks.append(int(fields["end_peak_pagefile"]))
        fields, _ = bench.probe_run(floor_args, memory=True)
        floor_peaks.append(int(fields["peak_pagefile"]))
        floor_end_peaks.append(int(fields["end_peak_pagefile"]))

    mib = 1024.0 * 1024.0
    print("runs %d" % runs)
    print("start_ms_ours_median %.1f" % statistics.median(ours))
    print("start_ms_ours_worst %.1f" % max(ours))
    print("start_ms_floor_median %.1f" % statistics.median(floor))
    print("start_ms_floor_worst %.1f" % max(floor))
    # The process's own peak where the platform keeps one (every run read
    # one), else what sampling saw.
    if all(end_peaks + floor_end_peaks):
        peaks, floor_peaks = end_peaks, floor_end_peaks
    if not all(peaks + floor_peaks):
        raise SystemExit("no memory figure for a run: sampled %s, floor %s" % (peaks, floor_peaks))
    print("peak_mib_ours %.1f" % (max(peaks) / mib))
    print("peak_mib_floor %.1f" % (max(floor_peaks) / mib))
    print("end_counter_mib_ours %.1f" % (max(end_peaks) / mib))
    print("end_counter_mib_floor %.1f" % (max(floor_end_peaks) / mib))
    for name in MILESTONES + sorted(set(timeline) - set(MILESTONES)):
        if timeline[name]:
            print("timeline %s %.1f" % (name, statistics.median(timeline[name])))
    print("timeline client_started %.1f" % statistics.median(ours))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
