"""End-to-end: the release engineer's path with tarsel-release, as the
README's "Publishing an update" section describes it.

A new installer is added to a new update document with `tarsel-release
add`, `tarsel-release check` finds nothing wrong and tells what the
installed version will get, nginx serves both, and the real launcher
records the installer at its first start and runs it at the next when
the user answers "立即更新".
"""
import os
import re
import subprocess

from e2e_harness import (CLIENT_VERSION, NEW_VERSION, InstallFolder, Site, check, expect_clean_exit,
                         expect_client_started, expect_recorded, package_bytes, shows_the_box, wine_path, md5_upper)

PACKAGE_SIZE = 3 * 1024 * 1024 + 999


def _release_tool(build, *args):
    tool = os.path.join(build.dir, "src", "release", "tarsel-release.exe")
    done = subprocess.run([build.wine_run, tool] + list(args), stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          env=dict(os.environ, WINEDEBUG="-all"), timeout=120)
    return done.returncode, done.stdout.decode("utf-8", "replace"), done.stderr.decode("utf-8", "replace")


@shows_the_box
def release_tool_round_trip(build, case):
    site = Site(build, case)
    folder = InstallFolder(build, case)
    folder.add_client()
    folder.write_data({"server": site.server, "ver": CLIENT_VERSION})
    package = package_bytes(build, PACKAGE_SIZE, seed=18)
    installer = os.path.join(folder.root, "Tarsel_Setup_%s.exe" % NEW_VERSION)
    with open(installer, "wb") as f:
        f.write(package)
    site.publish("package.exe", package)
    # The new document is written straight where nginx serves it.
    document = os.path.join(site.docroot, site.folder, "pc", "Update.cfg")
    os.makedirs(os.path.dirname(document), exist_ok=True)

    code, out, err = _release_tool(build, "add", "--config", wine_path(document), "--installer", wine_path(installer),
                                   "--url", site.nginx_url("package.exe"), "--version", NEW_VERSION,
                                   "--for", "1.1.[0-599].*", "--type", "Prompt",
                                   "--desc", "全新的直播间", "--image", "http://img.invalid/a.png")
    check(code == 0, "add failed (%d): %s %s" % (code, out, err))
    check("created " in out and "added rule 1" in out, "add did not say what it changed: " + out)

    code, out, err = _release_tool(build, "check", wine_path(document), "--installed", CLIENT_VERSION, "--online")
    check(code == 0, "check found errors (%d): %s %s" % (code, out, err))
    problems = [line for line in out.splitlines() if line.startswith(("error:", "warning:"))]
    check(not problems, "a fresh document should check clean: %s" % problems)
    check(re.search(r"installed %s: rule 1 \(line \d+\) applies: package %s \(%s\), mode Prompt"
                    % (re.escape(CLIENT_VERSION), re.escape(NEW_VERSION), md5_upper(package)), out),
          "check does not say what %s gets: %s" % (CLIENT_VERSION, out))
    check("byte ranges supported" in out and "matches" in out, "the online check did not fetch the package: " + out)

    # First start: the client, and the installer recorded.
    expect_clean_exit(folder.launch())
    expect_client_started(folder)
    recorded = expect_recorded(folder, package)
    # Next start: the box; "立即更新" runs the installer.
    expect_clean_exit(folder.launch_and_answer(lambda screen: None, "right"))
    starts = folder.wait_for_starts(2)
    check(len(starts) == 2 and starts[1][0] == "installer" and starts[1][1].lower() == recorded["exe"].lower(),
          "the recorded installer %s did not start; the stubs logged %s" % (recorded["exe"], starts))


CASES = [release_tool_round_trip]
