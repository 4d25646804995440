"""End-to-end cases for package downloads that a later start continues.

The first start is cut off the way a power cut would: once the side file
in the staging folder ("~rq....tmp.exe.dl") holds half the package, the
launcher's Wine process and every program of the install folder get
SIGKILL. The side file is written at each part's own offset, so its length
jumps ahead as soon as the last part writes; what it holds is counted by
the blocks the file system gave it (the parts leave holes between them).

The package is served through nginx's /resume/ locations
(tools/servers/http_servers.sh): 2 MB/s a connection, so the kill lands
half-way with little in flight; a "NAME.no-ranges" file beside the package
makes the same URL answer ranges with the whole file, and
/resume-no-validators/ sends neither ETag nor Last-Modified. What each
start fetched is read from nginx's access log ("METHOD URI "RANGE" STATUS
BODY_BYTES").
"""
import os
import signal
import subprocess
import tempfile
import time

from e2e_harness import (CLIENT_VERSION, LINE_DOWNLOADED, NEW_VERSION, InstallFolder, Site, check,
                         decode_lines, expect_clean_exit, expect_recorded, launcher_turn, md5_upper, package_bytes,
                         update_document)

PACKAGE_SIZE = 6 * 1024 * 1024 + 12345  # three parts on a server that honours ranges
PARTS = 3
# Where the bytes fetched are counted: five parts, and a record saved every
# 384 KiB, so that what a kill loses (the bytes since the last save and
# those in flight) is a few per cent whatever the machine's load.
COUNTED_PACKAGE_SIZE = 12 * 1024 * 1024 + 12345
COUNTED_PARTS = 5
LINE_CONTINUING = "[******] continuing the download an earlier start left"
RECORD = "download.rec"
# Bytes fetched over both starts, as a share of the package.
MOST_FETCHED = 1.10
# Bounds for waiting on the launcher and on nginx's log; reaching one fails
# the case with what was seen, it is never a measure.
LAUNCH_BOUND_SECONDS = 120
LOG_BOUND_SECONDS = 30


class Request:
    def __init__(self, line):
        fields = line.split()
        range_text, status, body = fields[2], fields[-2], fields[-1]
        self.status = int(status)
        self.body_bytes = int(body)
        asked = range_text.strip('"')
        self.range_first = int(asked[len("bytes="):].split("-")[0]) if asked.startswith("bytes=") else None


class ResumeScenario:
    """An install folder with the client and a data file naming this case's
    update server; the package is offered at /ROUTE/FOLDER/package.exe."""

    def __init__(self, build, case, route="resume", seed=1, size=PACKAGE_SIZE, package=None):
        self.build = build
        self.site = Site(build, case)
        self.folder = InstallFolder(build, case)
        self.folder.add_client()
        self.folder.write_data({"server": self.site.server, "ver": CLIENT_VERSION})
        self.url = "http://127.0.0.1:%d/%s/%s/package.exe" % (self.site.nginx_port, route, self.site.folder)
        self.package = None
        self.publish_package(package if package is not None else package_bytes(build, size, seed))

    def publish_package(self, package):
        """The package on the server and a document that offers it."""
        path = self.site.publish("package.exe", package)
        # nginx's ETag is the file's time and length: a new package gets a
        # time of its own even within the same second.
        stamp = time.time() + (0 if self.package is None else 60)
        os.utime(path, (stamp, stamp))
        self.package = package
        md5 = md5_upper(package)
        self.site.publish_document(update_document([(md5, "Prompt", "1.1.*.*")], {md5: (self.url, NEW_VERSION)}))

    def offer_nothing(self):
        """A document whose only rule is for another version."""
        md5 = md5_upper(self.package)
        self.site.publish_document(update_document([(md5, "Prompt", "2.*.*.*")], {md5: (self.url, NEW_VERSION)}))

    # -- nginx's log ---------------------------------------------------------

    def _log_path(self):
        return os.path.join(self.site.state, "logs", "access.log")

    def log_mark(self):
        try:
            return os.path.getsize(self._log_path())
        except OSError:
            return 0

    def package_gets(self, since):
        """The package's GETs nginx logged after byte `since` of its log."""
        with open(self._log_path(), "rb") as f:
            f.seek(since)
            text = f.read()
        suffix = "/%s/package.exe" % self.site.folder
        found = []
        for line in text.decode("utf-8", "replace").splitlines():
            fields = line.split()
            if len(fields) >= 5 and fields[0] == "GET" and fields[1].endswith(suffix):
                found.append(Request(line))
        return found

    def wait_for_gets(self, since, count):
        """A killed start's requests are logged once nginx finds their
        connections gone: wait for `count` of them."""
        deadline = time.monotonic() + LOG_BOUND_SECONDS
        while len(self.package_gets(since)) < count and time.monotonic() < deadline:
            time.sleep(0.05)
        gets = self.package_gets(since)
        check(len(gets) >= count, "nginx logged %d GETs of the killed start, expected %d" % (len(gets), count))
        return gets

    # -- the staging folder ------------------------------------------------------

    def staged(self, name):
        return os.path.join(self.folder.staging, name)

    def side_files(self):
        try:
            names = os.listdir(self.folder.staging)
        except OSError:
            return []
        return [n for n in names if n.startswith("~rq") and n.endswith(".tmp.exe.dl")]

    def bytes_held(self):
        """What the side file holds: its allocated blocks, not its length."""
        held = 0
        for name in self.side_files():
            try:
                held += os.stat(self.staged(name)).st_blocks * 512
            except OSError:
                pass
        return held

    # -- starts ----------------------------------------------------------------

    def start_and_cut_off(self, share=0.5, parts=PARTS):
        """Starts the launcher and kills it once the side file holds `share`
        of the package. Returns nginx's log mark from before the start and
        the GETs of the killed start."""
        mark = self.log_mark()
        folder = self.folder
        with launcher_turn(), tempfile.TemporaryFile() as stderr:
            probe = subprocess.Popen(folder._probe_command(), cwd=folder.dir, env=folder._launch_environment(),
                                     stdout=subprocess.DEVNULL, stderr=stderr)
            try:
                deadline = time.monotonic() + LAUNCH_BOUND_SECONDS
                while self.bytes_held() < share * len(self.package):
                    check(probe.poll() is None, "the launcher ended before its download held %d %% of the package"
                          % (share * 100))
                    check(time.monotonic() < deadline, "the download never held %d %% of the package" % (share * 100))
                    time.sleep(0.01)
                self.cut_power()
                probe.wait(timeout=60)
            finally:
                if probe.poll() is None:
                    probe.kill()
                    probe.wait()
            stderr.seek(0)
            debug_text = "".join(decode_lines(stderr.read()))
        with open(os.path.join(folder.root, "debug-killed-%d.log" % len(os.listdir(folder.root))), "w") as f:
            f.write(debug_text)
        check(LINE_DOWNLOADED not in debug_text, "the download finished before the launcher was killed")
        return mark, self.wait_for_gets(mark, parts)

    def cut_power(self):
        """SIGKILL for every program of the install folder (the launcher and
        the client it started), until none is left."""
        deadline = time.monotonic() + 30
        while True:
            running = self.folder.programs_running()
            if not running:
                return
            check(time.monotonic() < deadline, "programs of the install folder survive SIGKILL: %s" % running)
            for pid in running:
                try:
                    os.kill(int(pid), signal.SIGKILL)
                except ProcessLookupError:
                    pass
            time.sleep(0.05)

    def start(self):
        """A start that runs to its end: nginx's log mark from before it and
        the LaunchResult."""
        mark = self.log_mark()
        starts_before = len(self.folder.starts())
        result = self.folder.launch()
        expect_clean_exit(result)
        starts = self.folder.wait_for_starts(starts_before + 1)
        check(len(starts) == starts_before + 1 and starts[-1][0] == "client",
              "expected one more start of the client, the stubs logged %s" % starts)
        return mark, result

    # -- what the cases expect -------------------------------------------------

    def expect_partial_kept(self):
        held = os.listdir(self.folder.staging)
        check(RECORD in held and self.side_files(),
              "the killed start should leave %s and the side file, the staging folder holds %s" % (RECORD, held))

    def expect_verified(self, result):
        check(result.debug_has(LINE_DOWNLOADED), "the package was not downloaded:\n" + result.debug_text)
        expect_recorded(self.folder, self.package)

    def expect_started_over(self, result, killed_gets, mark):
        """The second start fetched the package from byte 0 of every part,
        just as the first start planned them."""
        firsts = sorted(r.range_first for r in killed_gets)
        gets = self.package_gets(mark)
        check(sorted(r.range_first for r in gets) == firsts,
              "the second start should fetch every part from its first byte %s, nginx saw %s"
              % (firsts, [(r.range_first, r.body_bytes) for r in gets]))
        fetched = sum(r.body_bytes for r in gets)
        check(fetched == len(self.package),
              "starting over fetches the package once (%d bytes), the second start fetched %d"
              % (len(self.package), fetched))


# -- continued ----------------------------------------------------------------

def resume_killed_half_way_then_continued(build, case):
    s = ResumeScenario(build, case, size=COUNTED_PACKAGE_SIZE)
    _, killed = s.start_and_cut_off(parts=COUNTED_PARTS)
    s.expect_partial_kept()
    killed_firsts = sorted(r.range_first for r in killed)
    check(killed_firsts[0] == 0 and len(set(killed_firsts)) == COUNTED_PARTS,
          "the first start should fetch %d parts, nginx saw %s" % (COUNTED_PARTS, killed_firsts))
    mark, result = s.start()
    check(result.debug_has(LINE_CONTINUING), "the second start did not continue:\n" + result.debug_text)
    s.expect_verified(result)
    check(not os.path.exists(s.staged(RECORD)), "the record outlived the finished download")
    gets = s.package_gets(mark)
    check(gets, "the second start fetched nothing, yet the first was cut off half-way")
    for r in gets:
        # Each continued part asks from where it stopped: past its first
        # byte, inside its own part.
        owner = max(first for first in killed_firsts if r.range_first is not None and first <= r.range_first)
        check(r.status == 206 and r.range_first is not None and r.range_first > owner,
              "a continued part should ask for the rest of its part, nginx saw range from %s (%d) with parts "
              "starting at %s" % (r.range_first, r.status, killed_firsts))
    fetched = sum(r.body_bytes for r in killed + gets)
    check(fetched <= MOST_FETCHED * len(s.package),
          "both starts fetched %d bytes, %.1f %% of the package (at most %.0f %%)"
          % (fetched, 100.0 * fetched / len(s.package), MOST_FETCHED * 100))
    print("fetched over both starts: %d of %d bytes (%.1f %%)"
          % (fetched, len(s.package), 100.0 * fetched / len(s.package)))


# -- started over -------------------------------------------------------------

def resume_package_changed_starts_over(build, case):
    # A new release between the starts: other bytes, another ETag, and the
    # document names the new digests.
    s = ResumeScenario(build, case)
    _, killed = s.start_and_cut_off()
    s.expect_partial_kept()
    old = s.package
    s.publish_package(package_bytes(build, PACKAGE_SIZE + 4096, seed=2))
    mark, result = s.start()
    check(not result.debug_has(LINE_CONTINUING), "a download of the earlier package was continued")
    s.expect_verified(result)
    check(md5_upper(s.package) != md5_upper(old) and s.folder.data()["md5"] == md5_upper(s.package),
          "the new package's digest was not recorded")
    gets = s.package_gets(mark)
    check(gets and min(r.range_first for r in gets) == 0 and sum(r.body_bytes for r in gets) == len(s.package),
          "the new package should be fetched whole from byte 0, nginx saw %s"
          % [(r.range_first, r.body_bytes) for r in gets])


def resume_server_stops_honouring_ranges(build, case):
    s = ResumeScenario(build, case)
    s.start_and_cut_off()
    s.expect_partial_kept()
    # Same URL, same file, same ETag: only ranges are answered with 200.
    s.site.publish("package.exe.no-ranges", b"")
    mark, result = s.start()
    s.expect_verified(result)
    gets = s.package_gets(mark)
    check(gets and all(r.status == 200 for r in gets) and sum(r.body_bytes for r in gets) == len(s.package),
          "the whole package should come once in one answer, nginx saw %s"
          % [(r.range_first, r.status, r.body_bytes) for r in gets])


def resume_record_damaged_starts_over(build, case):
    s = ResumeScenario(build, case)
    _, killed = s.start_and_cut_off()
    s.expect_partial_kept()
    # The record's tail lost, as a disk may lose it: the heading stays.
    with open(s.staged(RECORD), "r+b") as f:
        text = f.read()
        f.seek(len(text) // 2)
        f.write(b"\0" * (len(text) - len(text) // 2))
    mark, result = s.start()
    check(not result.debug_has(LINE_CONTINUING), "a download with a damaged record was continued")
    s.expect_verified(result)
    s.expect_started_over(result, killed, mark)


def resume_server_without_validators(build, case):
    # Nothing names the version of the bytes, so nothing may be continued.
    s = ResumeScenario(build, case, route="resume-no-validators")
    _, killed = s.start_and_cut_off()
    check(not os.path.exists(s.staged(RECORD)), "a record was kept for a server without validators")
    mark, result = s.start()
    check(not result.debug_has(LINE_CONTINUING), "a download without validators was continued")
    s.expect_verified(result)
    s.expect_started_over(result, killed, mark)


# -- removed ------------------------------------------------------------------

OTHER_FILES = {
    # Nothing of a partial download, whatever the names suggest.
    "notes.txt": b"the user's own",
    "~rq0001.tmp.exe": b"MZ a package an earlier check recorded",
    "~rq0002.tmp": b"",
    "setup.exe.dl": b"another program's download",
    "download.rec.old": b"tarsel download record 1\n",
}


def _put_other_files(s):
    for name, data in OTHER_FILES.items():
        with open(s.staged(name), "wb") as f:
            f.write(data)


def _expect_other_files_kept(s):
    for name, data in OTHER_FILES.items():
        with open(s.staged(name), "rb") as f:
            check(f.read() == data, "%s in the staging folder was changed or removed" % name)


def resume_partial_no_longer_offered_is_removed(build, case):
    s = ResumeScenario(build, case)
    s.start_and_cut_off()
    s.expect_partial_kept()
    _put_other_files(s)
    s.offer_nothing()
    mark, result = s.start()
    check(not s.package_gets(mark), "a package was fetched though none is offered")
    left = sorted(os.listdir(s.folder.staging))
    check(sorted(OTHER_FILES) == left,
          "only the partial download should go; the staging folder holds %s" % left)
    _expect_other_files_kept(s)


def resume_partial_of_15_days_is_removed(build, case):
    s = ResumeScenario(build, case)
    _, killed = s.start_and_cut_off()
    s.expect_partial_kept()
    _put_other_files(s)
    stale = time.time() - 15 * 24 * 60 * 60
    os.utime(s.staged(RECORD), (stale, stale))
    mark, result = s.start()
    check(not result.debug_has(LINE_CONTINUING), "a record untouched for 15 days was continued")
    check(result.debug_has(LINE_DOWNLOADED), "the package was not downloaded:\n" + result.debug_text)
    s.expect_started_over(result, killed, mark)
    _expect_other_files_kept(s)
    data = s.folder.data()
    left = sorted(set(os.listdir(s.folder.staging)) - set(OTHER_FILES))
    recorded = s.folder.local_path(data.get("exe", ""))
    check(recorded is not None and left == [os.path.basename(recorded)],
          "besides the other files only the new package should be left, the staging folder holds %s" % left)
    with open(recorded, "rb") as f:
        check(f.read() == s.package, "the recorded package's bytes differ from the published ones")


CASES = [
    resume_killed_half_way_then_continued,
    resume_package_changed_starts_over,
    resume_server_stops_honouring_ranges,
    resume_record_damaged_starts_over,
    resume_server_without_validators,
    resume_partial_no_longer_offered_is_removed,
    resume_partial_of_15_days_is_removed,
]
