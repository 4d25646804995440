#!/usr/bin/env python3
"""Checks that make_artwork.py still draws every checked-in picture at the
size the skin expects, and that the checked-in pictures are those sizes.

    check_artwork.py   (exit 0 when all agree)
"""

import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.dirname(HERE)

# Sizes the skin files' image descriptors cut their cells from.
EXPECTED = {
    "updatebkimg.png": (380, 266),
    "MsgBox/updateNow.png": (180, 30),
    "MsgBox/nextChoose.png": (180, 30),
    "MsgBox/cancel.png": (270, 30),
    "MsgBox/btn.png": (180, 24),
    "MsgBox/close.png": (33, 12),
    "MsgBox/sys_info.png": (32, 32),
    "HintWnd/stop.png": (225, 26),
    "Titlebar/minbtn.png": (108, 36),
    "Titlebar/closebtn.png": (108, 36),
}
ICON_SIZES = [16, 32, 48, 256]


def png_header(path):
    """(width, height, colour type) from the IHDR chunk."""
    with open(path, "rb") as f:
        data = f.read(26)
    if len(data) < 26 or data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        return None
    width, height = struct.unpack(">II", data[16:24])
    return width, height, data[25]


def icon_sizes(path):
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    if reserved != 0 or kind != 1:
        return None
    return sorted(data[6 + 16 * i] or 256 for i in range(count))


def check(folder, label):
    problems = []
    for name, size in EXPECTED.items():
        header = png_header(os.path.join(folder, name))
        if header is None:
            problems.append(f"{label}: {name} missing or not a PNG")
        elif header[:2] != size or header[2] != 6:
            problems.append(f"{label}: {name} is {header[0]}x{header[1]} colour type {header[2]}, "
                            f"expected {size[0]}x{size[1]} RGBA")
    sizes = icon_sizes(os.path.join(folder, "tarsel.ico"))
    if sizes != ICON_SIZES:
        problems.append(f"{label}: tarsel.ico holds {sizes}, expected {ICON_SIZES}")
    return problems


def main():
    problems = check(RESOURCES, "checked in")
    with tempfile.TemporaryDirectory() as out:
        subprocess.run([sys.executable, os.path.join(HERE, "make_artwork.py"), "--out", out], check=True)
        problems += check(out, "redrawn")
    for problem in problems:
        print(problem)
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
