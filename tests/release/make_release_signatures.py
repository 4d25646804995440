#!/usr/bin/env python3
"""Signed update documents for tarsel-release's checks, made by the real
minisign tool before the tests run (a Windows process under Wine cannot
start it).

  make_release_signatures.py BUILD_DIR KEY_DIR

KEY_DIR holds the test key pair (update.pub, update.key). Writes
BUILD_DIR/tests/release/signatures/: main.pub and other.pub, an installer
with the digests md5sum and sha256sum print for it, and one folder per case
with Update.cfg and (unless the case is its absence) Update.cfg.minisig, in
minisign's default prehashed form ("ED") and its legacy form ("Ed", -l).
"""
import os
import random
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "update"))
from minisign_tool import fresh_key_folder, read, sign, write  # noqa: E402

STAMP = "timestamp:2000\tfile:Update.cfg"


def run(command):
    return subprocess.run(command, check=True, stdin=subprocess.DEVNULL, capture_output=True).stdout


def tool_digest(tool, path):
    return run([tool, path]).split()[0].decode()


def document(md5, sha256, version="1.1.600.10"):
    return ('{\n  "Configs": [\n    { "TargetMD5": "%s", "Type": "Prompt", "VersionUpdate": "1.1.[0-599].*" }\n  ],\n'
            '  "Targets": {\n    "%s": { "ExeUrl": "http://updates.invalid/setup.exe", "Version": "%s",'
            ' "SHA256": "%s" }\n  }\n}\n' % (md5, md5, version, sha256)).encode()


def main():
    build, key_dir = sys.argv[1], sys.argv[2]
    out = os.path.join(build, "tests", "release", "signatures")
    main_key, other_key = fresh_key_folder(out, key_dir)

    # An installer whose size is no multiple of any block size.
    installer = os.path.join(out, "installer.bin")
    write(installer, bytes(random.Random(18).getrandbits(8) for _ in range(200 * 1024 + 37)))
    md5 = tool_digest("md5sum", installer)
    sha256 = tool_digest("sha256sum", installer)
    write(os.path.join(out, "installer.digests"), ("%s\n%s\n" % (md5, sha256)).encode())
    body = document(md5.upper(), sha256)

    def case(name, form, key=main_key, comment=STAMP, crlf=False, signed=True):
        path = os.path.join(out, form + "-" + name, "Update.cfg")
        write(path, body.replace(b"\n", b"\r\n") if crlf else body)
        if signed:
            sign(key, path, path + ".minisig", comment, legacy=form == "legacy")
            if crlf:
                write(path + ".minisig", read(path + ".minisig").replace(b"\n", b"\r\n"))
        return path

    for form in ("prehashed", "legacy"):
        case("good", form)
        case("crlf", form, crlf=True)
        case("notimestamp", form, comment="release build 7")
        case("otherkey", form, key=other_key)
        case("missing", form, signed=False)
        tampered = case("tampered", form)
        write(tampered, document(md5.upper(), sha256, version="1.1.600.11"))
        comment = case("tamperedcomment", form)
        write(comment + ".minisig", read(comment + ".minisig").replace(b"timestamp:2000", b"timestamp:9000"))


if __name__ == "__main__":
    main()
