"""End-to-end cases: the launcher started from a network share.

An elevated process does not see the user's mapped drives, so a launcher
installed on a share is started by its UNC path, and every path it builds
starts with \\\\server\\share\\. Wine reaches a share through a link
dosdevices/unc/SERVER/SHARE in its prefix; these cases make one that
points at the install folder (both the \\\\server\\share\\ and the
\\\\?\\UNC\\server\\share\\ forms resolve through it) and remove it again.
"""
import contextlib
import os
import subprocess

from e2e_harness import (CLIENT_VERSION, SOURCE_DIR, InstallFolder, Site, check, expect_clean_exit, expect_recorded,
                         md5_upper, package_bytes, update_document, wine_path, NEW_VERSION)


def _wine_prefix():
    env_sh = os.path.join(SOURCE_DIR, "scripts", "env.sh")
    done = subprocess.run(["bash", "-c", 'source "$1" >/dev/null && printf %s "$WINEPREFIX"', "-", env_sh],
                          stdout=subprocess.PIPE, check=True)
    return done.stdout.decode()


@contextlib.contextmanager
def share_of(folder_dir, server):
    """\\\\SERVER\\install\\ names `folder_dir` while the block runs."""
    server_dir = os.path.join(_wine_prefix(), "dosdevices", "unc", server)
    os.makedirs(server_dir, exist_ok=True)
    link = os.path.join(server_dir, "install")
    if os.path.islink(link):
        os.remove(link)
    os.symlink(folder_dir, link)
    try:
        yield "\\\\%s\\install\\" % server
    finally:
        os.remove(link)
        with contextlib.suppress(OSError):
            os.rmdir(server_dir)


class ShareInstallFolder(InstallFolder):
    """An install folder whose launcher is started by another path to it."""

    exe_path = None
    share = None  # "\\\\SERVER\\install\\", which names self.dir

    def local_path(self, path):
        if self.share and path and path.lower().startswith(self.share.lower()):
            return os.path.join(self.dir, *path[len(self.share):].split("\\"))
        return super().local_path(path)

    def _probe_command(self, instances=1):
        return [self.build.wine_run, self.build.probe, "--temp", wine_path(self.temp), "--instances", str(instances),
                self.exe_path]


def _launch_from_share(build, case, exe_form):
    site = Site(build, case)
    folder = ShareInstallFolder(build, case)
    os.rmdir(os.path.join(folder.dir, "Common"))  # the application folder is the launcher's own
    folder.add_client(CLIENT_VERSION)
    folder.add_client("1.1.516.1")  # an older one, which must not be taken
    package = package_bytes(build, 300 * 1024, 5)
    site.publish("package.exe", package)
    md5 = md5_upper(package)
    site.publish_document(update_document([(md5, "Prompt", "1.1.*.*")], {md5: (site.nginx_url("package.exe"),
                                                                            NEW_VERSION)}))
    # No "ver": the first run starts the newest version and records it.
    folder.write_data({"server": site.server})

    server = "tarsel-e2e-%d" % os.getpid()
    with share_of(folder.dir, server) as share:
        folder.exe_path = exe_form(share) + "TarselMainLauncher.exe"
        folder.share = share
        result = folder.launch()
        expect_clean_exit(result)
        starts = folder.wait_for_starts(1)
    expected = share + CLIENT_VERSION + "\\bin\\32bit\\Tarsel32.exe"
    check(len(starts) == 1, "expected one start of the client, the stubs logged %s" % starts)
    role, started, _, working_dir = starts[0]
    # The stub reports its own module name, which Wine gives for a program
    # on a share as UNC\server\share\... (its NT path without "\\??\\").
    if started.upper().startswith("UNC\\"):
        started = "\\" + started[3:]
    check(role == "client" and started.lower() == expected.lower(),
          "expected the client %s, got %s\n%s" % (expected, starts[0], result.debug_text))
    check(working_dir.lower() == expected.rsplit("\\", 1)[0].lower(),
          "the client's working folder is %s" % working_dir)
    check(folder.data().get("ver") == CLIENT_VERSION, "ver is %r" % folder.data().get("ver"))
    expect_recorded(folder, package)


def launch_from_share_without_common(build, case):
    _launch_from_share(build, case, lambda share: share)


def launch_from_long_form_share_without_common(build, case):
    _launch_from_share(build, case, lambda share: "\\\\?\\UNC\\" + share[2:])


CASES = [
    launch_from_share_without_common,
    launch_from_long_form_share_without_common,
]
