#!/usr/bin/env python3
"""compose_report.py RESULTS_DIR

Reads what bench/report collected in RESULTS_DIR (launch.txt from
measure_launch.py, download.txt, md5.txt, skin.txt, polite.txt and
resume.txt from the single benchmarks) and prints one table: each figure beside its floor or peer
from the same run, its target and whether it was met; then the launcher's
start-up timeline when measure_launch.py got one. A target is met
only on figures that were measured: a row is found by its exact label and
only its value columns are read, and a measurement that failed (NAME.exit
not 0), a missing row or a value that is not a number ("n/a") gives a row
that says why and counts as not met. The last line is "targets met: N of M".
"""
import os
import sys

# The build the benchmarks ran: i686, or x86_64 on hosts without 32-bit code.
TEST_ARCH = os.environ.get("TARSEL_TEST_ARCH", "i686")


def read(results, name):
    try:
        with open(os.path.join(results, name), encoding="utf-8", errors="replace") as f:
            return f.read()
    except OSError:
        return ""


class Figure:
    """One value read from a benchmark's output, or why there is none.
    A figure without a value can never meet a target."""

    def __init__(self, value=None, missing=None):
        self.value = value
        self.missing = missing

    def __bool__(self):
        return self.value is not None


def parse_value(token, where):
    try:
        value = float(token)
    except ValueError:
        return Figure(missing="%s reads %r, not a number" % (where, token))
    if value != value or value in (float("inf"), float("-inf")):
        return Figure(missing="%s reads %r, not a number" % (where, token))
    return Figure(value)


def key_value(text, source, key):
    """The value of a "key value" line whose key is exactly `key`."""
    for line in text.splitlines():
        parts = line.split()
        if len(parts) == 2 and parts[0] == key:
            return parse_value(parts[1], "%s: %s" % (source, key))
    return Figure(missing="%s has no %s" % (source, key))


def section(text, title):
    """The lines of the table that starts with a line beginning `title`,
    up to the next empty line; "" when there is none."""
    lines = text.splitlines()
    for i, line in enumerate(lines):
        if line.startswith(title):
            rest = []
            for following in lines[i + 1:]:
                if not following.strip():
                    break
                rest.append(following)
            return "\n".join(rest)
    return ""


def cell(text, source, label, columns, column):
    """Value column `column` (0-based) of the row labelled exactly `label`
    in a table whose rows end in `columns` value columns. The label is what
    precedes those columns, so digits inside a label are never read as a
    value, and a row whose label merely starts the same is another row."""
    found = []
    for line in text.splitlines():
        parts = line.rstrip().rsplit(None, columns)
        if len(parts) == columns + 1 and parts[0].strip() == label:
            found.append(parts[1:])
    where = "%s: %r" % (source, label)
    if not found:
        return Figure(missing="%s: no row" % where)
    if len(found) > 1:
        return Figure(missing="%s: %d rows" % (where, len(found)))
    return parse_value(found[0][column], where)


def missing_reason(*figures):
    reasons = []
    for f in figures:
        if not f and f.missing not in reasons:
            reasons.append(f.missing)
    return "; ".join(reasons)


class Table:
    def __init__(self):
        self.rows = []
        self.targets = 0
        self.met = 0

    def add(self, measure, ours, peer, target, met):
        """met: True/False counts toward the targets; None is shown only."""
        if met is not None:
            self.targets += 1
            self.met += 1 if met else 0
        verdict = "-" if met is None else ("yes" if met else "NO")
        self.rows.append((measure, ours, peer, target, verdict))

    def not_measured(self, measure, target, *figures):
        """A target whose figures are not all there: not met, and why."""
        self.targets += 1
        self.rows.append((measure, "not measured", "-", target, "NO: " + missing_reason(*figures)))

    def compare(self, measure, figures, target, describe):
        """Adds a target from `figures` when every one was measured;
        `describe(*values)` gives (ours, peer, target text, met)."""
        if all(figures):
            ours, peer, target_text, met = describe(*(f.value for f in figures))
            self.add(measure, ours, peer, target_text, met)
        else:
            self.not_measured(measure, target, *figures)

    def print(self):
        header = ("measure", "ours", "floor or peer", "target", "met")
        print_columns([header] + self.rows)


def print_columns(rows):
    widths = [max(len(str(r[i])) for r in rows) for i in range(len(rows[0]))]
    for r in rows:
        print("  ".join(str(cell).ljust(widths[i]) for i, cell in enumerate(r)).rstrip())


# What each mark of the start-up timeline stands for.
MILESTONE_LABELS = {
    "process_start": "CreateProcess called (the probe)",
    "runtime_start": "own code runs (static DLLs loaded)",
    "entry_point": "entry point (wWinMain)",
    "single_instance_test": "single-instance test done",
    "frame_create": "COM and engine set up, frame made",
    "frame_wm_create": "frame window created (WM_CREATE)",
    "skin_built": "skin built (InitWindow)",
    "do_launch": "DoLaunch entered",
    "client_started": "client started (its own stamp)",
    "frame_created": "frame's Create returned (after the update check)",
}


def timeline_table(text):
    """The launcher's start-up milestones (median ms after CreateProcess), in
    the order they came, each with the step from the one before."""
    marks = [("process_start", 0.0)]
    for line in text.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0] == "timeline":
            try:
                marks.append((parts[1], float(parts[2])))
            except ValueError:
                pass
    if len(marks) < 3:
        return []
    marks.sort(key=lambda mark: mark[1])
    rows = [("start-up timeline, median", "ms after start", "step ms")]
    previous = 0.0
    for name, at in marks:
        rows.append((MILESTONE_LABELS.get(name, name), "%.1f" % at, "%+.1f" % (at - previous)))
        previous = at
    return rows


def launch_rows(table, launch):
    runs = key_value(launch.text, launch.name, "runs")
    runs_text = "%d" % runs.value if runs else "?"
    ours, floor = launch.key("start_ms_ours_median"), launch.key("start_ms_floor_median")
    table.compare("launcher start to client start, median of %s" % runs_text, [ours, floor], "<= floor + 50 ms",
                  lambda o, f: ("%.1f ms" % o, "%.1f ms (ShellExecuteW only)" % f, "<= floor + 50 ms", o <= f + 50))
    worst, floor_worst = launch.key("start_ms_ours_worst"), launch.key("start_ms_floor_worst")
    if worst and floor_worst:
        table.add("launcher start to client start, worst of %s" % runs_text, "%.1f ms" % worst.value,
                  "%.1f ms" % floor_worst.value, "shown beside the median", None)
    # The process's own peak counter read once it has ended where the
    # platform keeps one (Windows); Wine keeps none and reads 0 there, so
    # measure_launch.py gives the largest value it sampled instead.
    peak, floor_peak = launch.key("peak_mib_ours"), launch.key("peak_mib_floor")
    table.compare("peak committed memory, 64 MiB download", [peak, floor_peak], "<= floor + 16 MiB",
                  lambda o, f: ("%.1f MiB" % o, "%.1f MiB" % f, "<= floor + 16 MiB", o <= f + 16))
    at_end, floor_at_end = launch.key("end_counter_mib_ours"), launch.key("end_counter_mib_floor")
    if at_end and floor_at_end:
        table.add("  its own peak counter after it ended", "%.1f MiB" % at_end.value, "%.1f MiB" % floor_at_end.value,
                  "shown (0: not kept, as under Wine)", None)


DOWNLOAD_COLUMNS = 5  # wall s, MB/s, cpu s, wineserver s, download-alone cpu s
WALL, RATE, CPU, SERVER, ALONE = range(DOWNLOAD_COLUMNS)


def download_rows(table, download):
    capped = download.section("64 MiB, nginx limit_rate 10m per request")
    plain = download.section("256 MiB, unthrottled loopback")

    def figure(rows, label, column):
        return download.cell(rows, label, DOWNLOAD_COLUMNS, column)

    ours = figure(capped, "ours, 5 parts (Wine)", RATE)
    fair = figure(capped, "aria2c -x5 -s5 -k, five equal parts", RATE)
    aria = figure(capped, "aria2c -x5 -s5", RATE)
    curl = figure(capped, "curl, one connection", RATE)
    # The peer to beat: aria2c split into five equal parts, as ours is.
    table.compare("download 64 MiB, 10 MB/s cap per request", [ours, fair], ">= 1.0 x aria2c, five equal parts",
                  lambda o, p: ("%.1f MB/s" % o, "aria2c -x5 -k, 5 equal parts %.1f MB/s" % p,
                                ">= 1.0 x aria2c (%.2f)" % (o / p), o >= p))
    # aria2c at its default piece size (three pieces of 64 MiB).
    table.compare("download 64 MiB, against aria2c's default split", [ours, aria], ">= 0.98 x aria2c",
                  lambda o, p: ("%.1f MB/s" % o, "aria2c -x5 %.1f MB/s" % p,
                                ">= 0.98 x aria2c (%.2f)" % (o / p), o >= 0.98 * p))
    # aria2c's CPU is its whole process; ours is the Wine process's plus
    # what the wine server spent serving it in the same runs (a native
    # program makes those system calls itself). The download alone is shown.
    ours_cpu, ours_server = figure(capped, "ours, 5 parts (Wine)", CPU), figure(capped, "ours, 5 parts (Wine)", SERVER)
    alone = figure(capped, "ours, 5 parts (Wine)", ALONE)
    aria_cpu = figure(capped, "aria2c -x5 -s5", CPU)
    table.compare("download 64 MiB, CPU time with the wine server", [ours_cpu, ours_server, aria_cpu], "<= aria2c",
                  lambda c, s, p: ("%.2f s (process %.2f s, download alone %s)" % (c + s, c, "%.2f s" % alone.value
                                                                                  if alone else "?"),
                                   "aria2c %.2f s" % p, "<= aria2c (%.2f)" % ((c + s) / p), c + s <= p))
    table.compare("download 64 MiB, against one connection", [ours, curl], ">= 4.5 x curl",
                  lambda o, p: ("%.1f MB/s" % o, "curl %.1f MB/s" % p, ">= 4.5 x curl (%.2f)" % (o / p), o >= 4.5 * p))
    ours_plain = figure(plain, "ours, 5 parts (Wine)", RATE)
    curl_plain = figure(plain, "curl, one connection", RATE)
    table.compare("download 256 MiB, unthrottled loopback", [ours_plain, curl_plain], ">= 0.5 x curl",
                  lambda o, p: ("%.1f MB/s" % o, "curl %.1f MB/s" % p, ">= 0.5 x curl (%.2f)" % (o / p), o >= 0.5 * p))
    # The record that lets an interrupted download continue, kept for every
    # package: its flushes to the disk must cost next to nothing.
    disk = download.section("256 MiB, unthrottled, written to the disk")
    without = figure(disk, "ours, 5 parts (Wine)", RATE)
    kept = figure(disk, "ours, 5 parts, record kept (Wine)", RATE)
    table.compare("download 256 MiB to the disk, record kept", [kept, without], ">= 0.95 x without the record",
                  lambda k, w: ("%.1f MB/s" % k, "without the record %.1f MB/s" % w,
                                ">= 0.95 x without (%.2f)" % (k / w), k >= 0.95 * w))


def md5_rows(table, md5):
    # Both whole processes, each started once per run.
    openssl = md5.cell(md5.text, "openssl dgst -md5 (native)", 2, 1)
    ours = md5.cell(md5.text, "GetFileMD5 (Wine, %s)" % TEST_ARCH, 2, 1)
    table.compare("MD5 of a 256 MiB file, whole process", [ours, openssl], ">= 0.9 x openssl",
                  lambda o, p: ("%.1f MB/s" % o, "openssl %.1f MB/s" % p, ">= 0.9 x openssl (%.2f)" % (o / p),
                                o >= 0.9 * p))


def skin_rows(table, skin):
    # Both from inside: ours times its own extraction; unzip's time is its
    # whole run less the same run on a one-entry archive (its start).
    unzip = skin.cell(skin.text, "unzip -p (native), extraction alone", 1, 0)
    ours = skin.cell(skin.text, "ZipFindItem + ZipUnzipItem (Wine, %s)" % TEST_ARCH, 1, 0)
    table.compare("skin archive extraction, 200 entries", [ours, unzip], ">= 1.3 x unzip",
                  lambda o, p: ("%.1f MB/s" % o, "unzip -p %.1f MB/s" % p, ">= 1.3 x unzip (%.2f)" % (o / p),
                                o >= 1.3 * p))
    table.compare("skin archive extraction, output rate", [ours], ">= 200 MB/s",
                  lambda o: ("%.1f MB/s" % o, "-", ">= 200 MB/s", o >= 200))
    pugi = skin.cell(skin.text, "pugixml in-place parse (native)", 1, 0)
    markup = skin.cell(skin.text, "CMarkup::LoadFromMem (Wine, %s)" % TEST_ARCH, 1, 0)
    table.compare("skin markup parse, 1 MiB", [markup, pugi], ">= 0.5 x pugixml",
                  lambda o, p: ("%.1f MB/s" % o, "pugixml %.1f MB/s" % p, ">= 0.5 x pugixml (%.2f)" % (o / p),
                                o >= 0.5 * p))


POLITE_COLUMNS = 4  # added p50, added p95 (ms), MB/s, wall s
P50, P95, POLITE_RATE = range(3)


def polite_rows(table, polite):
    rows = polite.section("downloader (64 MiB)")

    def figure(label, column):
        return polite.cell(rows, label, POLITE_COLUMNS, column)

    ours50, ours95 = figure("ours, polite (Background)", P50), figure("ours, polite (Background)", P95)
    usual95 = figure("ours, default", P95)
    aria95 = figure("aria2c -x5", P95)
    table.compare("background download, added delay p95", [ours95, ours50], "<= 25 ms",
                  lambda o, m: ("%.1f ms (p50 %.1f ms)" % (o, m), "-", "<= 25 ms", o <= 25))
    # aria2c fills the queue only where the line has a base delay: without
    # one its receive windows stay small (bench/polite says why), and the
    # target is then not to add more than it does.
    base_delay = polite.key("line_base_delay_ms")
    if base_delay and base_delay.value > 0:
        table.compare("background download against aria2c -x5, p95", [ours95, aria95], "aria2c > 100 ms, ours <= 25 ms",
                      lambda o, a: ("%.1f ms" % o, "aria2c -x5 %.1f ms" % a, "aria2c > 100 ms, ours <= 25 ms",
                                    a > 100 and o <= 25))
    else:
        table.compare("background download against aria2c -x5, p95", [ours95, aria95, base_delay],
                      "<= aria2c (no base delay)",
                      lambda o, a, _: ("%.1f ms" % o, "aria2c -x5 %.1f ms" % a, "<= aria2c (no base delay)", o <= a))
    table.compare("background download against ours as usual, p95", [ours95, usual95], "<= 0.25 x ours as usual",
                  lambda o, u: ("%.1f ms" % o, "ours as usual %.1f ms" % u,
                                "<= 0.25 x ours as usual (%.2f)" % (o / u if u > 0 else float("inf")),
                                o <= 0.25 * u))
    rate, line = figure("ours, polite (Background)", POLITE_RATE), polite.key("line_mb_per_s")
    table.compare("background download alone, share of the line", [rate, line], ">= 85 %",
                  lambda r, l: ("%.0f %% (%.2f MB/s)" % (100 * r / l, r), "line %.2f MB/s" % l, ">= 85 %",
                                r >= 0.85 * l))


RESUME_TITLE = "64 MiB package, nginx limit_rate 2m a connection, killed and started again"
RESUME_COLUMNS = 2  # fetched %, starts
FETCHED = 0


def resume_rows(table, resume):
    rows = resume.section(RESUME_TITLE)
    ours = "ours (Wine, %s)" % TEST_ARCH
    peer = "aria2c -c -x5, control file every second, no disk cache"
    worst = resume.cell(rows, ours + ", worst of the three", RESUME_COLUMNS, FETCHED)
    table.compare("continued download 64 MiB, fetched, worst of 3 kills", [worst], "<= 110 % of the package",
                  lambda o: ("%.1f %%" % o, "-", "<= 110 % of the package", o <= 110))
    # Both killed at the same points of what is on the disk.
    mean = resume.cell(rows, ours + ", mean of the three", RESUME_COLUMNS, FETCHED)
    peer_mean = resume.cell(rows, peer + ", mean of the three", RESUME_COLUMNS, FETCHED)
    table.compare("continued download 64 MiB, fetched, mean of 3 kills", [mean, peer_mean], "<= aria2c -c",
                  lambda o, p: ("%.1f %%" % o, "aria2c -c, saved every second %.1f %%" % p,
                                "<= aria2c -c (%.3f)" % (p / o), o <= p))


def first_paint_rows(table, paint):
    ours, floor = paint.key("first_paint_ms"), paint.key("floor_first_paint_ms")
    target = paint.key("first_paint_target_ms")
    table.compare("update box first paint, median", [ours, floor, target], "<= floor + 100 ms",
                  lambda o, f, t: ("%.1f ms" % o, "message box %.1f ms" % f, "<= floor + 100 ms (%.0f)" % t, o <= t))


class Output:
    """What one measurement left in the results folder: NAME.txt and, when
    bench/report ran it, its exit status in NAME.exit. Every figure of a
    measurement that failed is missing, whatever it printed."""

    def __init__(self, results, name):
        self.name = name
        self.text = read(results, name + ".txt")
        status = read(results, name + ".exit").strip()
        self.problem = None
        if status and status != "0":
            self.problem = "%s ended with status %s" % (name, status)
        elif not self.text.strip():
            self.problem = "%s printed nothing" % name

    def key(self, key):
        return Figure(missing=self.problem) if self.problem else key_value(self.text, self.name, key)

    def section(self, title):
        return section(self.text, title)

    def cell(self, text, label, columns, column):
        return Figure(missing=self.problem) if self.problem else cell(text, self.name, label, columns, column)


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    results = argv[1]
    table = Table()
    launch_rows(table, Output(results, "launch"))
    download_rows(table, Output(results, "download"))
    md5_rows(table, Output(results, "md5"))
    skin_rows(table, Output(results, "skin"))
    polite_rows(table, Output(results, "polite"))
    first_paint_rows(table, Output(results, "first_paint"))
    resume_rows(table, Output(results, "resume"))
    table.print()
    timeline = timeline_table(read(results, "launch.txt"))
    if timeline:
        print()
        print_columns(timeline)
    print("targets met: %d of %d" % (table.met, table.targets))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
