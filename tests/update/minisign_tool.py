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


def fresh_key_folder(out, key_dir):
    """Empties `out` and puts in it the test key pair's public half
    (main.pub) and a new key pair of another key (other.pub, other.key: a
    new key id every time). Returns the secret keys: (main, other)."""
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    shutil.copy(os.path.join(key_dir, "update.pub"), os.path.join(out, "main.pub"))
    other_key = os.path.join(out, "other.key")
    subprocess.run([MINISIGN, "-G", "-W", "-f", "-p", os.path.join(out, "other.pub"), "-s", other_key],
                   check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
    return os.path.join(key_dir, "update.key"), other_key


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()
