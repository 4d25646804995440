#!/usr/bin/env python3
"""compose_report.py RESULTS_DIR

Reads what bench/report collected in RESULTS_DIR (launch.txt from
measure_launch.py, download.txt, md5.txt and skin.txt from the single
benchmarks) and prints one table: each figure beside its floor or peer
from the same run, its target and whether it was met; then the launcher's
start-up timeline when measure_launch.py got one. A benchmark that
failed or printed nothing usable gives rows that say so and count as not
met. The last line is "targets met: N of M".
"""
import os
import re
import sys

# The build the benchmarks ran: i686, or x86_64 on hosts without 32-bit code.
TEST_ARCH = os.environ.get("TARSEL_TEST_ARCH", "i686")
NUMBER = r"([0-9]+(?:\.[0-9]+)?)"


def read(results, name):
    try:
        with open(os.path.join(results, name), encoding="utf-8", errors="replace") as f:
            return f.read()
    except OSError:
        return ""


def key_values(text):
    values = {}
    for line in text.splitlines():
        parts = line.split()
        if len(parts) == 2:
            try:
                values[parts[0]] = float(parts[1])
            except ValueError:
                pass
    return values


def row_numbers(text, label, occurrence=0, width=None):
    """The numbers after a row's label; the label is the first `width`
    characters when the table pads labels to a fixed width."""
    found = []
    for line in text.splitlines():
        head = line[:width].strip() if width else line
        if (head == label) if width else line.startswith(label):
            rest = line[width:] if width else line[len(label):]
            found.append([float(x) for x in re.findall(NUMBER, rest)])
    return found[occurrence] if len(found) > occurrence else None


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


def launch_rows(table, text):
    v = key_values(text)
    runs = int(v.get("runs", 20))
    if "start_ms_ours_median" in v and "start_ms_floor_median" in v:
        table.add("launcher start to client start, median of %d" % runs, "%.1f ms" % v["start_ms_ours_median"],
                  "%.1f ms (ShellExecuteW only)" % v["start_ms_floor_median"], "<= floor + 50 ms",
                  v["start_ms_ours_median"] <= v["start_ms_floor_median"] + 50)
        table.add("launcher start to client start, worst of %d" % runs, "%.1f ms" % v["start_ms_ours_worst"],
                  "%.1f ms" % v["start_ms_floor_worst"], "shown beside the median", None)
    else:
        table.add("launcher start to client start", "failed", "-", "<= floor + 50 ms", False)
    if "peak_mib_ours" in v and "peak_mib_floor" in v:
        table.add("peak committed memory, 64 MiB download", "%.1f MiB" % v["peak_mib_ours"],
                  "%.1f MiB" % v["peak_mib_floor"], "<= floor + 16 MiB", v["peak_mib_ours"] <= v["peak_mib_floor"] + 16)
    else:
        table.add("peak committed memory, 64 MiB download", "failed", "-", "<= floor + 16 MiB", False)


def download_rows(table, text):
    # bench/download pads its labels to 44 characters; columns: wall s,
    # MB/s, cpu s, wineserver s, download-alone cpu s.
    ours = row_numbers(text, "ours, 5 parts (Wine)", 0, 44)
    fair = row_numbers(text, "aria2c -x5 -s5 -k, five equal parts", 0, 44)
    aria = row_numbers(text, "aria2c -x5 -s5", 0, 44)
    curl = row_numbers(text, "curl, one connection", 0, 44)
    ours_plain = row_numbers(text, "ours, 5 parts (Wine)", 1, 44)
    curl_plain = row_numbers(text, "curl, one connection", 1, 44)
    if not (ours and fair and aria and curl):
        table.add("download 64 MiB, 10 MB/s cap per request", "failed", "-", ">= 1.0 x aria2c, five equal parts", False)
        table.add("download 64 MiB, against aria2c's default split", "failed", "-", ">= 0.98 x aria2c", False)
        table.add("download 64 MiB, CPU time", "failed", "-", "<= aria2c", False)
        table.add("download 64 MiB, against one connection", "failed", "-", ">= 4.5 x curl", False)
    else:
        # The peer to beat: aria2c split into five equal parts, as ours is.
        table.add("download 64 MiB, 10 MB/s cap per request", "%.1f MB/s" % ours[1],
                  "aria2c -x5 -k, 5 equal parts %.1f MB/s" % fair[1],
                  ">= 1.0 x aria2c (%.2f)" % (ours[1] / fair[1]), ours[1] >= fair[1])
        # aria2c at its default piece size (three pieces of 64 MiB).
        table.add("download 64 MiB, against aria2c's default split", "%.1f MB/s" % ours[1],
                  "aria2c -x5 %.1f MB/s" % aria[1], ">= 0.98 x aria2c (%.2f)" % (ours[1] / aria[1]),
                  ours[1] >= 0.98 * aria[1])
        # The download's own CPU time (download_fetch measures it around the
        # transfer); starting a Wine process is not the downloader's cost.
        alone = ours[4] if len(ours) > 4 else ours[2]
        table.add("download 64 MiB, CPU time of the download", "%.2f s (process %.2f s)" % (alone, ours[2]),
                  "aria2c %.2f s" % aria[2], "<= aria2c (%.2f)" % (alone / aria[2]), alone <= aria[2])
        table.add("download 64 MiB, against one connection", "%.1f MB/s" % ours[1], "curl %.1f MB/s" % curl[1],
                  ">= 4.5 x curl (%.2f)" % (ours[1] / curl[1]), ours[1] >= 4.5 * curl[1])
    if ours_plain and curl_plain:
        table.add("download 256 MiB, unthrottled loopback", "%.1f MB/s" % ours_plain[1],
                  "curl %.1f MB/s" % curl_plain[1], ">= 0.5 x curl (%.2f)" % (ours_plain[1] / curl_plain[1]),
                  ours_plain[1] >= 0.5 * curl_plain[1])
    else:
        table.add("download 256 MiB, unthrottled loopback", "failed", "-", ">= 0.5 x curl", False)


def md5_rows(table, text):
    openssl = row_numbers(text, "openssl dgst -md5 (native)")
    ours = row_numbers(text, "GetFileMD5 (Wine, %s)" % TEST_ARCH)
    if openssl and ours:
        table.add("MD5 of a 256 MiB file", "%.1f MB/s" % ours[-1], "openssl %.1f MB/s" % openssl[-1],
                  ">= 0.9 x openssl (%.2f)" % (ours[-1] / openssl[-1]), ours[-1] >= 0.9 * openssl[-1])
    else:
        table.add("MD5 of a 256 MiB file", "failed", "-", ">= 0.9 x openssl", False)


def skin_rows(table, text):
    unzip = row_numbers(text, "unzip -p,")
    ours = row_numbers(text, "ZipFindItem + ZipUnzipItem")
    pugi = row_numbers(text, "pugixml in-place parse,")
    markup = row_numbers(text, "CMarkup::LoadFromMem")
    if unzip and ours:
        table.add("skin archive extraction, 200 entries", "%.1f MB/s" % ours[-1], "unzip -p %.1f MB/s" % unzip[-1],
                  ">= 1.3 x unzip (%.2f)" % (ours[-1] / unzip[-1]), ours[-1] >= 1.3 * unzip[-1])
        table.add("skin archive extraction, output rate", "%.1f MB/s" % ours[-1], "-", ">= 200 MB/s", ours[-1] >= 200)
    else:
        table.add("skin archive extraction, 200 entries", "failed", "-", ">= 1.3 x unzip", False)
        table.add("skin archive extraction, output rate", "failed", "-", ">= 200 MB/s", False)
    if pugi and markup:
        table.add("skin markup parse, 1 MiB", "%.1f MB/s" % markup[-1], "pugixml %.1f MB/s" % pugi[-1],
                  ">= 0.5 x pugixml (%.2f)" % (markup[-1] / pugi[-1]), markup[-1] >= 0.5 * pugi[-1])
    else:
        table.add("skin markup parse, 1 MiB", "failed", "-", ">= 0.5 x pugixml", False)


def first_paint_rows(table, text):
    v = key_values(text)
    if all(k in v for k in ("first_paint_ms", "floor_first_paint_ms", "first_paint_target_ms")):
        table.add("update box first paint, median", "%.1f ms" % v["first_paint_ms"],
                  "message box %.1f ms" % v["floor_first_paint_ms"],
                  "<= floor + 100 ms (%.0f)" % v["first_paint_target_ms"],
                  v["first_paint_ms"] <= v["first_paint_target_ms"])
    else:
        table.add("update box first paint, median", "failed", "-", "<= floor + 100 ms", False)


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    results = argv[1]
    table = Table()
    launch_rows(table, read(results, "launch.txt"))
    download_rows(table, read(results, "download.txt"))
    md5_rows(table, read(results, "md5.txt"))
    skin_rows(table, read(results, "skin.txt"))
    first_paint_rows(table, read(results, "first_paint.txt"))
    table.print()
    timeline = timeline_table(read(results, "launch.txt"))
    if timeline:
        print()
        print_columns(timeline)
    print("targets met: %d of %d" % (table.met, table.targets))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
