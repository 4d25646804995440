"""What a user or a release engineer can see of TarselMainLauncher.exe.

The real launcher runs under Wine in a throw-away install folder laid out
like a user's (the launcher, "Common", version folders holding the stub
client, the data file), against the test nginx and fault server of the
build tree. Everything is read back from the Linux side: the stub programs'
log, the data file, the temporary folder the launcher was given, its exit
code and its debugger output (Wine's debug channel on the stderr of the
wine process, decoded from code page 936).
"""
import contextlib
import fcntl
import hashlib
import os
import re
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(SOURCE_DIR, "tools", "debug_output"))
import decode_wine_debugstr  # noqa: E402

CLIENT_VERSION = "1.1.516.220"
NEW_VERSION = "1.1.600.10"
TARGET = r"bin\32bit\Tarsel32.exe"
MODES = ("StartUp", "Prompt", "Force")
INSTALLER_KEYS = ("exe", "action", "md5", "type", "newver", "imgs", "desc", "url")

# Debug lines the launcher writes at the steps a release engineer looks for.
LINE_UPDATE_CHECK = "[*****] 获取网络资源 GetUpdate"
LINE_DOWNLOADED = "[*****] 新资源下载成功 "
LINE_DIGEST_FAILED = "[****] 校验失败"
LINE_MD5_FAILED = "[******] failing md5"
LINE_OTHER_INSTANCE = "[****] 启动目标程序ExecTargetApp"

# The launcher's single-instance mutex is one per wineserver, and every
# build tree on this machine shares the one wineserver of the project's
# prefix: launchers from any test run or benchmark take turns through this
# lock. Someone starting the launcher by hand is caught by the retry in
# InstallFolder.launch.
LAUNCHER_LOCK = os.path.join("/tmp", "tarsel-launcher-instance.lock")


@contextlib.contextmanager
def launcher_turn():
    with open(LAUNCHER_LOCK, "a") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        try:
            yield
        finally:
            fcntl.flock(lock, fcntl.LOCK_UN)


# The display is shared by every build tree on this machine: whoever shows
# or photographs a window holds its lock (scripts/wine-run.sh takes the same
# one for tests marked TARSEL_SCREEN_LOCK=1).
def screen_lock_path():
    return os.path.join("/tmp", "tarsel-screen-%s.lock" % os.environ.get("TARSEL_DISPLAY", ":91").lstrip(":"))


@contextlib.contextmanager
def screen_turn():
    with open(screen_lock_path(), "a") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        try:
            yield
        finally:
            fcntl.flock(lock, fcntl.LOCK_UN)


def shows_the_box(case):
    """Marks a case that shows the update box (and may photograph it): CTest
    runs it alone (RUN_SERIAL, from e2e_cases.py --list-screen), and only a
    marked case may call InstallFolder.launch_and_answer."""
    case.shows_the_box = True
    return case


SHOWS_THE_BOX_ENV = "TARSEL_E2E_CASE_SHOWS_THE_BOX"


class CaseFailure(AssertionError):
    pass


class Skipped:
    """What a case returns when it could not decide here (a fault it could
    not set up on this machine, or a known fault of the launcher that keeps
    its last check from passing), saying exactly why. Kept here, not
    in e2e_cases.py: that one runs as __main__, and the case modules that
    import it get a second copy of its classes."""

    def __init__(self, reason):
        self.reason = reason


def check(condition, message):
    if not condition:
        raise CaseFailure(message)


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def linux_path(path):
    """The Linux path of a Z:\\ path; None for any other drive."""
    if not path or not path[:3].upper() == "Z:\\":
        return None
    return path[2:].replace("\\", "/")


def md5_upper(data):
    return hashlib.md5(data).hexdigest().upper()


class BuildTree:
    def __init__(self, build_dir):
        self.dir = os.path.abspath(build_dir)
        self.launcher = os.path.join(self.dir, "src", "launcher", "TarselMainLauncher.exe")
        self.stub_client = os.path.join(self.dir, "tools", "stub_client.exe")
        self.stub_installer = os.path.join(self.dir, "tools", "stub_installer.exe")
        self.probe = os.path.join(self.dir, "tests", "e2e", "launch_probe.exe")
        self.box_clicker = os.path.join(self.dir, "tests", "launcher", "box_clicker.exe")
        self.wine_run = os.path.join(SOURCE_DIR, "scripts", "wine-run.sh")


class Site:
    """This case's corner of the test servers' shared document root.

    The launcher's update server is "server" in its data file, so each case
    points it at its own folder and gets its own /pc/Update.cfg.
    """

    def __init__(self, build, case):
        state = os.path.join(build.dir, "test-servers")
        ports = {}
        try:
            with open(os.path.join(state, "ports.txt")) as f:
                for line in f:
                    key, _, value = line.strip().partition("=")
                    ports[key] = int(value)
        except OSError:
            pass
        check("nginx" in ports and "fault" in ports, "the http_servers_start fixture did not run")
        self.state = state
        self.nginx_port = ports["nginx"]
        self.fault_port = ports["fault"]
        # The fault server remembers which names have stalled once: a fresh
        # name per run.
        self.folder = "e2e-%s-%d" % (case, os.getpid())
        self.docroot = os.path.join(state, "docroot")
        for old in os.listdir(self.docroot) if os.path.isdir(self.docroot) else []:
            if old.startswith("e2e-%s-" % case):
                path = os.path.join(self.docroot, old)
                shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)

    @property
    def server(self):
        return "http://127.0.0.1:%d/%s" % (self.nginx_port, self.folder)

    def nginx_url(self, name):
        return "%s/%s" % (self.server, name)

    def fault_url(self, fault, name):
        # The fault server serves the document root's top level only.
        return "http://127.0.0.1:%d/%s/%s" % (self.fault_port, fault, self.flat_name(name))

    def flat_name(self, name):
        return "%s--%s" % (self.folder, name)

    def publish(self, name, data):
        path = os.path.join(self.docroot, self.folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def publish_flat(self, name, data):
        path = os.path.join(self.docroot, self.flat_name(name))
        with open(path, "wb") as f:
            f.write(data)
        return path

    def publish_document(self, data):
        return self.publish("pc/Update.cfg", data)

    def nginx_requests(self, name):
        needle = " /%s/%s " % (self.folder, name)
        try:
            with open(os.path.join(self.state, "logs", "access.log")) as f:
                return [line for line in f if needle in line]
        except OSError:
            return []


def update_document(rules, targets, extra_members=""):
    """A document text. rules: (md5, type, pattern); targets: md5 -> (url, version)."""
    configs = ",\n".join('    { "TargetMD5": "%s", "Type": "%s", "VersionUpdate": "%s" }' % rule for rule in rules)
    packages = ",\n".join(
        '    "%s": { "ExeUrl": "%s", "Version": "%s", "ImageUrls": ["http://img.invalid/a.png"],'
        ' "Descriptions": ["全新的直播间", "更流畅的连麦"] }' % (md5, url, version)
        for md5, (url, version) in targets.items())
    return ('{\n  // written by the end-to-end suite\n%s  "Configs": [\n%s\n  ],\n  "Targets": {\n%s\n  }\n}\n'
            % (extra_members, configs, packages)).encode("utf-8")


def package_bytes(build, size, seed):
    """The stub installer followed by seeded filler up to `size` bytes: it
    still runs, and different seeds give different digests."""
    with open(build.stub_installer, "rb") as f:
        data = f.read()
    state = seed * 2654435761 % (1 << 32) or 1
    filler = bytearray()
    while len(data) + len(filler) < size:
        state = (state * 1103515245 + 12345) % (1 << 31)
        filler += state.to_bytes(4, "little")
    return (data + bytes(filler))[:max(size, len(data))]


def encode_data_file(text):
    """Data file bytes as the launcher keeps them: UTF-16 with a byte-order mark."""
    return b"\xff\xfe" + text.replace("\n", "\r\n").encode("utf-16-le")


def decode_data_file(data):
    if data.startswith(b"\xff\xfe"):
        return data[2:].decode("utf-16-le", "replace")
    return data.decode("gbk", "replace")


def parse_ini(text):
    """Section -> {key: value}, keys lower-cased, first occurrence wins (as
    the profile functions read them)."""
    sections = {}
    current = None
    for raw in text.splitlines():
        line = raw.strip()
        if line.startswith("[") and "]" in line:
            current = sections.setdefault(line[1:line.index("]")].strip().lower(), {})
        elif current is not None and "=" in line:
            key, _, value = line.partition("=")
            current.setdefault(key.strip().lower(), value.strip())
    return sections


class LaunchResult:
    def __init__(self, exit_codes, debug_text):
        self.exit_codes = exit_codes
        self.debug_text = debug_text

    def debug_has(self, line):
        return any(l.rstrip("\n") == line for l in self.debug_text.splitlines())


class InstallFolder:
    """A user's install folder under the build tree, and the temporary
    folder the launcher is given."""

    def __init__(self, build, case):
        self.build = build
        self.root = os.path.join(build.dir, "tests", "e2e", "work", case)
        release_immutable(self.root)
        shutil.rmtree(self.root, ignore_errors=True)
        self.dir = os.path.join(self.root, "install")
        self.temp = os.path.join(self.root, "temp")
        # Where the launcher fetches and keeps packages; it makes it itself.
        self.staging = os.path.join(self.dir, "Temp")
        self.stub_log = os.path.join(self.root, "started.log")
        os.makedirs(os.path.join(self.dir, "Common"))
        os.makedirs(self.temp)
        shutil.copy(build.launcher, os.path.join(self.dir, "TarselMainLauncher.exe"))
        self.data_path = os.path.join(self.dir, "TarselMainLauncher.dat")

    def add_client(self, version=CLIENT_VERSION):
        path = os.path.join(self.dir, version, "bin", "32bit", "Tarsel32.exe")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        shutil.copy(self.build.stub_client, path)
        return path

    def write_data(self, keys):
        text = "[base]\n" + "".join("%s=%s\n" % kv for kv in keys.items())
        self.write_data_bytes(encode_data_file(text))

    def write_data_bytes(self, data):
        with open(self.data_path, "wb") as f:
            f.write(data)

    def data_bytes(self):
        try:
            with open(self.data_path, "rb") as f:
                return f.read()
        except OSError:
            return None

    def data(self):
        raw = self.data_bytes()
        return parse_ini(decode_data_file(raw)).get("base", {}) if raw is not None else {}

    def local_path(self, path):
        """The Linux path of a path the launcher recorded; None when there
        is none."""
        return linux_path(path)

    def temp_files(self):
        """Files in the staging folder and in the user's temporary folder,
        named relative to their folder."""
        found = []
        for root in (self.staging, self.temp):
            for top, _, files in os.walk(root):
                found += [os.path.relpath(os.path.join(top, f), root) for f in files]
        return sorted(found)

    def launch(self, instances=1):
        """Runs the launcher (`instances` copies at once) and returns what it
        showed. A run that found a launcher from outside this suite running
        is thrown away and repeated."""
        for attempt in range(20):
            starts_before = len(self.starts())
            result = self._launch_once(instances)
            if result.debug_text.count(LINE_OTHER_INSTANCE) <= instances - 1:
                return result
            # Only the client was started: drop its line and try again. Said
            # on the case's output, so that a case that runs out of time
            # while repeating shows why.
            print("launch %d: every launcher met another one holding the single-instance mutex; repeating"
                  % (attempt + 1), flush=True)
            self.wait_for_starts(starts_before + 1, timeout=5)
            with open(self.stub_log, encoding="utf-8") as log:
                kept = log.readlines()[:starts_before]
            with open(self.stub_log, "w", encoding="utf-8") as log:
                log.writelines(kept)
            time.sleep(1)
        raise CaseFailure("another launcher kept running; the case could not be run")

    def _launch_environment(self):
        # The debug channel carries the launcher's debug lines; the stubs log
        # what was started.
        return dict(os.environ, WINEDEBUG="-all,warn+debugstr,warn+seh", TARSEL_STUB_LOG=wine_path(self.stub_log))

    def _probe_command(self, instances=1):
        return [self.build.wine_run, self.build.probe, "--temp", wine_path(self.temp), "--instances", str(instances),
                wine_path(os.path.join(self.dir, "TarselMainLauncher.exe"))]

    def _launch_once(self, instances):
        env = self._launch_environment()
        command = self._probe_command(instances)
        with launcher_turn():
            done = subprocess.run(command, cwd=self.dir, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                  timeout=180)
        stderr_text = done.stderr.decode("latin-1")
        debug_text = "".join(decode_lines(done.stderr))
        with open(os.path.join(self.root, "debug-%d.log" % len(os.listdir(self.root))), "w") as f:
            f.write(debug_text)
        codes = [int(m.group(1)) for m in re.finditer(r"exit_code=(\d+)", done.stdout.decode("latin-1"))]
        check(done.returncode == 0 and len(codes) == instances,
              "launch_probe failed (%d): %s %s" % (done.returncode, done.stdout, stderr_text[-2000:]))
        return LaunchResult(codes, debug_text)

    def launch_and_answer(self, look, answer):
        """Runs the launcher while a user waits for its update box: once the
        box is up, `look(screen)` sees it (a Screenshot of the box), then
        box_clicker presses the "left" or "right" button. Returns the
        LaunchResult."""
        check(os.environ.get(SHOWS_THE_BOX_ENV) == "1",
              "this case shows the update box but is not marked @shows_the_box, so it would not run alone")
        env = self._launch_environment()
        exe = wine_path(os.path.join(self.dir, "TarselMainLauncher.exe"))
        with launcher_turn(), screen_turn():
            launcher = subprocess.Popen(self._probe_command(), cwd=self.dir, env=env, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE)
            seen = None
            try:
                # Only this folder's launcher's box: never another run's.
                where = subprocess.run([self.build.wine_run, self.build.box_clicker, "wait", exe], env=env,
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60)
                match = re.search(rb"at (-?\d+),(-?\d+), (\d+) x (\d+)", where.stdout)
                check(match is not None, "no update box appeared: %r" % where.stdout)
                try:
                    look(Screenshot.of_area(*(int(v) for v in match.groups())))
                except CaseFailure as failure:
                    seen = failure  # answered all the same, so that the launcher ends
                clicked = subprocess.run([self.build.wine_run, self.build.box_clicker, answer, exe], env=env,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
                check(clicked.returncode == 0, "box_clicker could not press the %s button" % answer)
                # The launcher holds launch_probe's output pipes until it ends.
                stdout, stderr = launcher.communicate(timeout=120)
            finally:
                if launcher.poll() is None:
                    launcher.kill()
        if seen is not None:
            raise seen
        codes = [int(m.group(1)) for m in re.finditer(r"exit_code=(\d+)", stdout.decode("latin-1"))]
        check(launcher.returncode == 0 and len(codes) == 1,
              "launch_probe failed (%d): %s %s" % (launcher.returncode, stdout, stderr[-2000:]))
        return LaunchResult(codes, "".join(decode_lines(stderr)))

    def starts(self):
        try:
            with open(self.stub_log, encoding="utf-8") as f:
                return [line.rstrip("\n").split("|") for line in f if line.endswith("\n")]
        except OSError:
            return []

    def programs_running(self):
        """Linux ids of the Wine programs started from a file under this
        install folder (Wine shows a program's Windows path as its argv[0];
        under user-mode emulation, where Wine cannot rewrite the emulator's
        own arguments, it is the argument after the emulator and Wine's
        loader)."""
        windows = wine_path(self.dir).lower() + "\\"
        unix = os.path.abspath(self.dir) + "/"
        found = []
        for pid in os.listdir("/proc"):
            if not pid.isdigit():
                continue
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    arguments = [a.decode("utf-8", "replace") for a in f.read().split(b"\0")]
            except OSError:
                continue
            program = arguments[0]
            if (os.path.basename(program).startswith("qemu-") and len(arguments) > 2
                    and os.path.basename(arguments[1]).startswith("wine")):
                program = arguments[2]
            if program.lower().startswith(windows) or program.startswith(unix):
                found.append(pid)
        return found

    def wait_for_starts(self, count, timeout=15.0):
        """The stub programs start after the launcher has gone: wait for
        `count` of them, then until no program of this folder runs any more,
        so that a stray start has been logged before anyone counts."""
        deadline = time.monotonic() + timeout
        while len(self.starts()) < count and time.monotonic() < deadline:
            time.sleep(0.05)
        while self.programs_running() and time.monotonic() < deadline:
            time.sleep(0.05)
        check(not self.programs_running(), "programs of %s still run after %.0f s" % (self.dir, timeout))
        return self.starts()


class Screenshot:
    """An area of the test display (Xvfb), read the way a person sees it:
    what is on the screen, whoever drew it."""

    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self.rgb = rgb

    @classmethod
    def of_area(cls, x, y, width, height):
        display = os.environ.get("TARSEL_DISPLAY", ":91")
        done = subprocess.run(["import", "-display", display, "-window", "root", "-crop",
                               "%dx%d+%d+%d" % (width, height, x, y), "+repage", "-depth", "8", "rgb:-"],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30)
        check(done.returncode == 0 and len(done.stdout) == width * height * 3,
              "screenshot failed: %s" % done.stderr.decode("latin-1")[-500:])
        return cls(width, height, done.stdout)

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def count(self, left, top, right, bottom, wanted):
        """How many pixels of the rectangle satisfy `wanted(r, g, b)`."""
        return sum(1 for y in range(top, bottom) for x in range(left, right) if wanted(*self.pixel(x, y)))

    def save(self, path):
        with open(path, "wb") as f:
            f.write(b"P6 %d %d 255\n" % (self.width, self.height) + self.rgb)


def decode_lines(stderr_bytes):
    out = []
    for raw in stderr_bytes.splitlines():
        match = decode_wine_debugstr.LINE.search(raw.decode("latin-1"))
        if match:
            text = decode_wine_debugstr.unescape(match.group(1)).decode("gbk", "replace")
            out.append(text if text.endswith("\n") else text + "\n")
    return out


def release_immutable(path):
    """Undo `chattr +i` of an earlier, interrupted run, so the folder can go."""
    if os.path.exists(path):
        subprocess.run(["chattr", "-R", "-i", path], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# -- the checks every case ends with ---------------------------------------

def expect_clean_exit(result):
    # A crash ends the launcher with its exception code instead.
    check(all(code == 0 for code in result.exit_codes), "exit codes %s, expected 0" % result.exit_codes)


def expect_client_started(folder, version=CLIENT_VERSION, count=1):
    starts = folder.wait_for_starts(count)
    expected = wine_path(os.path.join(folder.dir, version, "bin", "32bit", "Tarsel32.exe"))
    check(len(starts) == count, "expected %d start(s) of the client, the stubs logged %s" % (count, starts))
    for start in starts:
        check(start[0] == "client" and start[1].lower() == expected.lower(),
              "expected the client %s, got %s" % (expected, start))
    return starts


def expect_nothing_recorded(folder, before=None):
    """No installer keys (or exactly the earlier ones), and nothing of the
    download left in the temporary folder."""
    data = folder.data()
    if before is None:
        present = [k for k in INSTALLER_KEYS if data.get(k)]
        check(not present, "installer keys recorded after a failed update: %s" % {k: data[k] for k in present})
    else:
        check(folder.data_bytes() == before, "the data file changed after a failed update")
    leftovers = folder.temp_files()
    check(not leftovers, "the temporary folder holds %s after a failed update" % leftovers)


def expect_recorded(folder, package, newversion=NEW_VERSION, mode="Prompt"):
    """All eight keys, naming a package in the temporary folder whose bytes
    are the published ones; nothing else of the download left behind."""
    data = folder.data()
    missing = [k for k in INSTALLER_KEYS if not data.get(k)]
    check(not missing, "installer keys missing: %s (data file: %s)" % (missing, data))
    check(data["action"] == "toupdate", "action is %r" % data["action"])
    check(data["type"] == mode and data["newver"] == newversion, "type/newver are %r/%r" % (data["type"], data["newver"]))
    check(data["md5"] == md5_upper(package), "md5 %s is not the package's %s" % (data["md5"], md5_upper(package)))
    exe = folder.local_path(data["exe"])
    check(exe is not None and os.path.dirname(exe) == folder.staging, "exe %r is not in the staging folder" % data["exe"])
    with open(exe, "rb") as f:
        check(f.read() == package, "the recorded package's bytes differ from the published ones")
    leftovers = [f for f in folder.temp_files() if f != os.path.basename(exe)]
    check(not leftovers, "the temporary folder also holds %s" % leftovers)
    return data
