#!/usr/bin/env python3
"""End-to-end cases for TarselMainLauncher.exe, one CTest test each.

  e2e_cases.py --list                 the case names
  e2e_cases.py --list-screen          the cases that show the update box
  e2e_cases.py BUILD_DIR CASE         runs one case; exit 0 when it passed

Every case lays out a fresh install folder, runs the real launcher under
Wine (and Xvfb) against the test servers and checks what a user or a
release engineer can see afterwards: which programs started, the data
file, the temporary folder, exit codes and the debugger output. Whatever
the fault, a case ends with the data file consistent and no partial
installer recorded.
"""
import importlib
import os
import random
import subprocess
import sys

from e2e_harness import (CLIENT_VERSION, Screenshot, LINE_DIGEST_FAILED, LINE_DOWNLOADED, LINE_MD5_FAILED, LINE_UPDATE_CHECK,
                         NEW_VERSION, BuildTree, InstallFolder, Site, check, encode_data_file, expect_clean_exit,
                         expect_client_started, expect_nothing_recorded, expect_recorded, linux_path, md5_upper, package_bytes,
                         release_immutable, shows_the_box, SHOWS_THE_BOX_ENV, Skipped, update_document)
from dying_server import DyingServer

PACKAGE_SIZE = 6 * 1024 * 1024 + 12345  # three parts on a server that honours ranges
SKIP = 77  # CTest's SKIP_RETURN_CODE for this suite


def set_up_fault(command):
    """Runs a command that sets a fault up; None when it worked, otherwise
    the Skipped saying which command was refused and what it said."""
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if done.returncode == 0:
        return None
    said = done.stdout.decode("utf-8", "replace").strip().replace("\n", " / ")
    return Skipped("`%s` was refused (exit %d): %s" % (" ".join(command), done.returncode, said or "no message"))


class Scenario:
    """An install folder with the client, a data file naming this case's
    update server, and (once `offer` has run) a rule for the client's
    version that offers a package."""

    def __init__(self, build, case, seed=1, package_size=PACKAGE_SIZE):
        self.build = build
        self.site = Site(build, case)
        self.folder = InstallFolder(build, case)
        self.folder.add_client()
        self.package = package_bytes(build, package_size, seed)
        self.data_keys = {"server": self.site.server, "ver": CLIENT_VERSION}
        self.folder.write_data(self.data_keys)

    def offer(self, url=None, rules_before=(), extra_members=""):
        """Publishes the package on nginx (unless `url` names another
        source) and a document whose last matching rule offers it."""
        if url is None:
            self.site.publish("package.exe", self.package)
            url = self.site.nginx_url("package.exe")
        md5 = md5_upper(self.package)
        rules = list(rules_before) + [(md5, "Prompt", "1.1.*.*")]
        self.site.publish_document(update_document(rules, {md5: (url, NEW_VERSION)}, extra_members))
        return url

    def launch(self, **kwargs):
        result = self.folder.launch(**kwargs)
        expect_clean_exit(result)
        return result


# -- the normal path ---------------------------------------------------------

def first_launch_records_update(build, case):
    s = Scenario(build, case)
    s.offer()
    result = s.launch()
    expect_client_started(s.folder)
    check(result.debug_has(LINE_UPDATE_CHECK) and result.debug_has(LINE_DOWNLOADED),
          "the debug output does not show the update check and the download:\n" + result.debug_text)
    expect_recorded(s.folder, s.package)
    ranged = [line for line in s.site.nginx_requests("package.exe") if "GET" in line and '"bytes=' in line]
    check(len(ranged) == 3, "a 6 MiB package should come in 3 ranged parts, nginx saw %s" % ranged)


def _recorded_then_second_launch(build, case, spoil):
    s = Scenario(build, case)
    s.offer()
    s.launch()
    expect_client_started(s.folder)
    first = expect_recorded(s.folder, s.package)
    spoil(linux_path(first["exe"]))
    result = s.launch()
    # The installer fails its check: no question, the client, a new check.
    check(result.debug_has(LINE_DIGEST_FAILED), "the second launch did not reject the installer")
    expect_client_started(s.folder, count=2)
    second = expect_recorded(s.folder, s.package)
    check(second["exe"] != first["exe"], "the second check should record a fresh download")


def installer_deleted_between_launches(build, case):
    _recorded_then_second_launch(build, case, os.remove)


def installer_replaced_between_launches(build, case):
    def replace(path):
        with open(path, "wb") as f:
            f.write(b"MZ not the package that was verified")
    _recorded_then_second_launch(build, case, replace)


# -- the update box, as the user sees and answers it --------------------------

def _blue(r, g, b):
    return b > 200 and r < 170


def _white(r, g, b):
    return min(r, g, b) > 240


def _dark(r, g, b):
    return max(r, g, b) < 140


def _grey(r, g, b):
    return 150 <= min(r, g, b) and max(r, g, b) <= 235 and not _blue(r, g, b)


def expect_update_box_on_screen(shot, keep_as):
    """The prompt box as its skin draws it (380 x 266): a blue header with
    the white title, the question in dark text on white, the left button
    white with a grey border and dark text, the right one blue with white
    text. Positions are the box's own."""
    shot.save(keep_as)
    where = " (screenshot: %s)" % keep_as
    check((shot.width, shot.height) == (380, 266), "the box is %d x %d, not 380 x 266%s" % (shot.width, shot.height, where))
    for x, y in ((20, 20), (360, 20), (190, 8)):
        check(_blue(*shot.pixel(x, y)), "the header at %d,%d is %s, not blue%s" % (x, y, shot.pixel(x, y), where))
    check(shot.count(30, 40, 200, 80, _white) >= 40, "no white title in the header" + where)
    check(shot.count(40, 160, 340, 190, _dark) >= 60, "no dark question text under the header" + where)
    for x, y in ((20, 250), (360, 250), (40, 150), (190, 155)):
        check(_white(*shot.pixel(x, y)), "the body at %d,%d is %s, not white%s" % (x, y, shot.pixel(x, y), where))
    # Left button ("下次再说"): white face, grey border, dark label.
    check(_white(*shot.pixel(129, 212)), "the left button's face is %s%s" % (shot.pixel(129, 212), where))
    check(any(_grey(*shot.pixel(x, 221)) for x in range(129, 60, -1)), "the left button has no grey border" + where)
    check(shot.count(100, 212, 160, 231, _dark) >= 15, "the left button shows no dark label" + where)
    # Right button ("立即更新"): blue face, white label.
    check(_blue(*shot.pixel(251, 212)), "the right button's face is %s%s" % (shot.pixel(251, 212), where))
    check(shot.count(222, 212, 282, 231, _white) >= 15, "the right button shows no white label" + where)


def _box_scenario(build, case):
    """A first launch that records the offered installer; the next launch asks."""
    s = Scenario(build, case)
    s.offer()
    s.launch()
    expect_client_started(s.folder)
    return s, expect_recorded(s.folder, s.package)


@shows_the_box
def update_box_update_now_runs_the_installer(build, case):
    s, recorded = _box_scenario(build, case)
    shot = os.path.join(s.folder.root, "update_box.ppm")
    result = s.folder.launch_and_answer(lambda screen: expect_update_box_on_screen(screen, shot), "right")
    expect_clean_exit(result)
    starts = s.folder.wait_for_starts(2)
    check(len(starts) == 2 and starts[1][0] == "installer" and starts[1][1].lower() == recorded["exe"].lower(),
          "立即更新 should start the recorded installer %s; the stubs logged %s" % (recorded["exe"], starts))
    # The record stays until a newer update replaces it.
    expect_recorded(s.folder, s.package)


@shows_the_box
def update_box_next_time_starts_the_client(build, case):
    s, _ = _box_scenario(build, case)
    shot = os.path.join(s.folder.root, "update_box.ppm")
    result = s.folder.launch_and_answer(lambda screen: expect_update_box_on_screen(screen, shot), "left")
    expect_clean_exit(result)
    expect_client_started(s.folder, count=2)
    expect_recorded(s.folder, s.package)


def two_launchers_at_once(build, case):
    s = Scenario(build, case)
    s.offer()
    result = s.launch(instances=2)
    check(len(result.exit_codes) == 2, "two launchers expected")
    # The second finds the first running and only starts the client.
    expect_client_started(s.folder, count=2)
    expect_recorded(s.folder, s.package)
    check(result.debug_text.count(LINE_UPDATE_CHECK) == 1, "exactly one update check should run")


def version_folder_is_a_file(build, case):
    s = Scenario(build, case)
    s.folder.add_client("1.1.400.1")
    with open(os.path.join(s.folder.dir, "1.1.900.1"), "wb") as f:
        f.write(b"a file, not an installed version")
    s.folder.write_data({"server": s.site.server})  # no "ver": it is looked up
    s.offer()
    s.launch()
    # Without "ver" the newest installed version folder starts; the file is
    # no version at all.
    expect_client_started(s.folder, version=CLIENT_VERSION)
    data = expect_recorded(s.folder, s.package)
    check(data["ver"] == CLIENT_VERSION, "ver became %r, expected the newest version folder" % data["ver"])


# -- the network fails ---------------------------------------------------------

def server_dies_mid_download(build, case):
    s = Scenario(build, case)
    server = DyingServer(s.package)
    try:
        s.offer(url=server.url)
        s.launch()
    finally:
        server.server_close()
    check(server.died, "the package server was never asked for the package")
    expect_client_started(s.folder)
    expect_nothing_recorded(s.folder)


def part_stalls(build, case):
    # The first transfer stops sending halfway; below one byte a second for
    # five seconds it times out and is performed again, and the package
    # still arrives whole.
    s = Scenario(build, case)
    s.site.publish_flat("package.exe", s.package)
    s.offer(url=s.site.fault_url("stall", "package.exe"))
    result = s.launch()
    expect_client_started(s.folder)
    check(result.debug_has(LINE_DOWNLOADED), "the stalled download did not recover:\n" + result.debug_text)
    expect_recorded(s.folder, s.package)


def package_changes_between_probe_and_download(build, case):
    s = Scenario(build, case)
    s.site.publish_flat("package.exe", s.package)
    s.site.publish_flat("package.exe.next", package_bytes(build, PACKAGE_SIZE + 4096, seed=2))
    s.offer(url=s.site.fault_url("swap", "package.exe"))
    result = s.launch()
    expect_client_started(s.folder)
    check(result.debug_has(LINE_MD5_FAILED), "the changed package was not rejected:\n" + result.debug_text)
    expect_nothing_recorded(s.folder)


# -- the disk fails --------------------------------------------------------------

def temp_folder_refuses_writes(build, case):
    s = Scenario(build, case)
    s.offer()
    os.makedirs(s.folder.staging)
    refused = set_up_fault(["chattr", "+i", s.folder.staging])
    if refused:
        return refused
    try:
        result = s.launch()
    finally:
        release_immutable(s.folder.staging)
    check(result.debug_has(LINE_UPDATE_CHECK), "the update check did not run")
    expect_client_started(s.folder)
    expect_nothing_recorded(s.folder)


def disk_full_mid_download(build, case):
    s = Scenario(build, case)
    s.offer()
    os.makedirs(s.folder.staging)
    refused = set_up_fault(["mount", "-t", "tmpfs", "-o", "size=2m", "tarsel-e2e", s.folder.staging])
    if refused:
        return refused
    try:
        result = s.launch()
        expect_client_started(s.folder)
        # The parts ran out of room: what arrived cannot be the package.
        check(result.debug_has(LINE_MD5_FAILED), "the download did not fail:\n" + result.debug_text)
        expect_nothing_recorded(s.folder)
    finally:
        subprocess.run(["umount", s.folder.staging])


def _data_file_case(build, case, data_bytes, expect_update, client_version=CLIENT_VERSION, immutable=False):
    s = Scenario(build, case)
    s.folder.add_client("1.1.400.1")  # for launches that cannot read "ver"
    s.folder.write_data_bytes(data_bytes)
    s.offer()
    refused = set_up_fault(["chattr", "+i", s.folder.data_path]) if immutable else None
    if refused:
        return refused
    try:
        s.launch()
    finally:
        release_immutable(s.folder.data_path)
    expect_client_started(s.folder, version=client_version)
    if expect_update:
        return expect_recorded(s.folder, s.package)
    expect_nothing_recorded(s.folder, before=data_bytes)
    return {}


def data_file_read_only(build, case):
    data = encode_data_file("[base]\nserver=%s\nver=%s\n" % (Site(build, case).server, CLIENT_VERSION))
    return _data_file_case(build, case, data, expect_update=False, immutable=True)


def data_file_empty(build, case):
    # Nothing to read: no version, no server; the newest installed version
    # starts and the built-in server cannot be reached from here.
    _data_file_case(build, case, b"", expect_update=False)


def data_file_binary_garbage(build, case):
    garbage = random.Random(11).randbytes(64 * 1024).replace(b"[", b"(").replace(b"\n", b" ")
    data = garbage + ("\r\n[base]\r\nserver=%s\r\nver=%s\r\n" % (Site(build, case).server, CLIENT_VERSION)).encode()
    _data_file_case(build, case, data, expect_update=True)


def data_file_with_10000_keys(build, case):
    keys = "".join("key%05d=value %d\n" % (i, i) for i in range(10000))
    text = "[base]\n%sserver=%s\nver=%s\n" % (keys, Site(build, case).server, CLIENT_VERSION)
    data = _data_file_case(build, case, encode_data_file(text), expect_update=True)
    check(data.get("key09999") == "value 9999" and data.get("key00000") == "value 0",
          "the data file lost keys it did not own")


# -- the update document ---------------------------------------------------------

def update_cfg_of_4_mib(build, case):
    s = Scenario(build, case)
    padding = '  "Notes": "%s",\n' % ("x" * (4 * 1024 * 1024))
    s.offer(extra_members=padding)
    s.launch()
    expect_client_started(s.folder)
    expect_recorded(s.folder, s.package)


def _unusable_document(build, case, document):
    s = Scenario(build, case)
    s.site.publish("package.exe", s.package)
    s.site.publish_document(document)
    s.launch()
    expect_client_started(s.folder)
    expect_nothing_recorded(s.folder)
    check(not s.site.nginx_requests("package.exe"), "a package was fetched without a usable document")


def update_cfg_of_0_bytes(build, case):
    _unusable_document(build, case, b"")


def update_cfg_deeply_nested(build, case):
    depth = 200000
    _unusable_document(build, case, b'{"Configs": ' + b"[" * depth + b"]" * depth + b"}")


def update_cfg_with_10000_rules(build, case):
    # 9 999 rules for other versions, each with its own package, then the
    # one that applies.
    s = Scenario(build, case)
    others = [("%032X" % i, "Prompt", "2.%d.*.*" % i) for i in range(9999)]
    s.site.publish("package.exe", s.package)
    md5 = md5_upper(s.package)
    targets = {rule[0]: ("http://127.0.0.1:9/never-%d.exe" % i, "9.9.9.9") for i, rule in enumerate(others)}
    targets[md5] = (s.site.nginx_url("package.exe"), NEW_VERSION)
    s.site.publish_document(update_document(others + [(md5, "Prompt", "1.1.*.*")], targets))
    s.launch()
    expect_client_started(s.folder)
    expect_recorded(s.folder, s.package)


CASES = [
    first_launch_records_update,
    update_box_update_now_runs_the_installer,
    update_box_next_time_starts_the_client,
    installer_deleted_between_launches,
    installer_replaced_between_launches,
    two_launchers_at_once,
    version_folder_is_a_file,
    server_dies_mid_download,
    part_stalls,
    package_changes_between_probe_and_download,
    temp_folder_refuses_writes,
    disk_full_mid_download,
    data_file_read_only,
    data_file_empty,
    data_file_binary_garbage,
    data_file_with_10000_keys,
    update_cfg_of_4_mib,
    update_cfg_of_0_bytes,
    update_cfg_deeply_nested,
    update_cfg_with_10000_rules,
]
# Cases kept in modules of their own, one module a subject.
for _module in ("e2e_cases_silent_servers", "e2e_cases_unc", "e2e_cases_release", "e2e_cases_signing",
                "e2e_cases_trust", "e2e_cases_polite", "e2e_cases_resume"):
    CASES += importlib.import_module(_module).CASES


def main(argv):
    if len(argv) == 2 and argv[1] == "--list":
        print(";".join(case.__name__ for case in CASES))
        return 0
    if len(argv) == 2 and argv[1] == "--list-screen":
        print(";".join(case.__name__ for case in CASES if getattr(case, "shows_the_box", False)))
        return 0
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    by_name = {case.__name__: case for case in CASES}
    if argv[2] not in by_name:
        print("no case %s" % argv[2], file=sys.stderr)
        return 2
    case = by_name[argv[2]]
    os.environ[SHOWS_THE_BOX_ENV] = "1" if getattr(case, "shows_the_box", False) else "0"
    outcome = case(BuildTree(argv[1]), argv[2])
    if isinstance(outcome, Skipped):
        print("skipped: " + outcome.reason)
        return SKIP
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
