#!/usr/bin/env python3
"""Signed update documents made by the real minisign tool, for the tests.

  make_signing_fixtures.py BUILD_DIR KEY_DIR

KEY_DIR holds the test key pair (update.pub, update.key) that the keyed
test launcher is built with. Writes BUILD_DIR/tests/update/signing_fixtures/
(keys and signatures over one fixed file, for the verifier's own tests) and,
on the test nginx (BUILD_DIR/test-servers), one update server folder per
case under /signed-fixtures/ plus the package they all offer.
"""
import hashlib
import os
import random
import shutil
import sys

from minisign_tool import fresh_key_folder, read, sign, write


def document(url, md5, sha256=None, version="1.1.517.0"):
    sha = ', "SHA256": "%s"' % sha256 if sha256 is not None else ""
    return ('{\n  "Configs": [ { "TargetMD5": "%s", "Type": "Prompt", "VersionUpdate": "1.1.*.*" } ],\n'
            '  "Targets": { "%s": { "ExeUrl": "%s", "Version": "%s", "ImageUrls": ["a.png"],'
            ' "Descriptions": ["fixes"]%s } }\n}\n' % (md5, md5, url, version, sha)).encode()


def main():
    build, key_dir = sys.argv[1], sys.argv[2]
    out = os.path.join(build, "tests", "update", "signing_fixtures")
    main_key, other_key = fresh_key_folder(out, key_dir)

    # The verifier's own cases: bytes of every value, CR LF pairs included.
    doc = os.path.join(out, "doc.bin")
    write(doc, b"{ \"Configs\": [] }\r\n" + bytes(range(256)) * 3)
    sign(main_key, doc, doc + ".prehashed.minisig", "timestamp:2000\tfile:doc.bin\thashed")
    sign(main_key, doc, doc + ".legacy.minisig", "timestamp:2000\tfile:doc.bin", legacy=True)
    sign(main_key, doc, doc + ".default.minisig")
    sign(main_key, doc, doc + ".notimestamp.minisig", "release build 7")
    sign(other_key, doc, doc + ".other.minisig", "timestamp:2000")

    # Update servers for the whole check.
    state = os.path.join(build, "test-servers")
    ports = dict(line.strip().split("=", 1) for line in open(os.path.join(state, "ports.txt")) if "=" in line)
    root = os.path.join(state, "docroot", "signed-fixtures")
    shutil.rmtree(root, ignore_errors=True)
    package = bytes(random.Random(17).getrandbits(8) for _ in range(300 * 1024))
    write(os.path.join(root, "setup.exe"), package)
    url = "http://127.0.0.1:%s/signed-fixtures/setup.exe" % ports["nginx"]
    md5 = hashlib.md5(package).hexdigest().upper()
    sha = hashlib.sha256(package).hexdigest()
    stamp = "timestamp:2000\tfile:Update.cfg\thashed"

    def site(name, body, comment=stamp, key=main_key, legacy=False, signed=True):
        folder = os.path.join(root, name, "pc")
        path = os.path.join(folder, "Update.cfg")
        write(path, body)
        if signed:
            sign(key, path, path + ".minisig", comment, legacy)
        return path

    site("prehashed", document(url, md5, sha))
    site("legacy", document(url, md5, sha.upper()), legacy=True)
    crlf = site("crlf", document(url, md5, sha))
    write(crlf + ".minisig", read(crlf + ".minisig").replace(b"\n", b"\r\n"))
    site("nosha", document(url, md5))
    site("badsha", document(url, md5, hashlib.sha256(package + b"x").hexdigest()))
    site("shortsha", document(url, md5, sha[:63]))
    site("older", document(url, md5, sha), comment="timestamp:1000\tfile:Update.cfg\thashed")
    site("newer", document(url, md5, sha), comment="timestamp:3000\tfile:Update.cfg\thashed")
    site("notimestamp", document(url, md5, sha), comment="release build 7")
    # A newer document that withdrew every release, and one signed now with
    # minisign's own comment (its timestamp lies after any build's).
    site("withdrawn", b'{ "Configs": [], "Targets": {} }\n', comment="timestamp:3000\tfile:Update.cfg\thashed")
    site("current", document(url, md5, sha), comment=None)
    site("unsigned", document(url, md5, sha), signed=False)
    empty = site("emptysig", document(url, md5, sha))
    write(empty + ".minisig", b"")
    site("otherkey", document(url, md5, sha), key=other_key)
    tampered = site("tampereddoc", document(url, md5, sha))
    write(tampered, document(url, md5, sha, version="1.1.518.0"))
    comment = site("tamperedcomment", document(url, md5, sha))
    write(comment + ".minisig", read(comment + ".minisig").replace(b"timestamp:2000", b"timestamp:9000"))
    truncated = site("truncatedsig", document(url, md5, sha))
    lines = read(truncated + ".minisig").split(b"\n")
    lines[1] = lines[1][:40]
    write(truncated + ".minisig", b"\n".join(lines))
    # Only unkeyed checks look at these two, so their request logs show
    # whether a signature was asked for.
    site("unkeyed-signed", document(url, md5))
    site("unkeyed-unsigned", document(url, md5), signed=False)
    write(os.path.join(out, "package.txt"), ("%s\n%s\n" % (md5, sha)).encode())


if __name__ == "__main__":
    main()
