#!/usr/bin/env python3
"""Checks that the checked-in pictures are what make_artwork.py draws: the
skin's pictures at the sizes the skin expects, each the same picture pixel
for pixel when drawn again, and the application icon with the same images.

    check_artwork.py   (exit 0 when all agree)

Pixels are compared decoded, not as files: the encoder may order or pack
the bytes differently without changing the picture. A channel may differ
by at most PIXEL_TOLERANCE, which allows for antialiased text drawn by
another FreeType build; any larger difference, or more than
DIFFERING_SHARE of the pixels differing at all, is a different picture.
"""

import os
import struct
import subprocess
import sys
import tempfile
import zlib

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
    "artwork/logo.png": (256, 256),
}
ICON_SIZES = [16, 32, 48, 256]
PIXEL_TOLERANCE = 8
DIFFERING_SHARE = 0.02

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


class BadPicture(Exception):
    pass


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def decode_png(data):
    """(width, height, RGBA bytes) of an 8-bit RGBA, non-interlaced PNG."""
    if data[:8] != PNG_SIGNATURE:
        raise BadPicture("not a PNG")
    at, header, idat = 8, None, []
    while at + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if len(body) != length:
            raise BadPicture("chunk %r cut short" % kind)
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        elif kind == b"IEND":
            break
        at += 12 + length
    if header is None:
        raise BadPicture("no IHDR")
    width, height, depth, colour, _, _, interlace = header
    if (depth, colour, interlace) != (8, 6, 0):
        raise BadPicture("depth %d colour type %d interlace %d, expected 8-bit RGBA" % (depth, colour, interlace))
    raw = zlib.decompress(b"".join(idat))
    stride = width * 4
    if len(raw) != height * (stride + 1):
        raise BadPicture("%d bytes of image data for %dx%d" % (len(raw), width, height))
    pixels = bytearray(height * stride)
    previous = bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if kind == 1:
            for x in range(4, stride):
                line[x] = (line[x] + line[x - 4]) & 0xFF
        elif kind == 2:
            for x in range(stride):
                line[x] = (line[x] + previous[x]) & 0xFF
        elif kind == 3:
            for x in range(stride):
                left = line[x - 4] if x >= 4 else 0
                line[x] = (line[x] + ((left + previous[x]) >> 1)) & 0xFF
        elif kind == 4:
            for x in range(stride):
                left = line[x - 4] if x >= 4 else 0
                up_left = previous[x - 4] if x >= 4 else 0
                line[x] = (line[x] + paeth(left, previous[x], up_left)) & 0xFF
        elif kind != 0:
            raise BadPicture("filter type %d" % kind)
        pixels[y * stride:(y + 1) * stride] = line
        previous = line
    return width, height, bytes(pixels)


def decode_icon_dib(data):
    """(width, height, BGRA bytes + AND mask) of a 32-bit icon image."""
    size, width, double_height, _, bits = struct.unpack("<IiiHH", data[:16])
    if size != 40 or bits != 32:
        raise BadPicture("icon image header %d bytes, %d bits per pixel" % (size, bits))
    height = double_height // 2
    mask_stride = ((width + 31) // 32) * 4
    pixels = data[40:40 + width * height * 4]
    mask = data[40 + width * height * 4:40 + width * height * 4 + mask_stride * height]
    if len(pixels) != width * height * 4 or len(mask) != mask_stride * height:
        raise BadPicture("icon image cut short")
    return width, height, pixels + mask


def icon_images(data):
    """{size: (width, height, decoded bytes)} of an .ico file."""
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    if reserved != 0 or kind != 1:
        raise BadPicture("not an icon")
    images = {}
    for i in range(count):
        entry = data[6 + 16 * i:22 + 16 * i]
        length, offset = struct.unpack("<II", entry[8:16])
        body = data[offset:offset + length]
        decoded = decode_png(body) if body[:8] == PNG_SIGNATURE else decode_icon_dib(body)
        images[entry[0] or 256] = decoded
    return images


def difference(ours, theirs):
    """Why two decoded pictures are not the same picture, or None."""
    if ours[:2] != theirs[:2]:
        return "%dx%d against %dx%d" % (ours[0], ours[1], theirs[0], theirs[1])
    a, b = ours[2], theirs[2]
    if len(a) != len(b):
        return "%d against %d bytes of pixels" % (len(a), len(b))
    if a == b:
        return None
    largest, differing = 0, 0
    for x, y in zip(a, b):
        if x != y:
            differing += 1
            largest = max(largest, abs(x - y))
    share = differing / len(a)
    if largest > PIXEL_TOLERANCE or share > DIFFERING_SHARE:
        return "%.1f%% of the channel values differ, by up to %d" % (100 * share, largest)
    return None


def read(path):
    with open(path, "rb") as f:
        return f.read()


def load(folder, problems, label):
    """The decoded pictures and icon images of a resources folder."""
    pictures = {}
    for name, size in EXPECTED.items():
        path = os.path.join(folder, name)
        try:
            picture = decode_png(read(path))
        except (OSError, BadPicture, zlib.error) as error:
            problems.append(f"{label}: {name}: {error}")
            continue
        if picture[:2] != size:
            problems.append(f"{label}: {name} is {picture[0]}x{picture[1]}, expected {size[0]}x{size[1]}")
        pictures[name] = picture
    try:
        icons = icon_images(read(os.path.join(folder, "tarsel.ico")))
    except (OSError, BadPicture, zlib.error, struct.error) as error:
        problems.append(f"{label}: tarsel.ico: {error}")
        icons = {}
    if sorted(icons) != ICON_SIZES:
        problems.append(f"{label}: tarsel.ico holds {sorted(icons)}, expected {ICON_SIZES}")
    for size, image in icons.items():
        pictures["tarsel.ico %dx%d" % (size, size)] = image
    return pictures


def compare(checked_in, redrawn):
    problems = []
    for name in sorted(set(checked_in) | set(redrawn)):
        if name not in checked_in or name not in redrawn:
            continue  # already reported by load()
        why = difference(checked_in[name], redrawn[name])
        if why:
            problems.append(f"{name}: the checked-in picture is not what make_artwork.py draws: {why}")
    return problems


def main():
    problems = []
    checked_in = load(RESOURCES, problems, "checked in")
    with tempfile.TemporaryDirectory() as out:
        subprocess.run([sys.executable, os.path.join(HERE, "make_artwork.py"), "--out", out], check=True)
        redrawn = load(out, problems, "redrawn")
    if len(checked_in) != len(EXPECTED) + len(ICON_SIZES):
        problems.append("checked in: only %d of %d pictures read" % (len(checked_in), len(EXPECTED) + len(ICON_SIZES)))
    problems += compare(checked_in, redrawn)
    for problem in problems:
        print(problem)
    print("%d pictures compared, %d problems" % (len(checked_in), len(problems)))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
