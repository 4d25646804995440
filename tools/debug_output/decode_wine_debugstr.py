#!/usr/bin/env python3
"""Prints a Windows program's debug strings from a Wine log.

Wine traces every OutputDebugStringA call (and the ANSI form that
OutputDebugStringW is turned into) as
    XXXX:warn:CHANNEL:OutputDebugStringA "escaped text"
when run with WINEDEBUG=-all,warn+debugstr,warn+seh. This reads such a log
on stdin, undoes Wine's C-style escaping, decodes the bytes from the given
ANSI code page (936 by default) and prints one debug string per line.
"""
import re
import sys

LINE = re.compile(r':OutputDebugStringA "(.*)"\s*$')


def unescape(text):
    out = bytearray()
    i = 0
    while i < len(text):
        c = text[i]
        if c != "\\" or i + 1 == len(text):
            out += c.encode("latin-1", "replace")
            i += 1
            continue
        n = text[i + 1]
        if n == "x":
            m = re.match(r"[0-9a-fA-F]{1,2}", text[i + 2:])
            out.append(int(m.group(0), 16) if m else 0)
            i += 2 + (len(m.group(0)) if m else 0)
        elif n in "nrt\\\"":
            out += {"n": b"\n", "r": b"\r", "t": b"\t", "\\": b"\\", '"': b'"'}[n]
            i += 2
        else:
            out += n.encode("latin-1", "replace")
            i += 2
    return bytes(out)


def main():
    codepage = sys.argv[1] if len(sys.argv) > 1 else "gbk"
    for raw in sys.stdin.buffer:
        match = LINE.search(raw.decode("latin-1"))
        if match:
            text = unescape(match.group(1)).decode(codepage, "replace")
            sys.stdout.write(text if text.endswith("\n") else text + "\n")


if __name__ == "__main__":
    main()
