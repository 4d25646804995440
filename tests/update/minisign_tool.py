"""The real minisign tool and the file helpers the signing fixture scripts
share (make_signing_fixtures.py here, tests/release/make_release_signatures.py)."""
import os
import shutil
import subprocess
import sys

MINISIGN = shutil.which("minisign") or sys.exit("minisign is not installed: run scripts/setup.sh")


def sign(key, path, out, comment=None, legacy=False):
    """Signs `path` with the secret key `key` into `out`: minisign's default
    prehashed form, or its legacy form; `comment` is the trusted comment."""
    command = [MINISIGN, "-S", "-s", key, "-m", path, "-x", out]
    if comment is not None:
        command += ["-t", comment]
    if legacy:
        command.append("-l")
    subprocess.run(command, check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)


def make_key_pair(pub, key):
    """A new key pair without a password (a new key id every time)."""
    subprocess.run([MINISIGN, "-G", "-W", "-f", "-p", pub, "-s", key],
                   check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()
