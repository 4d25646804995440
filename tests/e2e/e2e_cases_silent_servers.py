"""End-to-end cases: update servers that accept and then send nothing.

Each case points the launcher at a server of the fault server's silent
kinds (tools/servers/fault_server.py): one that never answers, one that
sends its status line and stops, and one that answers the size probe but
stalls the package's body. The launcher must start the client, give up on
the server by itself and end with exit code 0, writing nothing to its data
file and leaving nothing in its temporary folder.

How long it may take: a transfer that receives nothing gives up after the
stall rule (under 1 byte a second for 5 s; about 10 s when data arrived
just before) and is performed at most 4 times, so against these servers
the launcher ends roughly 25 s (silent probe) to 45 s (stalled parts)
after the client started. The fault server holds the connections for
150 s, so a launcher without the rule would end only then; each launch
here is given OUTER_BOUND_SECONDS before the case fails.
"""
import os
import re
import subprocess

from e2e_harness import (CLIENT_VERSION, LINE_UPDATE_CHECK, CaseFailure, InstallFolder, Site, check, decode_lines,
                         expect_clean_exit, expect_client_started, expect_nothing_recorded, launcher_turn, md5_upper,
                         package_bytes, update_document, LaunchResult)

OUTER_BOUND_SECONDS = 100
PACKAGE_SIZE = 6 * 1024 * 1024 + 12345  # three parts on a server that honours ranges
ATTEMPTS = 4  # the first try and the update check's 3 repeats


class BoundedInstallFolder(InstallFolder):
    """An install folder whose launches fail the case when the launcher has
    not ended within OUTER_BOUND_SECONDS."""

    def _launch_once(self, instances):
        env = self._launch_environment()
        with launcher_turn():
            try:
                done = subprocess.run(self._probe_command(instances), cwd=self.dir, env=env, stdout=subprocess.PIPE,
                                      stderr=subprocess.PIPE, timeout=OUTER_BOUND_SECONDS)
            except subprocess.TimeoutExpired:
                raise CaseFailure("the launcher did not end within %d s" % OUTER_BOUND_SECONDS)
        debug_text = "".join(decode_lines(done.stderr))
        with open(os.path.join(self.root, "debug-%d.log" % len(os.listdir(self.root))), "w") as f:
            f.write(debug_text)
        codes = [int(m.group(1)) for m in re.finditer(rb"exit_code=(\d+)", done.stdout)]
        check(done.returncode == 0 and len(codes) == instances,
              "launch_probe failed (%d): %s %s" % (done.returncode, done.stdout, done.stderr[-2000:]))
        return LaunchResult(codes, debug_text)


def _fault_log(site, name):
    safe = "".join(c if c.isalnum() or c in "._-" else "_" for c in name)
    try:
        with open(os.path.join(site.state, "faultlog", safe + ".log")) as f:
            return f.read().splitlines()
    except OSError:
        return []


def _silent_update_server(build, case, fault):
    site = Site(build, case)
    folder = BoundedInstallFolder(build, case)
    folder.add_client()
    folder.write_data({"server": "http://127.0.0.1:%d/%s/%s" % (site.fault_port, fault, site.folder),
                       "ver": CLIENT_VERSION})
    before = folder.data_bytes()
    result = folder.launch()
    expect_clean_exit(result)
    expect_client_started(folder)
    check(result.debug_has(LINE_UPDATE_CHECK), "the update check did not run:\n" + result.debug_text)
    expect_nothing_recorded(folder, before=before)
    # The probe of the document gave up by itself, every time: the server
    # never closed a connection first.
    probes = _fault_log(site, "%s/pc/Update.cfg" % site.folder)
    check(probes == ["HEAD %s bytes=2-" % fault] * ATTEMPTS,
          "expected %d probes of the document, the server saw %s" % (ATTEMPTS, probes))


def update_server_accepts_and_stays_silent(build, case):
    _silent_update_server(build, case, "silent")


def update_server_sends_only_its_status_line(build, case):
    _silent_update_server(build, case, "statusonly")


def package_body_stalls_in_every_part(build, case):
    # The document arrives; the package's probe is answered, then every part
    # sends a quarter of its bytes and stalls, at every repeat.
    site = Site(build, case)
    folder = BoundedInstallFolder(build, case)
    folder.add_client()
    folder.write_data({"server": site.server, "ver": CLIENT_VERSION})
    package = package_bytes(build, PACKAGE_SIZE, 3)
    site.publish_flat("package.exe", package)
    md5 = md5_upper(package)
    url = site.fault_url("stallbody", "package.exe")
    site.publish_document(update_document([(md5, "Prompt", "1.1.*.*")], {md5: (url, "1.1.600.10")}))
    before = folder.data_bytes()
    result = folder.launch()
    expect_clean_exit(result)
    expect_client_started(folder)
    expect_nothing_recorded(folder, before=before)
    gets = [line for line in _fault_log(site, site.flat_name("package.exe")) if line.startswith("GET ")]
    check(len(gets) == 3 * ATTEMPTS, "expected 3 parts tried %d times each, the server saw %s" % (ATTEMPTS, gets))


CASES = [
    update_server_accepts_and_stays_silent,
    update_server_sends_only_its_status_line,
    package_body_stalls_in_every_part,
]
