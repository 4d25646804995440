#!/usr/bin/env python3
"""The report's verdicts come only from measured values: each case starts
from a results folder in which every benchmark printed its table as it does
today, changes one thing, and checks the verdict of the rows concerned and
the final count."""
import contextlib
import io
import os
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "bench", "report_support"))
os.environ["TARSEL_TEST_ARCH"] = "i686"
import compose_report  # noqa: E402

LAUNCH = """runs 20
start_ms_ours_median 120.0
start_ms_ours_worst 150.0
start_ms_floor_median 100.0
start_ms_floor_worst 130.0
peak_mib_ours 20.0
peak_mib_floor 10.0
end_counter_mib_ours 8.0
end_counter_mib_floor 6.0
timeline entry_point 30.0
timeline client_started 120.0
"""

DOWNLOAD = """64 MiB, nginx limit_rate 10m per request         wall s      MB/s    cpu s wineserver  dl cpu s
ours, 5 parts (Wine)                            1.300      51.6    0.200      0.100     0.150
aria2c -x5 -s5 -k, five equal parts             1.310      51.2    0.400          -         -
aria2c -x5 -s5                                  1.320      50.8    0.400          -         -
aria2c -x5 -s5 -k1M (slips past the cap)        1.000      67.1    0.500          -         -
curl, one connection                            6.500      10.3    0.100          -         -

256 MiB, unthrottled loopback                   wall s      MB/s    cpu s wineserver  dl cpu s
ours, 5 parts (Wine)                            0.800     335.5    0.600      0.300     0.500
curl, one connection                            0.600     447.4    0.300          -         -

256 MiB, unthrottled, written to the disk       wall s      MB/s    cpu s wineserver  dl cpu s
ours, 5 parts (Wine)                            1.000     268.4    0.600      0.300     0.500
ours, 5 parts, record kept (Wine)               1.020     263.2    0.610      0.300     0.510

ratio: 1.008
"""

MD5 = """MD5 of a 256 MiB file, whole process (best of 3)    seconds       MB/s
openssl dgst -md5 (native)                           0.480      559.2
GetFileMD5 (Wine, i686)                              0.500      536.9
GetFileMD5, inside the process (Wine, i686)          0.460      583.5
ratio: 0.960
"""

SKIN = """skin loading (best run), 200 entries, 2.34 MB out                    MB/s
unzip -p (native), whole process                                   140.0
unzip -p (native), extraction alone                                150.0
ZipFindItem + ZipUnzipItem (Wine, i686)                            400.0
pugixml in-place parse (native)                                    500.0
CMarkup::LoadFromMem (Wine, i686)                                  300.0
markup parse, ours over pugixml                                     0.60
ratio: 2.667
"""

FIRST_PAINT = """runs 15
first_paint_ms 180.0
first_paint_worst_ms 220.0
floor_first_paint_ms 120.0
floor_first_paint_worst_ms 160.0
first_paint_target_ms 220.0
"""

POLITE = """line: 20 Mbit/s (2.50 MB/s), queue about 400 ms, no netem on this kernel: no added base delay, base round trip 0.2 ms
downloader (64 MiB)                 added p50  added p95       MB/s   wall s
ours, polite (Background)                 5.1       10.3       2.17     30.9
ours, default                            71.4      109.4       2.38     28.2
aria2c -x5                                9.2       17.1       2.38     28.2
curl                                      6.9       41.6       2.39     28.1

line_mb_per_s 2.50
line_base_delay_ms 0
polite mode: p95 added 10.3 ms (target <= 25), aria2c 17.1 ms (target: ours <= aria2c: no base delay, its windows stay small), 87 % of the line (target >= 85 %)
ratio: 1.66
"""

RESUME = """64 MiB package, nginx limit_rate 2m a connection, killed and started again   fetched %  starts
ours (Wine, i686), killed at 25 %                                                100.4       2
ours (Wine, i686), killed at 50 %                                                100.3       2
ours (Wine, i686), killed at 90 %                                                102.6       2
ours (Wine, i686), mean of the three                                             101.1       -
ours (Wine, i686), worst of the three                                            102.6       -
aria2c -c -x5, control file every second, no disk cache, killed at 25 %          105.9       2
aria2c -c -x5, control file every second, no disk cache, killed at 50 %          105.1       2
aria2c -c -x5, control file every second, no disk cache, killed at 90 %          101.8       2
aria2c -c -x5, control file every second, no disk cache, mean of the three       104.3       -
aria2c -c -x5, control file every second, no disk cache, worst of the three      105.9       -
aria2c -c -x5 at its defaults, killed at 25 %                                    125.0       2
aria2c -c -x5 at its defaults, killed at 50 %                                    150.0       2
aria2c -c -x5 at its defaults, killed at 90 %                                    190.6       2
aria2c -c -x5 at its defaults, mean of the three                                 155.2       -
aria2c -c -x5 at its defaults, worst of the three                                190.6       -

ratio: 1.032
"""

GOOD = {"launch.txt": LAUNCH, "download.txt": DOWNLOAD, "md5.txt": MD5, "skin.txt": SKIN,
        "first_paint.txt": FIRST_PAINT, "polite.txt": POLITE, "resume.txt": RESUME}
for name in ("launch", "download", "md5", "skin", "first_paint", "polite", "resume"):
    GOOD[name + ".exit"] = "0\n"

# Rows that count toward the targets; the figures above meet every one.
TARGETS = 19


def replace(name, old, new):
    def change(files):
        assert old in files[name], (name, old)
        files[name] = files[name].replace(old, new)
    return change


def set_row(name, start, line):
    """Replaces the first line that starts with `start`."""
    def change(files):
        lines = files[name].splitlines(True)
        at = [i for i, old in enumerate(lines) if old.startswith(start)]
        assert at, (name, start)
        lines[at[0]] = line + "\n"
        files[name] = "".join(lines)
    return change


def drop_line(name, start):
    def change(files):
        lines = files[name].splitlines(True)
        kept = [line for line in lines if not line.startswith(start)]
        assert len(kept) == len(lines) - 1, (name, start)
        files[name] = "".join(kept)
    return change


def set_file(name, text):
    def change(files):
        files[name] = text
    return change


def both(*changes):
    def change(files):
        for one in changes:
            one(files)
    return change


def remove_file(name):
    def change(files):
        del files[name]
    return change


MARKUP = "skin markup parse, 1 MiB"
RESUME_WORST = "continued download 64 MiB, fetched, worst of 3 kills"
RESUME_PEER = "continued download 64 MiB, fetched, mean of 3 kills"
EXTRACTION = "skin archive extraction, 200 entries"
OUTPUT_RATE = "skin archive extraction, output rate"
MD5_ROW = "MD5 of a 256 MiB file, whole process"
CPU_ROW = "download 64 MiB, CPU time with the wine server"
FAIR = "download 64 MiB, 10 MB/s cap per request"
PLAIN = "download 256 MiB, unthrottled loopback"
RECORD = "download 256 MiB to the disk, record kept"
START = "launcher start to client start, median of 20"
MEMORY = "peak committed memory, 64 MiB download"
PAINT = "update box first paint, median"
POLITE_DELAY = "background download, added delay p95"
POLITE_ARIA = "background download against aria2c -x5, p95"
POLITE_USUAL = "background download against ours as usual, p95"
POLITE_SHARE = "background download alone, share of the line"


def polite_row(label, p50, p95, rate, wall, extra=""):
    return ("%-34s %10s %10s %10s %8s %s" % (label, p50, p95, rate, wall, extra)).rstrip()

# (what, change, {row: expected verdict start}, targets met)
CASES = [
    ("every row present and met", None, {MARKUP: "yes", EXTRACTION: "yes", MD5_ROW: "yes", CPU_ROW: "yes",
                                         POLITE_DELAY: "yes", POLITE_ARIA: "yes", POLITE_USUAL: "yes",
                                         POLITE_SHARE: "yes", RESUME_WORST: "yes", RESUME_PEER: "yes",
                                         RECORD: "yes"}, 19),
    # The markup parser's row without a figure: the "686" of "(Wine, i686)"
    # must not be read as its MB/s.
    ("markup row n/a", set_row("skin.txt", "CMarkup::LoadFromMem",
                               "%-58s %10s" % ("CMarkup::LoadFromMem (Wine, i686)", "n/a")),
     {MARKUP: "NO: skin: 'CMarkup::LoadFromMem (Wine, i686)' reads 'n/a'", EXTRACTION: "yes"}, 18),
    ("extraction row missing", drop_line("skin.txt", "ZipFindItem"),
     {EXTRACTION: "NO: skin: 'ZipFindItem + ZipUnzipItem (Wine, i686)': no row", OUTPUT_RATE: "NO:", MARKUP: "yes"},
     17),
    ("a row for another build is not ours",
     replace("skin.txt", "ZipFindItem + ZipUnzipItem (Wine, i686)", "ZipFindItem + ZipUnzipItem (Wine, x86_64)"),
     {EXTRACTION: "NO: skin: 'ZipFindItem + ZipUnzipItem (Wine, i686)': no row"}, 17),
    # Numbers in extra text after a label make it another row, not a value.
    ("label with extra text and numbers",
     set_row("md5.txt", "GetFileMD5 (Wine", "GetFileMD5 (Wine, i686) 3 of 3 runs failed"),
     {MD5_ROW: "NO: md5: 'GetFileMD5 (Wine, i686)': no row"}, 18),
    ("value column empty, label has digits",
     set_row("md5.txt", "GetFileMD5 (Wine", "%-34s %10.3f" % ("GetFileMD5 (Wine, i686)", 0.5)),
     {MD5_ROW: "NO: md5: 'GetFileMD5 (Wine, i686)': no row"}, 18),
    ("value not a number", replace("md5.txt", "559.2", "fast"),
     {MD5_ROW: "NO: md5: 'openssl dgst -md5 (native)' reads 'fast'"}, 18),
    ("value nan", replace("md5.txt", "559.2", "nan"), {MD5_ROW: "NO:"}, 18),
    ("row printed twice", set_row("skin.txt", "pugixml", "%-58s %10.1f\n%-58s %10.1f" % (
        "pugixml in-place parse (native)", 500, "pugixml in-place parse (native)", 480)),
     {MARKUP: "NO: skin: 'pugixml in-place parse (native)': 2 rows"}, 18),
    ("a prefix of a label is another row", replace("skin.txt", "unzip -p (native), extraction alone", "unzip -p"),
     {EXTRACTION: "NO: skin: 'unzip -p (native), extraction alone': no row"}, 18),
    # The ours row of the throttled table is found in its own section only.
    ("download section missing", replace("download.txt", "64 MiB, nginx limit_rate 10m per request", "64 MiB"),
     {FAIR: "NO:", CPU_ROW: "NO:", PLAIN: "yes"}, 15),
    ("wine server time counts in our CPU", set_row("download.txt", "ours, 5 parts (Wine)", "%-44s %8.3f %9.1f %8.3f %10.3f %9.3f" % (
        "ours, 5 parts (Wine)", 1.3, 51.6, 0.2, 0.3, 0.15)),
     {CPU_ROW: "NO"}, 18),
    ("benchmark failed after printing", set_file("skin.exit", "1\n"),
     {EXTRACTION: "NO: skin ended with status 1", MARKUP: "NO: skin ended with status 1", MD5_ROW: "yes"}, 16),
    ("benchmark printed nothing", set_file("md5.txt", ""), {MD5_ROW: "NO: md5 printed nothing"}, 18),
    ("result file missing", remove_file("first_paint.txt"), {PAINT: "NO: first_paint printed nothing"}, 18),
    ("launch key missing", drop_line("launch.txt", "peak_mib_floor"),
     {MEMORY: "NO: launch has no peak_mib_floor", START: "yes"}, 18),
    ("launch key unparsable", replace("launch.txt", "start_ms_floor_median 100.0", "start_ms_floor_median -"),
     {START: "NO: launch: start_ms_floor_median reads '-'"}, 18),
    ("target missed on measured figures", replace("first_paint.txt", "first_paint_ms 180.0", "first_paint_ms 260.0"),
     {PAINT: "NO"}, 18),
    # The background download: the peer target follows the line that was
    # built. With a base delay aria2c must fill the queue (over 100 ms);
    # the same 17.1 ms that meets "no more than aria2c" misses it there.
    ("polite line with a base delay, aria2c not bloating",
     replace("polite.txt", "line_base_delay_ms 0", "line_base_delay_ms 20"), {POLITE_ARIA: "NO", POLITE_DELAY: "yes"},
     18),
    ("polite line with a base delay, aria2c bloating",
     both(replace("polite.txt", "line_base_delay_ms 0", "line_base_delay_ms 20"),
          set_row("polite.txt", "aria2c -x5", polite_row("aria2c -x5", "90.0", "140.2", "2.38", "28.2"))),
     {POLITE_ARIA: "yes"}, 19),
    ("polite adds more than aria2c without a base delay",
     set_row("polite.txt", "ours, polite", polite_row("ours, polite (Background)", "9.0", "18.0", "2.17", "30.9")),
     {POLITE_ARIA: "NO", POLITE_DELAY: "yes", POLITE_USUAL: "yes"}, 18),
    ("polite over 25 ms", set_row("polite.txt", "ours, polite",
                                  polite_row("ours, polite (Background)", "9.0", "26.0", "2.17", "30.9")),
     {POLITE_DELAY: "NO", POLITE_ARIA: "NO", POLITE_USUAL: "yes"}, 17),
    ("polite too slow alone", set_row("polite.txt", "ours, polite",
                                      polite_row("ours, polite (Background)", "5.1", "10.3", "2.10", "32.0")),
     {POLITE_SHARE: "NO", POLITE_DELAY: "yes"}, 18),
    # A wrong package leaves the rate unmeasured and a note after the row.
    ("polite package wrong", set_row("polite.txt", "ours, polite",
                                     polite_row("ours, polite (Background)", "5.1", "10.3", "nan", "30.9",
                                                "(package wrong)")),
     {POLITE_SHARE: "NO: polite: 'ours, polite (Background)': no row", POLITE_DELAY: "NO:"}, 15),
    ("ours as usual not measured", drop_line("polite.txt", "ours, default"),
     {POLITE_USUAL: "NO: polite: 'ours, default': no row", POLITE_DELAY: "yes"}, 18),
    ("line key missing", drop_line("polite.txt", "line_base_delay_ms"),
     {POLITE_ARIA: "NO: polite has no line_base_delay_ms", POLITE_SHARE: "yes"}, 18),
    ("polite skipped without namespaces",
     set_file("polite.txt", "bench/polite skipped: network namespaces or a veth pair cannot be made here\nratio: n/a\n"),
     {POLITE_DELAY: "NO: polite: 'ours, polite (Background)': no row", POLITE_SHARE: "NO:"}, 15),
    ("polite failed", set_file("polite.exit", "1\n"), {POLITE_USUAL: "NO: polite ended with status 1"}, 15),
    ("resume over its target", replace("resume.txt", "worst of the three                                            102.6",
                                       "worst of the three                                            112.6"),
     {RESUME_WORST: "NO", RESUME_PEER: "yes"}, 18),
    ("resume behind aria2c", replace("resume.txt", "mean of the three                                             101.1",
                                     "mean of the three                                             104.8"),
     {RESUME_PEER: "NO", RESUME_WORST: "yes"}, 18),
    ("resume without the peer's row", drop_line("resume.txt", "aria2c -c -x5, control file every second, no disk cache, mean"),
     {RESUME_PEER: "NO: resume: 'aria2c -c -x5, control file every second, no disk cache, mean of the three': no row",
      RESUME_WORST: "yes"}, 18),
    ("resume failed", set_file("resume.exit", "1\n"),
     {RESUME_WORST: "NO: resume ended with status 1", RESUME_PEER: "NO: resume ended with status 1"}, 17),
    # The record's flushes costing more than a twentieth of the rate.
    ("record for continuing too costly",
     set_row("download.txt", "ours, 5 parts, record kept", "%-44s %8.3f %9.1f %8.3f %10.3f %9.3f" % (
         "ours, 5 parts, record kept (Wine)", 1.2, 223.7, 0.7, 0.3, 0.6)),
     {RECORD: "NO", PLAIN: "yes"}, 18),
]


def compose(files):
    with tempfile.TemporaryDirectory() as results:
        for name, text in files.items():
            with open(os.path.join(results, name), "w", encoding="utf-8") as f:
                f.write(text)
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            status = compose_report.main(["compose_report.py", results])
    return status, out.getvalue()


def verdicts(report):
    """measure -> its "met" cell, from the printed table."""
    lines = report.splitlines()
    header = lines[0]
    met_at = header.index("met")
    ours_at = header.index("ours")
    found = {}
    for line in lines[1:]:
        if not line.strip():
            break
        found[line[:ours_at].strip()] = line[met_at:].strip()
    return found


class ComposeReportTest(unittest.TestCase):
    def test_verdicts_come_from_measured_values(self):
        for what, change, expected, met in CASES:
            with self.subTest(what):
                files = dict(GOOD)
                if change:
                    change(files)
                status, report = compose(files)
                self.assertEqual(status, 0)
                rows = verdicts(report)
                for measure, verdict in expected.items():
                    self.assertIn(measure, rows, report)
                    self.assertTrue(rows[measure].startswith(verdict),
                                    "%s: %r does not start with %r\n%s" % (measure, rows[measure], verdict, report))
                self.assertEqual(report.splitlines()[-1], "targets met: %d of %d" % (met, TARGETS), report)

    def test_shown_rows_do_not_count(self):
        rows = verdicts(compose(dict(GOOD))[1])
        self.assertEqual(rows["launcher start to client start, worst of 20"], "-")
        self.assertEqual(rows["its own peak counter after it ended"], "-")


if __name__ == "__main__":
    unittest.main()
